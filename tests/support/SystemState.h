#pragma once

// What the program changes in the system on the user's behalf, as tests read and reset it,
// in the prefix that the test programs of the build tree share.

#include <windows.h>

#include <functional>
#include <string>

// Polls the condition until it holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Values under HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
bool RunValuePresent(const char* name);
void DeleteRunValue(const char* name);

// Where the program's desktop shortcut lies.
std::string DesktopShortcutPath();

// The user's desktop folder moved to another path (HKCU "User Shell Folders", as Windows
// itself moves it) while the object lives; both desktop values are put back afterwards.
class DesktopMoved {
public:
    explicit DesktopMoved(const std::string& path);
    ~DesktopMoved();
    DesktopMoved(const DesktopMoved&) = delete;
    DesktopMoved& operator=(const DesktopMoved&) = delete;
    bool ok() const { return m_moved; }

    struct Saved {
        bool present = false;
        DWORD type = 0;
        std::string data;
    };

private:
    bool m_moved = false;
    Saved m_userShellFolder;
    Saved m_shellFolder;
};
