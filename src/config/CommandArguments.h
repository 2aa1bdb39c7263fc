#pragma once

#include <windows.h>

#include <map>
#include <string>

// Switch name (argument without its first character) to the argument that follows it.
using ArgumentMap = std::map<std::wstring, std::wstring>;

ArgumentMap ParseArguments(const wchar_t* const* argv, int argc);

// The platform's split of a wide command line into arguments (CommandLineToArgvW),
// owning the vector. An empty or null text yields the running executable's path.
class ArgumentVector {
public:
    explicit ArgumentVector(const wchar_t* commandLine);
    ~ArgumentVector();
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;

    // False when the platform could not split the text; count() is then 0.
    bool IsValid() const { return m_values != nullptr; }
    int Count() const { return m_count; }
    const wchar_t* const* Values() const { return m_values; }

private:
    wchar_t** m_values = nullptr;
    int m_count = 0;
};

// The running executable's full path.
std::wstring ExecutablePathW();
