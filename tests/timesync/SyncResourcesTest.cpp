// What a sync leaves behind: the socket layer's start-up count; what the connection takes of
// a split value.
#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/SyncConnection.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr DWORD kCloseWaitMs = 3000;

using SyncResources = SyncWindowTest;

// Every start-up of the socket layer has had its clean-up: one more WSACleanup fails. Only
// sound while no TimeServer lives, as each holds a start-up of its own.
::testing::AssertionResult SocketLayerReleased()
{
    if (WSACleanup() == 0)
        return ::testing::AssertionFailure() << "a start-up of the socket layer was left over";
    const int error = WSAGetLastError();
    if (error != WSANOTINITIALISED)
        return ::testing::AssertionFailure() << "WSACleanup failed with " << error;
    return ::testing::AssertionSuccess();
}

}  // namespace

// However a sync ends, its start-up of the socket layer has had its clean-up.
TEST_F(SyncResources, EverySyncReleasesTheSocketLayer)
{
    struct Ending {
        const char* name;
        std::vector<std::pair<const char*, ServerScript>> syncs;  // one after another
        std::string logEnd;
        int ticks;  // posted once the log ends so
    };
    const Ending endings[] = {
        {"finished", {{"127.0.1.40", TimeScripts::SendThenAwaitClose(kValue2015)}}, kClockRefused, 0},
        {"short answer", {{"127.0.1.41", TimeScripts::TwoBytesThenClose()}}, "FD_READ 错误! #10101.", 0},
        {"refused connection", {{"127.0.1.42", {}}}, "连接错误： #10061.", 0},
        // Fails before any notification: the log ends so at once.
        {"connection that cannot start", {{"time.test.invalid", {}}}, "连接错误： #10051.\r\n\r\n", 0},
        {"timed out", {{"127.0.1.43", TimeScripts::Silent()}}, ConnectedLines(), 301},
        {"replaced, then finished",
         {{"127.0.1.44", TimeScripts::Silent()}, {"127.0.1.45", TimeScripts::SendThenAwaitClose(kValue2015)}},
         kClockRefused, 0},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        for (const auto& sync : ending.syncs)
            Serve(sync.first, sync.second);
        for (const auto& sync : ending.syncs)
            window.StartSyncWith(sync.first);
        ASSERT_TRUE(window.PumpUntilLogEndsWith(ending.logEnd));
        if (ending.ticks) {
            window.PostTicks(ending.ticks);
            ASSERT_EQ(kTimedOut, window.LogText());
        }
        // Each script ends by closing, or once the client has closed its end.
        for (const auto& server : servers)
            EXPECT_TRUE(server->WaitForFinished(1, kCloseWaitMs)) << server->Address();
        servers.clear();
        EXPECT_TRUE(SocketLayerReleased());
    }
}

// The value's first byte, a pause, then the other three and one byte behind, read by the
// connection itself: what it leaves in the socket shows what it took, wherever its buffer lies.
TEST(SyncConnection, SplitValueIsTakenWithoutTheByteBehindIt)
{
    TimeServer server("127.0.1.47",
                      TimeScripts::InPieces({kValue2015.substr(0, 1), kValue2015.substr(1) + "\xA5"}, 500));
    SyncConnection connection;
    WSADATA winsock;
    ASSERT_TRUE(connection.StartWinsock(winsock));
    ASSERT_NE(INVALID_SOCKET, connection.OpenSocket());
    sockaddr_in address = {AF_INET, htons(37), {}, {}};
    address.sin_addr.s_addr = inet_addr("127.0.1.47");
    ASSERT_EQ(0, connect(connection.Socket(), reinterpret_cast<sockaddr*>(&address), sizeof address));

    EXPECT_EQ(1, connection.ReceiveMissingBytes());
    EXPECT_EQ(3, connection.ReceiveMissingBytes());
    ASSERT_TRUE(connection.HasWholeValue());
    EXPECT_EQ(kValue2015Seconds, connection.Value());
    char rest[8];
    EXPECT_EQ(1, recv(connection.Socket(), rest, sizeof rest, 0));
}
