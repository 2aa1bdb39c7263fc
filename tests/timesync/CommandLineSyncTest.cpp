#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

namespace {

class CommandLineSyncTest : public SyncWindowTest {
protected:
    void SetUp() override { g_commandLineMode = true; }
    void TearDown() override { g_commandLineMode = false; }

    bool PumpUntilQuit(DWORD timeoutMs = 5000)
    {
        return window.PumpUntil([&] { return window.QuitCode() != -1; }, timeoutMs);
    }

    // The program has ended with the code, and its hidden log box holds the log.
    void ExpectEnd(int exitCode, const std::string& log)
    {
        ASSERT_TRUE(PumpUntilQuit());
        EXPECT_EQ(exitCode, window.QuitCode());
        EXPECT_EQ(log, window.LogText());
    }
};

TEST_F(CommandLineSyncTest, ReceivedValueEndsTheProgramWithZero)
{
    TimeServer server("127.0.1.30", TimeScripts::SendThenAwaitClose(kValue2015));
    StartCommandLineSync(window.Handle(), "127.0.1.30");
    // The opening lines have no target; the notifications write into the hidden log box.
    ExpectEnd(0, ConnectedLines() + ValueLines(kValue2015Seconds) + kClockRefused);
    EXPECT_TRUE(server.WaitForClientClosed(1, 3000));
}

TEST_F(CommandLineSyncTest, RefusedConnectionEndsTheProgramWithOne)
{
    StartCommandLineSync(window.Handle(), "127.0.1.31");  // nothing listens here
    ExpectEnd(1, "\r\n" "连接错误： #10061.");
}

TEST_F(CommandLineSyncTest, ShortReplyEndsTheProgramWithOne)
{
    TimeServer server("127.0.1.32", TimeScripts::TwoBytesThenClose());
    StartCommandLineSync(window.Handle(), "127.0.1.32");
    ExpectEnd(1, ConnectedLines() + "\r\n" "FD_READ 错误! #10101.");
}

TEST_F(CommandLineSyncTest, NoAnswerWithinTheTickLimitEndsTheProgramWithOne)
{
    TimeServer server("127.0.1.33", TimeScripts::Silent());
    StartCommandLineSync(window.Handle(), "127.0.1.33");
    ASSERT_TRUE(window.PumpUntil([&] { return server.AcceptedCount() == 1; }));
    window.PumpFor(100);
    window.PostTicks(300);
    EXPECT_EQ(-1, window.QuitCode());
    window.PostTicks(1);
    ExpectEnd(1, kTimedOut);
    EXPECT_TRUE(server.WaitForClientClosed(1, 3000));
}

TEST_F(CommandLineSyncTest, ConnectionThatCannotStartEndsTheProgramWithOne)
{
    StartCommandLineSync(window.Handle(), "not an address");
    ASSERT_TRUE(PumpUntilQuit());
    EXPECT_EQ(1, window.QuitCode());
}

}  // namespace
