#include "support/ZorvaneProcess.h"

#include "support/RemoteControls.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <vector>

ZorvaneProcess::ZorvaneProcess(const std::string& folder)
{
    std::string built = WinePathFromEnv("ZORVANE_EXE");
    m_exePath = folder + "Zorvane.exe";
    CopyFileA(built.c_str(), m_exePath.c_str(), FALSE);
}

ZorvaneProcess::~ZorvaneProcess()
{
    if (m_info.hProcess) {
        WaitForExit(0);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

bool ZorvaneProcess::Start(const std::string& arguments)
{
    return StartWithCommandLine("\"" + m_exePath + "\"" + (arguments.empty() ? "" : " " + arguments));
}

bool ZorvaneProcess::StartWithCommandLine(const std::string& commandLine)
{
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(m_exePath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &m_info) != 0;
}

HWND ZorvaneProcess::WaitForWindow(const char* title, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND window : TopLevelWindowsOf(pid())) {
            char text[256] = {};
            GetWindowTextA(window, text, sizeof text);
            if (!found && ClassNameOf(window) != "#32770" && (!title || lstrcmpA(text, title) == 0))
                found = window;
        }
        return found || !Running();
    }, timeoutMs);
    return found;
}

int ZorvaneProcess::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<int>(code);
}

