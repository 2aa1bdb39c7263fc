// Servers that misbehave on purpose, against the real program: its window driven like a
// user's, and the same exchange from the command line (whose hidden window logs too).
#include "HardeningSupport.h"

#include "support/TimeServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const std::string kValueLine = ValueLines(kValue2015Seconds);
const char* const kValueMark = "接受的时间";
// 301 posted ticks, each a dot in the log box, on a machine loaded by other tests: seen to take
// more than 5 s.
constexpr DWORD kTicksHandledMs = 15000;

// The value's line, and nothing else of a value, appears once in the log: the line holds the mark.
void ExpectOneValue(const std::string& log)
{
    EXPECT_TRUE(log.find(kValueLine) != std::string::npos && log.find(kValueMark) == log.rfind(kValueMark)) << log;
}

// Two servers with the same script on 127.0.4.<n> and 127.0.4.<n + 1>: the window syncs with
// the first from its list, a command-line run with the second.
class HostileServer : public ::testing::Test {
protected:
    void StartBoth(int n, const ServerScript& script)
    {
        forWindow = std::make_unique<TimeServer>(("127.0.4." + std::to_string(n)).c_str(), script);
        forCommandLine = std::make_unique<TimeServer>(("127.0.4." + std::to_string(n + 1)).c_str(), script);
        app = std::make_unique<DrivenZorvane>(ServerRows{{"hostile.test", forWindow->Address()}});
        ASSERT_TRUE(app->Launch());
        ASSERT_TRUE(run.Start("/ip " + forCommandLine->Address()));
        ASSERT_TRUE(app->SelectRow(0));
        clicked = GetTickCount64();
        app->ClickSync();
    }

    void TearDown() override
    {
        EXPECT_EQ(0, app ? app->Close() : 0);
    }

    // Once both syncs have connected and wait for data, both get the 301 ticks of the limit:
    // the window's log is the timeout's, and the command line ends with 1.
    void TimeOutBoth()
    {
        ASSERT_TRUE(forWindow->WaitForAccepted(1, 5000));
        ASSERT_TRUE(forCommandLine->WaitForAccepted(1, 15000));
        ASSERT_TRUE(run.AwaitWindow(kHiddenWindowTitle));
        for (DrivenZorvane* sync : {app.get(), &run}) {
            ASSERT_TRUE(WaitFor([&] { return sync->Log().find(kWaitingForData) != std::string::npos; })) << sync->Log();
            sync->PostTicks(301);
        }
        ASSERT_TRUE(WaitFor([&] { return app->Log() == kTimedOut; }, kTicksHandledMs)) << app->Log();
        EXPECT_EQ(1, run.ExitCode());
    }

    std::unique_ptr<TimeServer> forWindow;
    std::unique_ptr<TimeServer> forCommandLine;
    std::unique_ptr<DrivenZorvane> app;
    DrivenZorvane run;  // a command-line sync
    ULONGLONG clicked = 0;
};

TEST_F(HostileServer, MegabyteAnswerYieldsItsFirstFourBytesOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth(10, TimeScripts::Megabyte(kValue2015)));
    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    // The client hangs up on the rest, and nothing more is reported of it.
    EXPECT_TRUE(forWindow->WaitForClientClosed(1, 5000));
    const std::string log = app->Log();
    ASSERT_TRUE(app->Settled());
    EXPECT_EQ(log, app->Log());
    ExpectOneValue(log);
    EXPECT_TRUE(app->Answers());

    EXPECT_EQ(std::make_pair(0, true), std::make_pair(run.ExitCode(), forCommandLine->WaitForClientClosed(1, 5000)));
}

// One byte a second: the value appears only once all four are in, and is the right one.
TEST_F(HostileServer, TrickleOfOneBytePerSecondGivesTheValueAfterTheFourth)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth(12, TimeScripts::Trickle(kValue2015, 1000)));
    ULONGLONG valueSeen = 0;
    std::string partial;  // the last log without the value
    ASSERT_TRUE(WaitFor([&] {
        const std::string log = app->Log();
        if (log.find(kValueMark) == std::string::npos) {
            partial = log;
            return false;
        }
        valueSeen = valueSeen ? valueSeen : GetTickCount64();
        return EndsWith(log, kClockRefused);
    }, 10000)) << app->Log();
    EXPECT_GE(valueSeen - clicked, 2900u) << "three pauses of a second lie between the bytes";
    // While bytes were missing the log waited: nothing after the waiting line but dots (and
    // the line end that is written just before the value line).
    const size_t waiting = partial.find(kWaitingForData);
    ASSERT_NE(std::string::npos, waiting) << partial;
    EXPECT_EQ(std::string::npos, partial.find_first_not_of(".\r\n", waiting + std::strlen(kWaitingForData)))
        << partial;
    ExpectOneValue(app->Log());

    EXPECT_EQ(0, run.ExitCode());
    EXPECT_GE(GetTickCount64() - clicked, 2900u);
}

