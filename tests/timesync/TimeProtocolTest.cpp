#include "SyncTestWindow.h"
#include "timesync/SyncMessageAndTimer.h"

#include <algorithm>

namespace {

const std::string kReadError = "\r\n" "FD_READ 错误! #";
// What an earlier sync received: a sync that receives nothing leaves it.
constexpr unsigned kEarlierValue = 3600000000u;

// Whether the log is the lines before, then one of the endings.
bool IsOneOf(const std::string& log, const std::string& before, const std::vector<std::string>& endings)
{
    return std::any_of(endings.begin(), endings.end(), [&](const std::string& end) { return log == before + end; });
}

class TimeProtocolTest : public SyncWindowTest {
protected:
    // The same address from the command line: the program ends with the code, and the hidden
    // log box holds what the notifications wrote (the opening lines have no target).
    std::string CommandLineLog(const char* address, int exitCode)
    {
        g_commandLineMode = true;
        window.SetLogText("");
        StartCommandLineSync(window.Sync(), window.Handle(), address);
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

// Four bytes or more: the whole transcript, the value where the clock gets it, the address it
// came from, and the client hangs up. Fewer: a read failure, no new value, no clock. Nothing runs
// on after either; from the command line the program ends with 0 or 1.
TEST_F(TimeProtocolTest, AnswerEndsTheSyncWithItsValueOrAReadFailure)
{
    // The address, the script, the value the clock gets, the read errors the log may name (none: a value is received).
    const std::tuple<const char*, ServerScript, unsigned, std::vector<std::string>> answers[] = {
        {"127.0.1.1", TimeScripts::SendThenAwaitClose(kValue2015), kValue2015Seconds, {}},
        {"127.0.1.2", TimeScripts::SendThenAwaitClose(kValueMax), 4294967295u, {}},  // the range's last second
        {"127.0.1.11", TimeScripts::Trickle(kValue2015, 60), kValue2015Seconds, {}},  // assembled byte by byte
        {"127.0.1.13", TimeScripts::Megabyte(kValue2015), kValue2015Seconds, {}},     // its first four bytes
        // Split after the first byte, with more behind: the second read asks for the missing
        // three only, or it writes past the value.
        {"127.0.1.46",
         TimeScripts::InPieces({kValue2015.substr(0, 1), kValue2015.substr(1) + "\xA5\xA5\xA5\xA5"},
                               {ServerStep::Pause, {}, 500}),
         kValue2015Seconds, {}},
        {"127.0.1.4", TimeScripts::TwoBytesThenClose(), kEarlierValue, {"10101."}},
        {"127.0.1.5", {{ServerStep::Close, {}}}, kEarlierValue, {"10101."}},
        // Wine hands a reset on an idle socket over as a plain close (10101); Windows may name
        // the reset (10054).
        {"127.0.1.6", {{ServerStep::Reset, {}}}, kEarlierValue, {"10101.", "10054."}},
    };
    for (const auto& [address, script, value, readErrors] : answers) {
        SCOPED_TRACE(address);
        const bool received = readErrors.empty();
        std::vector<std::string> endings(received ? 1 : 0, ValueLines(value) + kClockRefused);
        for (const std::string& error : readErrors)
            endings.push_back(kReadError + error);
        TimeServer* server = Serve(address, script);
        g_timeValue = kEarlierValue;
        window.SetLogText("help text");
        const SOCKET socket = window.StartSyncWith(address);
        const std::string connected = OpeningLines(address, socket) + ConnectedLines();

        ASSERT_TRUE(window.PumpUntil([&] { return IsOneOf(window.LogText(), connected, endings); }))
            << window.LogText();
        // The value, the server's address, and nothing left running.
        const sockaddr_in& to = g_serverAddr;
        EXPECT_EQ(std::make_tuple(value, AF_INET, htons(37), inet_addr(address), 0, false, INVALID_SOCKET),
                  std::make_tuple(g_timeValue, int{to.sin_family}, to.sin_port, to.sin_addr.s_addr, g_syncTicks,
                                  g_commandLineMode, g_timeSocket));
        ExpectTimerStopped();
        // The server ends once the client has closed (or, after a read failure, had closed
        // first): every notification of the socket is handled then, late ones too.
        window.PostNotifications(socket, {FD_READ, FD_CLOSE});
        EXPECT_TRUE(window.PumpUntil([&] { return server->WaitForFinished(1, 0); }) && window.Settled());
        EXPECT_TRUE(IsOneOf(window.LogText(), connected, endings)) << window.LogText();
        EXPECT_EQ(-1, window.QuitCode());
        EXPECT_EQ(received ? 1 : 0, server->ClientClosedCount()) << "the client keeps its socket";

        const std::string commandLineLog = CommandLineLog(address, received ? 0 : 1);
        EXPECT_TRUE(IsOneOf(commandLineLog, ConnectedLines(), endings)) << commandLineLog;
        EXPECT_TRUE(server->WaitForFinished(2, kWaitMs));
        EXPECT_EQ(received ? 2 : 0, server->ClientClosedCount());
        EXPECT_TRUE(SocketLayerReleased());
    }
}

// A refused connection, and one that cannot start (text that is no dotted address connects to
// 255.255.255.255, whose route is refused before anything is sent): reported, and the timer
// goes on to the timeout. From the command line the program ends with 1.
TEST_F(TimeProtocolTest, FailedConnectionIsReportedAndTheTimerGoesOn)
{
    // The address, whether it connects, where it connects to, its report, the command line's log.
    const std::tuple<const char*, bool, u_long, std::string, std::string> failures[] = {
        {"127.0.1.3", true, inet_addr("127.0.1.3"), "正在连接: 127.0.1.3...\r\n连接错误： #10061.",  // nothing listens
         "\r\n连接错误： #10061."},
        {"time.test.invalid", false, INADDR_NONE, "连接错误： #10051.\r\n\r\n", ""},
    };
    for (const auto& [address, connecting, sentTo, report, commandLineLog] : failures) {
        SCOPED_TRACE(address);
        const SOCKET started = window.StartSyncWith(address);
        ASSERT_TRUE(window.PumpUntilLogEndsWith(report));
        const SOCKET socket = SocketNamedIn(window.LogText());
        EXPECT_GT(socket, 0u);
        const std::string log = "\r\nStarted up WinSock 2.0\r\n\r\n" "Socket " + std::to_string(socket) +
                                "  已经成功创建!\r\n\r\n" + report;
        EXPECT_EQ(std::make_tuple(log, sentTo, INVALID_SOCKET, connecting ? socket : INVALID_SOCKET),
                  std::make_tuple(window.LogText(), g_serverAddr.sin_addr.s_addr, g_timeSocket, started));
        const std::pair<int, std::string> ticksThenLog[] = {{2, log + ".."}, {298, log + std::string(300, '.')}, {1, kTimedOut}};
        for (const auto& [ticks, after] : ticksThenLog) {
            window.PostTicks(ticks);
            EXPECT_EQ(after, window.LogText()) << ticks;
        }
        EXPECT_EQ(-1, window.QuitCode());
        EXPECT_EQ(commandLineLog, CommandLineLog(address, 1));
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
    EXPECT_TRUE(server->WaitForClientClosed(1, kWaitMs));
    ExpectTimerStopped();
    EXPECT_EQ(-1, window.QuitCode());

    // The next sync counts its own ticks.
    window.StartSyncWith("127.0.1.7");
    ASSERT_TRUE(window.PumpUntilLogEndsWith(ConnectedLines()));
    window.PostTicks(1);
    EXPECT_TRUE(EndsWith(window.LogText(), ConnectedLines() + ".")) << window.LogText();
    EXPECT_TRUE(server->WaitForAccepted(2, kWaitMs));

    // From the command line the tick after the limit ends the program with 1.
    g_commandLineMode = true;
    StartCommandLineSync(window.Sync(), window.Handle(), "127.0.1.7");
    // The connection's notification handled: it does not end the program either.
    ASSERT_TRUE(window.PumpUntil([&] { return server->AcceptedCount() == 3 && EndsWith(window.LogText(), "." + ConnectedLines()); }));
    window.PostTicks(300);
    EXPECT_EQ(-1, window.QuitCode());
    window.PostTicks(1);
    EXPECT_EQ(1, window.PumpUntilQuit());
    EXPECT_EQ(kTimedOut, window.LogText());
    EXPECT_TRUE(server->WaitForClientClosed(3, kWaitMs));
    EXPECT_TRUE(SocketLayerReleased());
}

// An answer held back until after the timeout, and one trickled too slowly for the tick limit
// (its first byte taken before the timeout).
TEST_F(TimeProtocolTest, AnswerAfterTheTimeoutIsNotTaken)
{
    const std::tuple<const char*, ServerScript, int> answers[] = {  // the address, the script, reads before the timeout
        {"127.0.1.10", TimeScripts::SendAfterRelease(kValue2015), 0},
        {"127.0.1.12", TimeScripts::Trickle(kValue2015, 400), 1}};
    for (const auto& [address, script, readsBeforeTimeout] : answers) {
        SCOPED_TRACE(address);
        TimeServer* server = Serve(address, script);
        const int reads = window.ReadNotices() + readsBeforeTimeout;
        window.StartSyncWith(address);
        ASSERT_TRUE(window.PumpUntil([&] { return EndsWith(window.LogText(), ConnectedLines()) && window.ReadNotices() >= reads; }));
        window.PostTicks(301);
        ASSERT_EQ(kTimedOut, window.LogText());

        // The server ends once the client has closed: at the timeout, or, had the connection
        // stayed open, after taking the answer.
        server->Release();
        EXPECT_TRUE(window.PumpUntil([&] { return server->WaitForFinished(1, 0); }));
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

    EXPECT_FALSE(StartSyncFromList(window.Sync(), window.Handle(), window.ServerList(), window.LogBox()));
    EXPECT_FALSE(window.StartSync(window.AddServer("time.test", "")));
    ASSERT_TRUE(window.Settled());
    // The log, no sync timer to stop, no connection, no tick.
    EXPECT_EQ(std::make_tuple(std::string("help text"), FALSE, 0, 0),
              std::make_tuple(window.LogText(), KillTimer(window.Handle(), IDT_SYNC), server->AcceptedCount(),
                              window.RealTicks()));
}

TEST_F(TimeProtocolTest, SyncTimerReallyTicksEverySecond)
{
    Serve("127.0.1.15", TimeScripts::Silent());
    window.LetRealTicksThrough(true);
    window.StartSyncWith("127.0.1.15");
    ASSERT_TRUE(window.PumpUntil([&] { return window.RealTicks() >= 1; }, 2500));
    EXPECT_TRUE(EndsWith(window.LogText(), ConnectedLines() + ".")) << window.LogText();
    EXPECT_EQ(1, g_syncTicks);
}

}  // namespace
