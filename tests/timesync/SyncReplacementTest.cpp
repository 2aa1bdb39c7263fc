// A sync that replaces another: the two sockets never share a handle value, so a notification
// of the old socket that reaches the queue late is never taken for the new one; and a sync
// started from another thread or process while the one before it ends still gets its own
// notifications (such a sent message is handled inside any PeekMessage call of the thread).
#include "SyncTestWindow.h"
#include "support/WaitFor.h"
#include "timesync/SyncMessageAndTimer.h"

#include <thread>

namespace {

constexpr UINT kStartAnsweredSyncMessage = WM_APP + 1;
// Notifications of no open socket, queued behind a refusal: they keep the window's thread
// busy with the queue while the refused sync ends.
constexpr int kQueuedStrangers = 5000;
const char* const kRefusal = "连接错误： #10061.";

using SyncReplacementTest = SyncWindowTest;

bool WaitForQueuedNotification(const SyncTestWindow& window)
{
    return WaitFor([&] {
        MSG queued;
        return PeekMessageA(&queued, window.Handle(), WM_TIMESOCKET, WM_TIMESOCKET, PM_NOREMOVE) != 0;
    }, kWaitMs, 1);
}

TEST_F(SyncReplacementTest, LateNotificationsOfTheReplacedSocketAreNotTakenForTheNewOne)
{
    TimeServer* oldServer = Serve("127.0.7.1", TimeScripts::SendAfterRelease(kValueMax));
    TimeServer* newServer = Serve("127.0.7.2", TimeScripts::SendAfterRelease(kValue2015));
    const SOCKET oldSocket = window.StartSyncWith("127.0.7.1");
    ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));

    const SOCKET newSocket = window.StartSyncWith("127.0.7.2");
    ASSERT_NE(INVALID_SOCKET, newSocket);
    EXPECT_NE(oldSocket, newSocket) << "the new socket took over the replaced one's handle value";
    ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));

    // Each of these would end or confuse the new sync if it were taken for the new socket.
    window.PostNotifications(oldSocket, {FD_CONNECT, FD_READ, FD_CLOSE});
    oldServer->Release();
    EXPECT_TRUE(oldServer->WaitForClientClosed(1, kWaitMs)) << "the replaced socket stays open";
    ASSERT_TRUE(window.Settled());
    const std::string waiting = OpeningLines("127.0.7.2", newSocket) + ConnectedLines();
    EXPECT_EQ(waiting, window.LogText());

    newServer->Release();
    EXPECT_TRUE(window.EndsWithFullSync("127.0.7.2"));
}

// The replaced sync's notifications are not handled yet: it is still connecting, or its
// connection's notifications wait in the queue.
TEST_F(SyncReplacementTest, ReplacingASyncWhoseNotificationsAreUnhandledKeepsOnlyTheNewOnes)
{
    // The old sync's address and script, whether its notifications wait in the queue, the new sync's address.
    const std::tuple<const char*, ServerScript, bool, const char*> replacements[] = {
        {"127.0.1.8", TimeScripts::Silent(), false, "127.0.1.9"},
        {"127.0.7.3", TimeScripts::SendThenAwaitClose(kValueMax), true, "127.0.7.4"},
    };
    for (const auto& [oldAddress, oldScript, queued, newAddress] : replacements) {
        SCOPED_TRACE(oldAddress);
        TimeServer* oldServer = Serve(oldAddress, oldScript);
        TimeServer* newServer = Serve(newAddress, TimeScripts::SendThenAwaitClose(kValue2015));
        const SOCKET oldSocket = window.StartSyncWith(oldAddress);
        ASSERT_TRUE(!queued || WaitForQueuedNotification(window));

        window.StartSyncWith(newAddress);
        ASSERT_TRUE(window.EndsWithFullSync(newAddress));
        EXPECT_EQ(kValue2015Seconds, g_timeValue);
        EXPECT_TRUE(oldServer->WaitForClientClosed(1, kWaitMs)) << "the replaced socket stays open";
        EXPECT_TRUE(newServer->WaitForClientClosed(1, kWaitMs));
        window.PostNotifications(oldSocket, {FD_CONNECT, FD_READ, FD_CLOSE});
        ASSERT_TRUE(window.Settled());
        EXPECT_TRUE(window.EndsWithFullSync(newAddress));
        EXPECT_TRUE(SocketLayerReleased());
    }
}

// A notification of the socket just closed may still wait in the queue when the next sync
// gets the same handle value; the sync from the list drops it before it begins.
TEST_F(SyncReplacementTest, LateNotificationOfAClosedSocketIsDroppedWhenItsValueComesBack)
{
    // Another thread of the process (a server's, as it starts) may take the freed handle value
    // first; the case is then run again with a server of its own until the value comes back.
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string address = "127.0.7." + std::to_string(10 + attempt);
        // The value comes only once the real connect has been handled, so a late FD_READ taken
        // for the new socket cannot read it, and a late FD_CONNECT shows as a second connect.
        TimeServer* server = Serve(address.c_str(), TimeScripts::SendAfterRelease(kValue2015));
        const SOCKET closed = window.StartSyncWith("127.0.7.8");  // nothing listens
        ASSERT_TRUE(window.PumpUntilLogEndsWith(kRefusal));
        window.PostNotifications(closed, {FD_CONNECT, FD_READ});

        const bool valueTakenAgain = window.StartSyncWith(address.c_str()) == closed;
        ASSERT_TRUE(window.PumpUntil([&] { return server->AcceptedCount() == 1; }));
        ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));
        server->Release();
        EXPECT_TRUE(window.EndsWithFullSync(address));
        if (valueTakenAgain)
            return;
    }
    FAIL() << "the handle value was not taken again in " << kAttempts << " attempts";
}

TEST_F(SyncReplacementTest, SyncStartedWhileTheRefusedOneEndsGetsItsNotifications)
{
    Serve("127.0.7.5", TimeScripts::SendThenAwaitClose(kValue2015));
    const int refusedRow = window.AddServer("refused.test", "127.0.7.6");  // nothing listens
    const int answeringRow = window.AddServer("answering.test", "127.0.7.5");
    const HANDLE refusalShown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // The window starts a sync with the answering row when asked from another thread, and
    // tells that thread the moment the refusal is in the log.
    window.OnOtherMessages([&](UINT message, WPARAM wParam) {
        if (message == kStartAnsweredSyncMessage)
            window.StartSync(answeringRow);
        else if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && EndsWith(window.LogText(), kRefusal))
            SetEvent(refusalShown);
    });

    ASSERT_TRUE(window.StartSync(refusedRow));
    ASSERT_TRUE(WaitForQueuedNotification(window));
    for (int i = 0; i < kQueuedStrangers; ++i)
        PostMessageA(window.Handle(), WM_TIMESOCKET, 0, WSAMAKESELECTREPLY(FD_READ, 0));

    // Like a tool in another process: as soon as the refusal shows, the next sync is started.
    std::thread user([&] {
        WaitForSingleObject(refusalShown, kWaitMs);
        SendMessageA(window.Handle(), kStartAnsweredSyncMessage, 0, 0);
    });
    const bool ended(window.PumpUntilLogEndsWith(kClockRefused, kWaitMs));
    user.join();
    window.OnOtherMessages(nullptr);
    CloseHandle(refusalShown);

    ASSERT_TRUE(ended) << window.LogText();
    EXPECT_TRUE(window.EndsWithFullSync("127.0.7.5"));
}

}  // namespace
