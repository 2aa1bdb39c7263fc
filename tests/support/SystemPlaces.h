#pragma once

#include <windows.h>

#include <map>
#include <string>

// Where the program ties itself into the system, read and written here independently of
// the code under test: the values of HKEY_LOCAL_MACHINE\...\CurrentVersion\Run and the
// desktop shortcut.

struct RunValue {
    bool found = false;
    DWORD type = 0;
    std::string data;  // exactly the stored bytes, terminator included
};

RunValue ReadRunValue(const char* name);
bool WriteRunValue(const char* name, const std::string& bytes, DWORD type = REG_SZ);
void DeleteRunValue(const char* name);
// Every value of the key, name to data.
std::map<std::string, std::string> RunValues();

// Puts back on destruction what the value held at construction (or removes it).
class RunValueGuard {
public:
    explicit RunValueGuard(const char* name) : m_name(name), m_saved(ReadRunValue(name)) {}
    ~RunValueGuard();
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;

private:
    std::string m_name;
    RunValue m_saved;
};

// The desktop folder of the prefix (empty when unknown) and the shortcut's file in it.
std::string DesktopFolder();
std::string DesktopShortcutFile();
