#pragma once

// What the hardening tests share: a copy of Zorvane.exe driven through its window, what the
// system holds on behalf of a process, and quick waits.

#include "support/TempDir.h"
#include "support/ZorvaneProcess.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The value 3629059200 (2015-01-01): far from now, so Wine refuses to set it.
extern const std::string VALUE_2015;
extern const char* const CLOCK_REFUSED;  // "不能设置新的日期和时间!"

using ServerRows = std::vector<std::pair<std::string, std::string>>;  // host, address

// srv.xml text with the given autorun text and rows (both UTF-8, put in as they are).
std::string ConfigFileText(const std::string& autorun, const ServerRows& rows);

// Polls every millisecond or so; false when the time ran out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// A copy of Zorvane.exe in a fresh folder with the given servers, its window shown.
class DrivenZorvane {
public:
    explicit DrivenZorvane(const ServerRows& rows);
    ~DrivenZorvane();  // closes the window, or ends the process

    bool Launch(const std::string& arguments = "");
    HWND Window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    ZorvaneProcess& Process() { return *m_process; }
    const TempDir& Folder() const { return m_folder; }

    std::string Log() const;
    // The log with a run of dots at its end cut to one: the outcome's own full stop stays,
    // the progress dots of ticks that fell after it go.
    std::string LogWithoutTrailingDots() const;
    bool WaitForLogEnd(const std::string& tail, DWORD timeoutMs = 8000) const;

    bool SelectRow(int row) const;
    // BM_CLICK on "校时": the sync has started (log emptied) when this returns.
    void ClickSync() const;
    void Click(int id) const;
    void PostTicks(int count) const;
    // WM_NULL answered within the time.
    bool Answers(DWORD timeoutMs = 2000) const;
    // Closes the window; the exit code, or -1.
    int Close();

private:
    TempDir m_folder;
    std::unique_ptr<ZorvaneProcess> m_process;
    HWND m_window = nullptr;
};

// What the system holds for a process, each from a source that Wine 8 really fills:
// GetGuiResources and GetProcessHandleCount are stubs there (always 0).
struct ProcessHoldings {
    int handles = -1;          // entries of the system handle table owned by the process
    int windows = -1;          // its windows, top-level and children (USER objects)
    int unixDescriptors = -1;  // open descriptors of its Unix process (/proc/<pid>/fd)
    int connections = -1;      // TCP connections to port 37 of 127.0.4.x held open by anyone
};

ProcessHoldings MeasureHoldings(DWORD processId, const std::string& exePath);

// Open TCP connections (client side: remote port 37 in 127.0.4.0/24) in the states that
// hold a socket of a client that has not closed it: SYN_SENT, ESTABLISHED, CLOSE_WAIT.
int OpenTimeConnections();
