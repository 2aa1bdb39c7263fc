#pragma once

#include <memory>

// A UTF-16 copy of a narrow path (thread ANSI code page) for handing to one wide call, such as
// IPersistFile::Save or Load. Null for a null path or when the conversion fails; the caller
// passes that on as a null path.
std::unique_ptr<wchar_t[]> MakeWidePath(const char* path);
