#pragma once

#include "ProductTitle.h"

#include <string>

constexpr const char* kMainWindowTitle = ZORVANE_TITLE;
constexpr const char* kHelpPageFileName = "Zorvane-help.html";

// "file:///C:/dir/Zorvane-help.html" for the help page beside the executable.
std::string HelpPageAddress(const std::string& exeDir);

// The first content of the log box.
std::string BuildHelpText(const char* firstServerAddress, const std::string& helpPageAddress);
