#pragma once

// Where srv.xml lies, and its folder chain and empty file made when they are missing.

#include <cstddef>
#include <string>

// "<directory>srv.xml"; the directory keeps its trailing separator.
std::string ConfigPathIn(const char* directory);

bool EnsureConfigFile(const char* path);
int GetDirectoryPart(const char* path, char* buffer, size_t capacity);
bool CreateDirectoryChain(const char* directory);
