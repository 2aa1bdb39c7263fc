#pragma once

#include <string>

// The directory of an executable path, with its trailing separator: the text is cut after
// the last '\' or '/'; a ':' met first (scanning from the end) gets a '/' after it.
std::string DirectoryOfExecutable(const std::string& fullPath);
