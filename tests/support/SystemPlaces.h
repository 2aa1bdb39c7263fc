#pragma once

// Where the program ties itself into the system, read and written here independently of
// the code under test, in the prefix that the test programs of the build tree share: the
// values of HKEY_LOCAL_MACHINE\...\CurrentVersion\Run and the desktop shortcut.

#include <windows.h>

#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct RegistryValue {
    bool found = false;
    DWORD type = 0;
    std::string data;  // exactly the stored bytes, terminator included
};
// Values not found are equal whatever else they hold.
inline bool operator==(const RegistryValue& a, const RegistryValue& b)
{
    return a.found == b.found && (!a.found || (a.type == b.type && a.data == b.data));
}
void PrintTo(const RegistryValue& value, std::ostream* out);
// A command as the Run value that starts it: its text and terminator, REG_SZ.
inline RegistryValue RunCommandValue(const std::string& command) { return {true, REG_SZ, command + '\0'}; }

RegistryValue ReadRegistryValue(HKEY root, const char* keyPath, const char* name);
// Stores the value as given, or deletes it when it is not found.
bool WriteRegistryValue(HKEY root, const char* keyPath, const char* name, const RegistryValue& value);

// Puts back on destruction what a value held at construction (or removes it).
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, const char* keyPath, const char* name)
        : m_root(root), m_keyPath(keyPath), m_name(name), m_saved(ReadRegistryValue(root, keyPath, name)) {}
    ~RegistryValueGuard() { WriteRegistryValue(m_root, m_keyPath, m_name.c_str(), m_saved); }
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;
    const RegistryValue& saved() const { return m_saved; }

private:
    HKEY m_root;
    const char* m_keyPath;
    std::string m_name;
    RegistryValue m_saved;
};

extern const char* const kRunKey;
inline RegistryValue ReadRunValue(const char* name) { return ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, name); }
inline bool WriteRunValue(const char* name, const std::string& bytes, DWORD type = REG_SZ)
{
    return WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, name, {true, type, bytes});
}
inline void DeleteRunValue(const char* name) { WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, name, {}); }
// Every value of the Run key, name to data.
std::map<std::string, std::string> RunValues();

// The Run key deleted while the object lives, so that opening it fails; made again afterwards
// with the values it held.
class RunKeyRemoved {
public:
    RunKeyRemoved();
    ~RunKeyRemoved();
    RunKeyRemoved(const RunKeyRemoved&) = delete;
    RunKeyRemoved& operator=(const RunKeyRemoved&) = delete;
    bool ok() const { return m_removed; }

private:
    std::map<std::string, RegistryValue> m_saved;
    bool m_removed = false;
};

// The Run key's access list made read-only while the object lives, as the key is for every
// user without administrator rights: it opens and its values read, but writing or deleting one
// is refused (5). The list it had is put back afterwards.
class RunKeyReadOnly {
public:
    RunKeyReadOnly();
    ~RunKeyReadOnly();
    RunKeyReadOnly(const RunKeyReadOnly&) = delete;
    RunKeyReadOnly& operator=(const RunKeyReadOnly&) = delete;
    bool ok() const { return m_readOnly; }

private:
    HKEY m_key = nullptr;  // opened to read and write the access list, kept for the way back
    std::vector<BYTE> m_saved;
    bool m_readOnly = false;
};

// Deletes the named Run values, and the desktop shortcut when asked, at construction and
// again at destruction, so that a test starts from none and a failing one leaves none behind.
class SystemPlacesCleanup {
public:
    explicit SystemPlacesCleanup(std::vector<std::string> runValueNames, bool shortcut = false)
        : m_runValueNames(std::move(runValueNames)), m_shortcut(shortcut) { Clear(); }
    ~SystemPlacesCleanup() { Clear(); }
    SystemPlacesCleanup(const SystemPlacesCleanup&) = delete;
    SystemPlacesCleanup& operator=(const SystemPlacesCleanup&) = delete;

private:
    void Clear() const;
    std::vector<std::string> m_runValueNames;
    bool m_shortcut;
};

// The desktop folder of the prefix (empty when unknown) and the shortcut's file in it.
std::string DesktopFolder();
std::string DesktopShortcutFile();

// The user's desktop folder moved to another path (HKCU "User Shell Folders", as Windows
// itself moves it) while the object lives; both desktop values are put back afterwards.
class DesktopMoved {
public:
    explicit DesktopMoved(const std::string& path);  // the guards below make it non-copyable
    bool ok() const { return m_moved; }

private:
    // Reading the moved folder makes the shell write "Shell Folders" too, so both are kept.
    RegistryValueGuard m_userShellFolder;
    RegistryValueGuard m_shellFolder;
    bool m_moved = false;
};
