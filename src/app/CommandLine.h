#pragma once

#include <array>
#include <map>
#include <string>

// Switch name (argument without its first character) to the argument that follows it.
using ArgumentMap = std::map<std::wstring, std::wstring>;

ArgumentMap ParseArguments(const wchar_t* const* argv, int argc);

// Splits at dots with strtok's rules into at most four pieces; returns their number.
int SplitAtDots(const char* text, std::array<std::string, 4>& pieces);

// Four dot-separated pieces of digits only (a fifth piece and more are not looked at).
bool IsAcceptedAddress(const char* text);

bool IsOwnSyncCommandLine(const char* commandLine);
std::string ProgramNameOfCommand(const char* commandLine);
