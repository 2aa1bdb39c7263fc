// A copy of the built Zorvane.exe in a folder of the test's, started as a child process.
#pragma once

#include <windows.h>

#include <string>

class ZorvaneProcess {
public:
    // Copies the executable into folder (trailing backslash).
    explicit ZorvaneProcess(const std::string& folder);
    ~ZorvaneProcess();
    ZorvaneProcess(const ZorvaneProcess&) = delete;
    ZorvaneProcess& operator=(const ZorvaneProcess&) = delete;

    const std::string& exePath() const { return m_exePath; }
    bool Start(const std::string& arguments = "");
    // The program with the whole command line it gets, as a shell or a parent process may
    // pass it (its bare name, say).
    bool StartWithCommandLine(const std::string& commandLine);
    DWORD pid() const { return m_info.dwProcessId; }

    // The process's top-level window with the given title (null: any title); null after timeout.
    HWND WaitForWindow(const char* title, DWORD timeoutMs = 15000) const;
    // Waits until the window's thread is idle (inputs handled) and answers.
    bool WaitIdle(DWORD timeoutMs = 5000) const { return WaitForInputIdle(m_info.hProcess, timeoutMs) == 0; }
    // Exit code, or -1 when the process has not ended within the time (it is then killed).
    int WaitForExit(DWORD timeoutMs = 15000);
    bool Running() const { return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }

private:
    std::string m_exePath;
    PROCESS_INFORMATION m_info{};
};
