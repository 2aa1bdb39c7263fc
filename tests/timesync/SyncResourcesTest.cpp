// What a sync leaves behind: the socket layer's start-up count and the memory around the
// received value.
#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/SyncConnection.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kCloseWaitMs = 3000;

// The value's first byte, a pause, then its other three and the bytes behind.
ServerScript SplitValue(const std::string& behind)
{
    return {{ServerStep::Send, kValue2015.substr(0, 1)}, {ServerStep::Pause, {}, 500},
            {ServerStep::Send, kValue2015.substr(1) + behind}, {ServerStep::AwaitClientClose, {}}};
}

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

TEST_F(SyncResources, FinishedSyncReleasesTheSocketLayer)
{
    {
        TimeServer server("127.0.1.40", TimeScripts::SendThenAwaitClose(kValue2015));
        window.StartSyncWith("127.0.1.40");
        ASSERT_TRUE(window.PumpUntilLogEndsWith(kClockRefused));
        EXPECT_TRUE(server.WaitForClientClosed(1, kCloseWaitMs));
    }
    EXPECT_TRUE(SocketLayerReleased());
}

TEST_F(SyncResources, FailedSyncsReleaseTheSocketLayer)
{
    {
        TimeServer server("127.0.1.41", TimeScripts::TwoBytesThenClose());
        window.StartSyncWith("127.0.1.41");
        ASSERT_TRUE(window.PumpUntilLogEndsWith("FD_READ 错误! #10101."));
    }
    EXPECT_TRUE(SocketLayerReleased()) << "short answer";

    window.StartSyncWith("127.0.1.42");  // nothing listens here
    ASSERT_TRUE(window.PumpUntilLogEndsWith("连接错误： #10061."));
    EXPECT_TRUE(SocketLayerReleased()) << "refused connection";

    window.StartSyncWith("time.test.invalid");  // fails before any notification
    EXPECT_TRUE(EndsWith(window.LogText(), "连接错误： #10051.\r\n\r\n")) << window.LogText();
    EXPECT_TRUE(SocketLayerReleased()) << "connection that cannot start";
}

TEST_F(SyncResources, TimedOutAndReplacedSyncsReleaseTheSocketLayer)
{
    {
        TimeServer silent("127.0.1.43", TimeScripts::Silent());
        window.StartSyncWith("127.0.1.43");
        ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));
        window.PostTicks(301);
        ASSERT_EQ(kTimedOut, window.LogText());
        EXPECT_TRUE(silent.WaitForClientClosed(1, kCloseWaitMs));
    }
    EXPECT_TRUE(SocketLayerReleased()) << "timed out";

    {
        TimeServer first("127.0.1.44", TimeScripts::Silent());
        TimeServer second("127.0.1.45", TimeScripts::SendThenAwaitClose(kValue2015));
        window.StartSyncWith("127.0.1.44");
        window.StartSyncWith("127.0.1.45");
        ASSERT_TRUE(window.PumpUntilLogEndsWith(kClockRefused));
        EXPECT_TRUE(first.WaitForClientClosed(1, kCloseWaitMs));
        EXPECT_TRUE(second.WaitForClientClosed(1, kCloseWaitMs));
    }
    EXPECT_TRUE(SocketLayerReleased()) << "replaced, then finished";
}

// One byte, a pause, then the other three with more behind them: the second read must ask
// for the three missing bytes only, or it writes past the value.
TEST_F(SyncResources, ValueSplitAfterItsFirstByteFillsTheValueAndNothingElse)
{
    TimeServer server("127.0.1.46", SplitValue("\xA5\xA5\xA5\xA5"));
    window.StartSyncWith("127.0.1.46");
    const sockaddr_in address = g_serverAddr;

    ASSERT_TRUE(window.EndsWithFullSync("127.0.1.46"));
    EXPECT_EQ(kValue2015Seconds, g_timeValue);
    // The state stored beside the value is as the sync left it.
    EXPECT_EQ(AF_INET, address.sin_family);
    EXPECT_EQ(address.sin_family, g_serverAddr.sin_family);
    EXPECT_EQ(address.sin_port, g_serverAddr.sin_port);
    EXPECT_EQ(address.sin_addr.s_addr, g_serverAddr.sin_addr.s_addr);
    EXPECT_EQ(0, g_syncTicks);
    EXPECT_FALSE(g_commandLineMode);
    EXPECT_EQ(INVALID_SOCKET, g_timeSocket);
    EXPECT_EQ(-1, window.QuitCode());
    EXPECT_TRUE(server.WaitForClientClosed(1, kCloseWaitMs));
}

// The same split with one byte behind the value, read by the connection itself: what it
// leaves in the socket shows what it took, wherever its buffer lies.
TEST(SyncConnection, SplitValueIsTakenWithoutTheByteBehindIt)
{
    TimeServer server("127.0.1.47", SplitValue("\xA5"));
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
