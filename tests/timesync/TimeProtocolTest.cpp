#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const std::string kValueMax("\xFF\xFF\xFF\xFF", 4);   // 4294967295
constexpr DWORD kCloseWaitMs = 3000;
const std::string kReadError = "\r\n" "FD_READ 错误! #";

// A server's answer and the value it carries.
struct Answer {
    const char* address;
    ServerScript script;
    unsigned value;
};

class TimeProtocolTest : public SyncWindowTest {
protected:
    bool LogEndsWith(const std::string& tail) const { return EndsWith(window.LogText(), tail); }

    // The same address from the command line: the program ends with the code, and the hidden
    // log box holds what the notifications wrote (the opening lines have no target).
    std::string CommandLineLog(const char* address, int exitCode)
    {
        g_commandLineMode = true;
        window.SetLogText("");
        StartCommandLineSync(window.Handle(), address);
        EXPECT_EQ(exitCode, window.PumpUntilQuit()) << address;
        g_commandLineMode = false;
        return window.LogText();
    }

    // The sync timer is stopped: a tick adds nothing.
    void ExpectTimerStopped()
    {
        const std::string before = window.LogText();
        window.PostTicks(1);
        EXPECT_EQ(before, window.LogText());
    }
};

// The whole transcript, the value where the clock gets it, the address it came from; the
// client hangs up, and nothing runs on. From the command line the program ends with 0.
TEST_F(TimeProtocolTest, ReceivedValueIsLoggedAndGoesToTheClock)
{
    const Answer answers[] = {
        {"127.0.1.1", TimeScripts::SendThenAwaitClose(kValue2015), kValue2015Seconds},
        {"127.0.1.2", TimeScripts::SendThenAwaitClose(kValueMax), 4294967295u},  // the range's last second
        {"127.0.1.11", TimeScripts::Trickle(kValue2015, 60), kValue2015Seconds},  // assembled byte by byte
        {"127.0.1.13", TimeScripts::Megabyte(kValue2015), kValue2015Seconds},     // its first four bytes
        // Split after the first byte, with more behind: the second read asks for the missing
        // three only, or it writes past the value.
        {"127.0.1.46",
         TimeScripts::InPieces({kValue2015.substr(0, 1), kValue2015.substr(1) + "\xA5\xA5\xA5\xA5"}, 500),
         kValue2015Seconds},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.address);
        TimeServer* server = Serve(answer.address, answer.script);
        window.SetLogText("help text");
        window.StartSyncWith(answer.address);

        ASSERT_TRUE(window.EndsWithFullSync(answer.address, answer.value));
        EXPECT_EQ(answer.value, g_timeValue);
        EXPECT_EQ(AF_INET, g_serverAddr.sin_family);
        EXPECT_EQ(htons(37), g_serverAddr.sin_port);
        EXPECT_EQ(inet_addr(answer.address), g_serverAddr.sin_addr.s_addr);
        EXPECT_EQ(0, g_syncTicks);
        EXPECT_FALSE(g_commandLineMode);
        EXPECT_TRUE(server->WaitForFinished(1, kCloseWaitMs));
        EXPECT_EQ(1, server->ClientClosedCount()) << "the client keeps its socket";
        EXPECT_EQ(INVALID_SOCKET, g_timeSocket);
        ExpectTimerStopped();
        EXPECT_EQ(-1, window.QuitCode());

        EXPECT_EQ(ConnectedLines() + ValueLines(answer.value) + kClockRefused, CommandLineLog(answer.address, 0));
        EXPECT_TRUE(server->WaitForClientClosed(2, kCloseWaitMs));
        EXPECT_TRUE(SocketLayerReleased());
    }
}

