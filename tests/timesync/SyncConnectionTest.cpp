#include "support/SyncTranscript.h"
#include "support/TimeServer.h"
#include "timesync/SyncConnection.h"

#include <gtest/gtest.h>

// The value's first byte, a pause, then the other three and one byte behind, read by the
// connection itself: what it leaves in the socket shows what it took, wherever its buffer lies.
TEST(SyncConnection, SplitValueIsTakenWithoutTheByteBehindIt)
{
    TimeServer server("127.0.1.47",
                      TimeScripts::InPieces({kValue2015.substr(0, 1), kValue2015.substr(1) + "\xA5"},
                                            {ServerStep::Pause, {}, 500}));
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
