#pragma once

#include <windows.h>

#include <string>

namespace OHUI {

// Room for a window class name: 63 characters and the terminator.
constexpr size_t kClassNameCapacity = 64;

// "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}": 38 characters, the third group lower case.
std::string FormatGuidClassName(const GUID& guid);

// A class name from a fresh GUID; empty when no GUID could be made.
std::string MakeUniqueClassName();

// The name a window class is registered under: the given one, or a unique one when none
// (null or empty) is given. False for a given name that does not fit the capacity: it is
// refused rather than registered cut short under a name the caller never asked for.
bool ChooseClassName(const char* given, std::string& name);

}  // namespace OHUI