TEST_F(TimeProtocolTest, RefusedConnectionIsReportedAndTheTimerGoesOn)
{
    // Nothing listens on 127.0.1.3.
    const SOCKET socket = window.StartSyncWith("127.0.1.3");
    const std::string expected = OpeningLines("127.0.1.3", socket) + "\r\n" "连接错误： #10061.";

    ASSERT_TRUE(window.PumpUntilLogEndsWith("连接错误： #10061."));
    EXPECT_EQ(expected, window.LogText());
    EXPECT_EQ(INVALID_SOCKET, g_timeSocket);
    window.PostTicks(2);
    EXPECT_EQ(expected + "..", window.LogText());
    window.PostTicks(299);
    EXPECT_EQ(kTimedOut, window.LogText());
    EXPECT_EQ(-1, window.QuitCode());
    // From the command line the refusal ends the program.
    EXPECT_EQ("\r\n" "连接错误： #10061.", CommandLineLog("127.0.1.3", 1));
    EXPECT_TRUE(SocketLayerReleased());
}

TEST_F(TimeProtocolTest, TextThatIsNoDottedAddressConnectsToAllOnesAndFails)
{
    ASSERT_TRUE(window.StartSync(window.AddServer("time.test", "time.test.invalid")));

    // The route to 255.255.255.255 is refused before anything is sent.
    EXPECT_EQ(INADDR_NONE, g_serverAddr.sin_addr.s_addr);
    EXPECT_EQ(INVALID_SOCKET, g_timeSocket);
    const std::string log = window.LogText();
    const SOCKET socket = SocketNamedIn(log);
    EXPECT_GT(socket, 0u) << log;
    EXPECT_EQ("\r\nStarted up WinSock 2.0\r\n\r\n" "Socket " + std::to_string(socket) +
                  "  已经成功创建!\r\n\r\n" "连接错误： #10051.\r\n\r\n",
              log);
    window.PostTicks(300);
    EXPECT_EQ(log + std::string(300, '.'), window.LogText());
    window.PostTicks(1);
    EXPECT_EQ(kTimedOut, window.LogText());
    EXPECT_EQ("", CommandLineLog("time.test.invalid", 1));
    EXPECT_TRUE(SocketLayerReleased());
}

// A connection that ends before four bytes: a read failure, no value, no clock; from the
// command line the program ends with 1.
TEST_F(TimeProtocolTest, ShortReplyCloseOrResetIsAReadFailureAndLeavesTheClockAlone)
{
    struct ShortAnswer {
        const char* address;
        ServerScript script;
        std::vector<std::string> errors;  // those the log may name
    };
    // Wine hands a reset on an idle socket over as a plain close (10101); Windows may name the
    // reset (10054).
    const ShortAnswer answers[] = {
        {"127.0.1.4", TimeScripts::TwoBytesThenClose(), {"10101."}},
        {"127.0.1.5", {{ServerStep::Close, {}}}, {"10101."}},
        {"127.0.1.6", {{ServerStep::Reset, {}}}, {"10101.", "10054."}},
    };
    for (const ShortAnswer& answer : answers) {
        SCOPED_TRACE(answer.address);
        Serve(answer.address, answer.script);
        const SOCKET socket = window.StartSyncWith(answer.address);
        ASSERT_TRUE(window.PumpUntil([&] { return window.LogText().find(kReadError) != std::string::npos; }))
            << window.LogText();
        const auto failedSo = [&](const std::string& log, const std::string& before) {
            return std::any_of(answer.errors.begin(), answer.errors.end(),
                               [&](const std::string& error) { return log == before + kReadError + error; });
        };
        EXPECT_TRUE(failedSo(window.LogText(), OpeningLines(answer.address, socket) + ConnectedLines()))
            << window.LogText();
        EXPECT_EQ(INVALID_SOCKET, g_timeSocket);
        ExpectTimerStopped();
        window.PumpFor(200);
        EXPECT_EQ(std::string::npos, window.LogText().find(kClockRefused));

        const std::string commandLineLog = CommandLineLog(answer.address, 1);
        EXPECT_TRUE(failedSo(commandLineLog, ConnectedLines())) << commandLineLog;
        EXPECT_TRUE(SocketLayerReleased());
    }
}