// Two bytes, then nothing until long after the timeout: the timeout ends the sync, closes
// the connection, and the late rest is never taken for a value.
TEST_F(HostileServer, TrickleSlowerThanTheTimeoutEndsInTheTimeout)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth(14, TimeScripts::InPieces({kValue2015.substr(0, 2), kValue2015.substr(2)},
                                                                {ServerStep::AwaitRelease, {}})));
    ASSERT_TRUE(app->WaitForLogEnd(kWaitingForData)) << app->Log();
    ASSERT_NO_FATAL_FAILURE(TimeOutBoth());
    // The timed-out connection is gone from the client's side before the rest comes.
    EXPECT_TRUE(WaitFor([] { return OpenTimeConnections() == 0; }, 3000)) << OpenTimeConnections();
    forWindow->Release();
    forCommandLine->Release();
    EXPECT_TRUE(forWindow->WaitForFinished(1, 5000));
    ASSERT_TRUE(app->Settled());
    EXPECT_EQ(kTimedOut, app->Log());
    EXPECT_TRUE(app->Answers());
}

TEST_F(HostileServer, ResetIsAReadErrorWithoutValue)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth(16, {{ServerStep::Reset, {}}}));
    // Wine hands a reset of an idle connection over as a plain close; Windows names it.
    ASSERT_TRUE(WaitFor([&] {
        const std::string log = app->LogWithoutTrailingDots();
        return log.find("\r\nFD_READ 错误! #10101.") != std::string::npos ||
               log.find("\r\nFD_READ 错误! #10054.") != std::string::npos;
    }, 5000)) << app->Log();
    EXPECT_EQ(std::string::npos, app->Log().find(kValueMark));
    EXPECT_EQ(1, run.ExitCode());
    EXPECT_EQ(1, forCommandLine->AcceptedCount());
}

// Accepts and never sends: the 301st tick ends it, the client closes its end, and the
// command line ends with 1.
TEST_F(HostileServer, SilentServerTimesOutAndIsHungUpOn)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth(18, TimeScripts::Silent()));
    ASSERT_NO_FATAL_FAILURE(TimeOutBoth());
    EXPECT_EQ(std::make_pair(true, true),
              std::make_pair(forWindow->WaitForClientClosed(1, 3000), forCommandLine->WaitForClientClosed(1, 3000)));
}

// Fifty clicks in a row while five servers hold back their answers: each click replaces the
// sync before it, and only the last one reaches the clock.
TEST_F(HostileServer, FiftyQuickClicksLeaveOneSyncAndNoConnection)
{
    constexpr int kServers = 5;
    constexpr int kClicks = 50;
    std::vector<std::unique_ptr<TimeServer>> servers;
    ServerRows rows;
    for (int i = 0; i < kServers; ++i) {
        const std::string address = "127.0.4." + std::to_string(20 + i);
        servers.push_back(std::make_unique<TimeServer>(address.c_str(), TimeScripts::SendAfterRelease(kValue2015)));
        rows.emplace_back("held" + address, address);
    }
    app = std::make_unique<DrivenZorvane>(rows);
    ASSERT_TRUE(app->Launch());
    for (int click = 0; click < kClicks; ++click) {
        ASSERT_TRUE(app->SelectRow(click % kServers));
        app->ClickSync();
    }
    ASSERT_TRUE(app->Answers());
    ASSERT_TRUE(app->WaitForLogEnd(kWaitingForData)) << app->Log();
    std::string log = app->Log();  // of one sync, the last click's
    EXPECT_EQ(OpeningLines(servers[(kClicks - 1) % kServers]->Address(), SocketNamedIn(log)) + ConnectedLines(), log);

    for (auto& server : servers)
        server->Release();
    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    log = app->Log();
    ExpectOneValue(log);
    // Every connection was accepted in the end and every one was closed by the client.
    for (auto& server : servers) {
        EXPECT_TRUE(server->WaitForAccepted(kClicks / kServers, 10000)) << server->Address();
        EXPECT_TRUE(server->WaitForClientClosed(kClicks / kServers, 10000))
            << server->Address() << ": " << server->ClientClosedCount();
    }
    EXPECT_EQ(0, OpenTimeConnections());
    ASSERT_TRUE(app->Settled());
    EXPECT_EQ(log, app->Log()) << "nothing late from the replaced syncs";
}

// A short answer after a good one: the earlier value must not fill the missing bytes.
TEST_F(HostileServer, ShortAnswerAfterAGoodOneIsNoValue)
{
    TimeServer good("127.0.4.25", TimeScripts::SendThenAwaitClose(kValue2015));
    TimeServer threeBytes("127.0.4.26", {{ServerStep::Send, std::string("\x01\x02\x03", 3)}, {ServerStep::Close, {}}});
    app = std::make_unique<DrivenZorvane>(ServerRows{{"good.test", "127.0.4.25"}, {"three.test", "127.0.4.26"}});
    ASSERT_TRUE(app->Launch());
    ASSERT_TRUE(app->SelectRow(0));
    app->ClickSync();
    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    ASSERT_TRUE(app->SelectRow(1));
    app->ClickSync();
    ASSERT_TRUE(app->WaitForLogEnd("\r\nFD_READ 错误! #10101.", 5000)) << app->Log();
    EXPECT_EQ(std::string::npos, app->Log().find(kValueMark)) << app->Log();
}

}  // namespace
