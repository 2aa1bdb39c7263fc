#include "ohui/WindowClassName.h"

#include "framework/ScopedWin.h"

#include <cstdio>
#include <cstring>

namespace OHUI {

std::string FormatGuidClassName(const GUID& guid)
{
    char text[kClassNameCapacity] = {};
    std::snprintf(text, sizeof text, "{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
                  guid.Data4[7]);
    return text;
}

std::string MakeUniqueClassName()
{
    ComInitialization com;
    GUID guid;
    return SUCCEEDED(CoCreateGuid(&guid)) ? FormatGuidClassName(guid) : std::string();
}

bool ChooseClassName(const char* given, std::string& name)
{
    if (!given || !*given) {
        name = MakeUniqueClassName();
        return true;
    }
    if (std::strlen(given) >= kClassNameCapacity)
        return false;
    name = given;
    return true;
}

}  // namespace OHUI
