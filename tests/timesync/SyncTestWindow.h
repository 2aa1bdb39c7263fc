#pragma once

#include "support/MainWindowFacts.h"
#include "support/RemoteControls.h"
#include "support/SyncTranscript.h"
#include "support/TimeServer.h"
#include "framework/Controls.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

const std::string kValueMax("\xFF\xFF\xFF\xFF", 4);  // 4294967295
// The longest a sync test waits for what a server or the queue is to show.
constexpr DWORD kWaitMs = 5000;

// A hidden stand-in for the main window: it owns a TimeSync, and its window procedure hands
// the socket messages and WM_TIMER to the sync handlers as the real one does. Children, with
// the main window's ids: a multi-line edit as log box and a report-style list view (column 1 the address).
//
// Only ticks posted by PostTicks reach the handler unless real ticks are let through, so a
// slow machine cannot add a progress dot at an unforeseen moment.
class SyncTestWindow {
public:
    SyncTestWindow();
    ~SyncTestWindow() { DestroyWindow(m_window); }
    SyncTestWindow(const SyncTestWindow&) = delete;
    SyncTestWindow& operator=(const SyncTestWindow&) = delete;

    HWND Handle() const { return m_window; }
    HWND LogBox() const { return m_logBox; }
    const CListCtrl& ServerList() const { return m_serverList; }
    TimeSync& Sync() { return m_sync; }

    std::string LogText() const { return WindowTextOf(m_logBox); }
    void SetLogText(const std::string& text) { SetWindowTextA(m_logBox, text.c_str()); }
    int AddServer(const char* host, const char* address);

    // Starts a sync from the list with the given row selected.
    bool StartSync(int row);
    // Starts a sync from a new row for the address; its socket.
    SOCKET StartSyncWith(const char* address)
    {
        EXPECT_TRUE(StartSync(AddServer("time.test", address)));
        return g_timeSocket;
    }
    // Handles messages until a value reaches the clock, which refuses it, and the log holds
    // exactly the transcript of the last sync started here, with the address and the value.
    ::testing::AssertionResult EndsWithFullSync(const std::string& address, unsigned value = kValue2015Seconds);

    // Handles this thread's messages until done() holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
    // Fails with the log when it does not end so in time.
    ::testing::AssertionResult PumpUntilLogEndsWith(const std::string& tail, DWORD timeoutMs = 5000);
    // Handles messages until a mark posted behind every message queued now has come off the
    // queue: a notification already posted for a socket is handled.
    bool Settled();
    // The FD_READ notifications the window has handed to the sync.
    int ReadNotices() const { return m_readNotices; }
    // Notifications of the socket, as Windows may still deliver them after closesocket.
    void PostNotifications(SOCKET socket, std::initializer_list<WORD> events) const
    {
        for (WORD event : events)
            PostMessageA(m_window, kTimeSocketMessage, socket, WSAMAKESELECTREPLY(event, 0));
    }
    // Posts ticks of the sync timer to the window and handles them as they come off the queue.
    void PostTicks(int count);
    void LetRealTicksThrough(bool on) { m_realTicksThrough = on; }
    int RealTicks() const { return m_realTicks; }

    // The exit code of a WM_QUIT seen while pumping, or -1 when none was.
    int QuitCode() const { return m_quitCode; }
    // Handles messages until a WM_QUIT is seen; its exit code (-1: none in time), which is
    // then forgotten.
    int PumpUntilQuit(DWORD timeoutMs = 5000)
    {
        PumpUntil([&] { return m_quitCode != -1; }, timeoutMs);
        return std::exchange(m_quitCode, -1);
    }
    // Shows the test every message that the window does not hand to the sync.
    void OnOtherMessages(std::function<void(UINT, WPARAM)> handler) { m_otherMessages = std::move(handler); }

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PumpPending();

    HWND m_window = nullptr;
    CEdit m_logBox;
    CListCtrl m_serverList;
    TimeSync m_sync;
    bool m_realTicksThrough = false;
    int m_realTicks = 0;
    int m_readNotices = 0;
    int m_marksPosted = 0;
    int m_marksHandled = 0;
    int m_quitCode = -1;
    SOCKET m_lastSocket = INVALID_SOCKET;
    std::function<void(UINT, WPARAM)> m_otherMessages;
};

// A test window, the program not in command-line mode, and the case's test servers.
class SyncWindowTest : public ::testing::Test {
protected:
    void SetUp() override { g_commandLineMode = false; }
    void TearDown() override { g_commandLineMode = false; }
    // A server listening on the address until the case ends or servers is cleared.
    TimeServer* Serve(const char* address, const ServerScript& script);
    // Stops the case's servers, as each holds a start-up of the socket layer of its own; then
    // every start-up has had its clean-up: one more WSACleanup fails.
    ::testing::AssertionResult SocketLayerReleased();

    SyncTestWindow window;
    std::vector<std::unique_ptr<TimeServer>> servers;
};
