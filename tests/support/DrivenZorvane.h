// A copy of Zorvane.exe in a folder of its own, started and driven through its window.
#pragma once

#include "support/MainWindowFacts.h"
#include "support/RemoteControls.h"
#include "support/SyncTranscript.h"
#include "support/TempDir.h"
#include "support/WaitFor.h"
#include "support/ZorvaneProcess.h"

#include <windows.h>

#include <memory>
#include <string>

class DrivenZorvane {
public:
    DrivenZorvane();  // no srv.xml: the program writes the default one
    // srv.xml with the rows; the folder's name starts with folderName (GBK).
    explicit DrivenZorvane(const ServerRows& rows, const std::string& folderName = "zorvane");
    ~DrivenZorvane();  // closes the window, or ends the process
    DrivenZorvane(const DrivenZorvane&) = delete;
    DrivenZorvane& operator=(const DrivenZorvane&) = delete;

    // Starts the program; message boxes it shows before its window are left to the test.
    bool Start(const std::string& arguments = "");
    // Waits for the process's window of that title, hidden or not, and drives it from then on.
    bool AwaitWindow(const char* title = kMainWindowTitle);
    // Start, then the main window there and idle.
    bool Launch(const std::string& arguments = "")
    {
        return Start(arguments) && AwaitWindow() && m_process->WaitIdle();
    }
    // The same with the program's bare file name as its whole command line.
    bool LaunchByBareName();

    HWND Window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    ZorvaneProcess& Process() { return *m_process; }
    const TempDir& Folder() const { return m_folder; }

    std::string Log() const { return WindowTextOf(Control(kLogId)); }
    // The log with a run of dots at its end cut to one: the outcome's own full stop stays,
    // the progress dots of ticks that fell after it go.
    std::string LogWithoutTrailingDots() const;
    bool WaitForLogEnd(const std::string& tail, DWORD timeoutMs = 8000) const
    {
        return WaitFor([&] { return EndsWith(Log(), tail); }, timeoutMs);
    }

    bool SelectRow(int row) const { return RemoteListSelect(Control(kServerListId), row); }
    // BM_CLICK on "校时": the sync has started (log emptied) when this returns.
    void ClickSync() const { Click(kSyncButtonId); }
    // A click whose handler has returned; a failure, with the texts of the message boxes that
    // held it (then answered), when it has not.
    bool Click(int id) const;
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The text of the next message box of the program, which is then answered; empty when none
    // comes. The box is captioned "Zorvane", owned by owner and holds the program while open;
    // the window's own boxes show an icon, the others none.
    std::string AnswerMessageBox(HWND owner, DWORD timeoutMs = 8000);
    // A click as the mouse gives it, and the text of the box owned by the window that it
    // brings up; empty when none comes.
    std::string MessageAfterClicking(int id);
    // Ticks of the sync timer, as WM_TIMER messages posted to the window.
    void PostTicks(int count) const;
    // The same, each handled when this returns.
    void Tick(int count = 1) const;
    // WM_NULL answered within the time: every message sent to the window before is handled.
    bool Answers(DWORD timeoutMs = 2000) const { return RoundTrip(m_window, timeoutMs); }
    // Every message posted to the window before is handled: a mark posted behind them (the
    // pushed look of "校时", taken back then) has arrived.
    bool Settled(DWORD timeoutMs = 5000) const;
    // Closes the window; the exit code, or -1.
    int Close();
    // The exit code once the process has ended, or -1 (it is then ended).
    int ExitCode(DWORD timeoutMs = 15000) { return m_process->WaitForExit(timeoutMs); }

private:
    TempDir m_folder;
    std::unique_ptr<ZorvaneProcess> m_process;
    HWND m_window = nullptr;
};

// Starts a copy with the arguments: the usage box, captioned "Zorvane" and owned by no
// window, holds the program until it is answered, and the program then ends with 0.
void ExpectUsageAndExitZero(const std::string& arguments);