TEST_F(TimeProtocolTest, SilentServerTimesOutOnTheTickAfterTheLimit)
{
    TimeServer* server = Serve("127.0.1.7", TimeScripts::Silent());
    const SOCKET socket = window.StartSyncWith("127.0.1.7");
    const std::string connected = OpeningLines("127.0.1.7", socket) + ConnectedLines();
    ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));

    window.PostTicks(300);
    EXPECT_EQ(connected + std::string(300, '.'), window.LogText());
    EXPECT_EQ(0, server->ClientClosedCount());
    window.PostTicks(1);
    EXPECT_EQ(kTimedOut, window.LogText());
    EXPECT_TRUE(server->WaitForClientClosed(1, kCloseWaitMs));
    ExpectTimerStopped();
    EXPECT_EQ(-1, window.QuitCode());

    // The next sync counts its own ticks.
    window.StartSyncWith("127.0.1.7");
    ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));
    window.PostTicks(1);
    EXPECT_TRUE(LogEndsWith(ConnectedLines() + ".")) << window.LogText();
    EXPECT_TRUE(server->WaitForAccepted(2, kCloseWaitMs));

    // From the command line the tick after the limit ends the program with 1.
    g_commandLineMode = true;
    StartCommandLineSync(window.Handle(), "127.0.1.7");
    ASSERT_TRUE(window.PumpUntil([&] { return server->AcceptedCount() == 3; }));
    window.PumpFor(100);
    window.PostTicks(300);
    EXPECT_EQ(-1, window.QuitCode());
    window.PostTicks(1);
    EXPECT_EQ(1, window.PumpUntilQuit());
    EXPECT_EQ(kTimedOut, window.LogText());
    EXPECT_TRUE(server->WaitForClientClosed(3, kCloseWaitMs));
    EXPECT_TRUE(SocketLayerReleased());
}

// An answer held back until after the timeout, and one trickled too slowly for the tick limit.
TEST_F(TimeProtocolTest, AnswerAfterTheTimeoutIsNotTaken)
{
    const Answer answers[] = {
        {"127.0.1.10", TimeScripts::SendAfterRelease(kValue2015), kValue2015Seconds},
        {"127.0.1.12", TimeScripts::Trickle(kValue2015, 400), kValue2015Seconds},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.address);
        TimeServer* server = Serve(answer.address, answer.script);
        window.StartSyncWith(answer.address);
        ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));
        window.PumpFor(500);  // one or two trickled bytes have come by now
        window.PostTicks(301);
        ASSERT_EQ(kTimedOut, window.LogText());

        server->Release();
        EXPECT_TRUE(server->WaitForFinished(1, kCloseWaitMs));
        window.PumpFor(300);
        EXPECT_EQ(kTimedOut, window.LogText());
    }
}

// No selected row, or a row without an address: no sync, no connection, no timer.
TEST_F(TimeProtocolTest, NoSelectedRowOrEmptyAddressCellChangesNothing)
{
    TimeServer* server = Serve("127.0.1.14", TimeScripts::SendThenAwaitClose(kValue2015));
    window.AddServer("time.test", "127.0.1.14");
    window.SetLogText("help text");
    window.LetRealTicksThrough(true);

    EXPECT_FALSE(StartSyncFromList(window.Handle(), window.ServerList(), window.LogBox()));
    EXPECT_FALSE(window.StartSync(window.AddServer("time.test", "")));
    window.PumpFor(1300);
    EXPECT_EQ("help text", window.LogText());
    EXPECT_EQ(0, server->AcceptedCount());
    EXPECT_EQ(0, window.RealTicks());
}

TEST_F(TimeProtocolTest, SyncTimerReallyTicksEverySecond)
{
    Serve("127.0.1.15", TimeScripts::Silent());
    window.LetRealTicksThrough(true);
    window.StartSyncWith("127.0.1.15");
    ASSERT_TRUE(window.PumpUntil([&] { return window.RealTicks() >= 1; }, 2500));
    EXPECT_TRUE(LogEndsWith(ConnectedLines() + ".")) << window.LogText();
    EXPECT_EQ(1, g_syncTicks);
}

}  // namespace
