#pragma once

#include <string>

constexpr const char* kMainWindowTitle = "Zorvane v1.0";
constexpr const char* kHelpPageFileName = "Zorvane-help.html";

// The directory of an executable path, with its trailing separator: the text is cut after
// the last '\' or '/'; a ':' met first (scanning from the end) gets a '/' after it.
std::string DirectoryOfExecutable(const std::string& fullPath);

// "file:///C:/dir/Zorvane-help.html" for the help page beside the executable.
std::string HelpPageAddress(const std::string& exeDir);

// The first content of the log box.
std::string BuildHelpText(const char* firstServerAddress, const std::string& helpPageAddress);
