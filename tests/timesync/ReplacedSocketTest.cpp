// A sync that replaces a running one: the two sockets never share a handle value, so a
// notification of the old socket that reaches the queue late is never taken for the new one,
// and the old connection's answer never reaches the clock.
#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/SyncConstants.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

namespace {

const std::string VALUE_2015("\xD8\x4F\x0C\x80", 4);  // 3629059200
const std::string VALUE_MAX("\xFF\xFF\xFF\xFF", 4);   // 4294967295
constexpr DWORD CLOSE_WAIT_MS = 3000;

bool LogEndsWith(const SyncTestWindow& window, const std::string& tail)
{
    const std::string log = window.LogText();
    return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
}

// What Windows may still deliver after closesocket: a notification posted for the old socket.
void PostLateNotification(const SyncTestWindow& window, SOCKET socket, WORD event)
{
    PostMessageA(window.Handle(), WM_TIMESOCKET, socket, WSAMAKESELECTREPLY(event, 0));
}

bool WaitForQueuedNotification(const SyncTestWindow& window)
{
    const ULONGLONG deadline = GetTickCount64() + CLOSE_WAIT_MS;
    MSG queued;
    while (!PeekMessageA(&queued, window.Handle(), WM_TIMESOCKET, WM_TIMESOCKET, PM_NOREMOVE)) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

TEST(ReplacedSocketTest, LateNotificationsOfTheReplacedSocketAreNotTakenForTheNewOne)
{
    g_commandLineMode = false;
    SyncTestWindow window;
    TimeServer oldServer("127.0.2.1", TimeScripts::SendAfterRelease(VALUE_MAX));
    TimeServer newServer("127.0.2.2", TimeScripts::SendAfterRelease(VALUE_2015));
    ASSERT_TRUE(oldServer.IsListening() && newServer.IsListening());
    ASSERT_TRUE(window.StartSync(window.AddServer("old.test", "127.0.2.1")));
    const SOCKET oldSocket = g_timeSocket;
    ASSERT_TRUE(window.PumpUntil([&] { return LogEndsWith(window, ConnectedLines()); })) << window.LogText();

    ASSERT_TRUE(window.StartSync(window.AddServer("new.test", "127.0.2.2")));
    const SOCKET newSocket = g_timeSocket;
    ASSERT_NE(INVALID_SOCKET, newSocket);
    EXPECT_NE(oldSocket, newSocket) << "the new socket took over the replaced one's handle value";
    ASSERT_TRUE(window.PumpUntil([&] { return LogEndsWith(window, ConnectedLines()); })) << window.LogText();

    // Each of these would end or confuse the new sync if it were taken for the new socket.
    PostLateNotification(window, oldSocket, FD_CONNECT);
    PostLateNotification(window, oldSocket, FD_READ);
    PostLateNotification(window, oldSocket, FD_CLOSE);
    oldServer.Release();
    EXPECT_TRUE(oldServer.WaitForClientClosed(1, CLOSE_WAIT_MS)) << "the replaced socket stays open";
    window.PumpFor(300);
    const std::string waiting = OpeningLines("127.0.2.2", newSocket) + ConnectedLines();
    EXPECT_EQ(waiting, window.LogText());

    newServer.Release();
    ASSERT_TRUE(window.PumpUntil([&] { return LogEndsWith(window, CLOCK_REFUSED); })) << window.LogText();
    EXPECT_EQ(waiting + ValueLines(3629059200u) + CLOCK_REFUSED, window.LogText());
}

TEST(ReplacedSocketTest, ReplacingASyncWhoseNotificationsAreQueuedKeepsOnlyTheNewOnes)
{
    g_commandLineMode = false;
    SyncTestWindow window;
    TimeServer oldServer("127.0.2.3", TimeScripts::SendThenAwaitClose(VALUE_MAX));
    TimeServer newServer("127.0.2.4", TimeScripts::SendThenAwaitClose(VALUE_2015));
    ASSERT_TRUE(window.StartSync(window.AddServer("old.test", "127.0.2.3")));
    // The old connection's notifications wait in the queue, unhandled.
    ASSERT_TRUE(WaitForQueuedNotification(window));

    ASSERT_TRUE(window.StartSync(window.AddServer("new.test", "127.0.2.4")));
    const SOCKET newSocket = g_timeSocket;
    ASSERT_TRUE(window.PumpUntil([&] { return LogEndsWith(window, CLOCK_REFUSED); })) << window.LogText();
    EXPECT_EQ(OpeningLines("127.0.2.4", newSocket) + ConnectedLines() + ValueLines(3629059200u) +
                  CLOCK_REFUSED,
              window.LogText());
    EXPECT_EQ(3629059200u, g_timeValue);
}

}  // namespace
