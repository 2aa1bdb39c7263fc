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

int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

ServerScript TwoBytesThenHoldThenRest()
{
    return {{ServerStep::Send, kValue2015.substr(0, 2)}, {ServerStep::AwaitRelease, {}},
            {ServerStep::Send, kValue2015.substr(2)}, {ServerStep::AwaitClientClose, {}}};
}

TEST(HostileServer, MegabyteAnswerYieldsItsFirstFourBytesOnce)
{
    TimeServer forWindow("127.0.4.10", TimeScripts::Megabyte(kValue2015));
    TimeServer forCommandLine("127.0.4.11", TimeScripts::Megabyte(kValue2015));
    DrivenZorvane app(ServerRows{{"flood.test", "127.0.4.10"}});
    DrivenZorvane run;  // a command-line sync
    ASSERT_TRUE(run.Start("/ip 127.0.4.11"));
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    ASSERT_TRUE(app.WaitForLogEnd(kClockRefused)) << app.Log();
    // The client hangs up on the rest, and nothing more is reported of it.
    EXPECT_TRUE(forWindow.WaitForClientClosed(1, 5000));
    const std::string log = app.Log();
    Sleep(300);
    EXPECT_EQ(log, app.Log());
    EXPECT_EQ(1, Occurrences(log, kValueLine)) << log;
    EXPECT_EQ(1, Occurrences(log, kValueMark)) << log;
    EXPECT_TRUE(app.Answers());

    EXPECT_EQ(0, run.ExitCode());
    EXPECT_TRUE(forCommandLine.WaitForClientClosed(1, 5000));
    EXPECT_EQ(0, app.Close());
}

// One byte a second: the value appears only once all four are in, and is the right one.
TEST(HostileServer, TrickleOfOneBytePerSecondGivesTheValueAfterTheFourth)
{
    TimeServer forWindow("127.0.4.12", TimeScripts::Trickle(kValue2015, 1000));
    TimeServer forCommandLine("127.0.4.13", TimeScripts::Trickle(kValue2015, 1000));
    DrivenZorvane app(ServerRows{{"trickle.test", "127.0.4.12"}});
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(app.SelectRow(0));
    DrivenZorvane run;  // a command-line sync
    ASSERT_TRUE(run.Start("/ip 127.0.4.13"));
    const ULONGLONG clicked = GetTickCount64();
    app.ClickSync();

    ULONGLONG valueSeen = 0;
    std::string partial;  // the last log without the value
    ASSERT_TRUE(WaitFor([&] {
        const std::string log = app.Log();
        if (log.find(kValueMark) == std::string::npos) {
            partial = log;
            return false;
        }
        if (!valueSeen)
            valueSeen = GetTickCount64();
        return EndsWith(log, kClockRefused);
    }, 10000)) << app.Log();
    EXPECT_GE(valueSeen - clicked, 2900u) << "three pauses of a second lie between the bytes";
    // While bytes were missing the log waited: nothing after the waiting line but dots (and
    // the line end that is written just before the value line).
    if (partial.size() >= 2 && partial.compare(partial.size() - 2, 2, "\r\n") == 0)
        partial.resize(partial.size() - 2);
    const size_t waiting = partial.find(kWaitingForData);
    ASSERT_NE(std::string::npos, waiting) << partial;
    EXPECT_EQ(std::string::npos, partial.find_first_not_of(".\r\n", waiting + std::strlen(kWaitingForData)))
        << partial;
    const std::string log = app.Log();
    EXPECT_EQ(1, Occurrences(log, kValueLine)) << log;
    EXPECT_EQ(1, Occurrences(log, kValueMark)) << log;

    EXPECT_EQ(0, run.ExitCode());
    EXPECT_GE(GetTickCount64() - clicked, 2900u);
    EXPECT_EQ(0, app.Close());
}

// Two bytes, then nothing until long after the timeout: the timeout ends the sync, closes
// the connection, and the late rest is never taken for a value.
TEST(HostileServer, TrickleSlowerThanTheTimeoutEndsInTheTimeout)
{
    TimeServer forWindow("127.0.4.14", TwoBytesThenHoldThenRest());
    TimeServer forCommandLine("127.0.4.15", TwoBytesThenHoldThenRest());
    DrivenZorvane app(ServerRows{{"slow.test", "127.0.4.14"}});
    ASSERT_TRUE(app.Launch());
    DrivenZorvane run;  // a command-line sync
    ASSERT_TRUE(run.Start("/ip 127.0.4.15"));
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    ASSERT_TRUE(app.WaitForLogEnd(kWaitingForData)) << app.Log();
    ASSERT_TRUE(forWindow.WaitForAccepted(1, 5000));
    ASSERT_TRUE(forCommandLine.WaitForAccepted(1, 15000));
    ASSERT_TRUE(run.AwaitWindow(kHiddenWindowTitle));
    Sleep(200);  // the two bytes are in

    app.PostTicks(301);
    run.PostTicks(301);
    ASSERT_TRUE(WaitFor([&] { return app.Log() == kTimedOut; }, 5000)) << app.Log();
    EXPECT_EQ(1, run.ExitCode());
    // The timed-out connection is gone from the client's side before the rest comes.
    EXPECT_TRUE(WaitFor([] { return OpenTimeConnections() == 0; }, 3000)) << OpenTimeConnections();
    forWindow.Release();
    forCommandLine.Release();
    EXPECT_TRUE(forWindow.WaitForFinished(1, 5000));
    Sleep(300);
    EXPECT_EQ(kTimedOut, app.Log());
    EXPECT_TRUE(app.Answers());
    EXPECT_EQ(0, app.Close());
}

TEST(HostileServer, ResetIsAReadErrorWithoutValue)
{
    TimeServer forWindow("127.0.4.16", TimeScripts::ResetAtOnce());
    TimeServer forCommandLine("127.0.4.17", TimeScripts::ResetAtOnce());
    DrivenZorvane app(ServerRows{{"reset.test", "127.0.4.16"}});
    ASSERT_TRUE(app.Launch());
    DrivenZorvane run;  // a command-line sync
    ASSERT_TRUE(run.Start("/ip 127.0.4.17"));
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    // Wine hands a reset of an idle connection over as a plain close; Windows names it.
    ASSERT_TRUE(WaitFor([&] {
        const std::string log = app.LogWithoutTrailingDots();
        return log.find("\r\nFD_READ 错误! #10101.") != std::string::npos ||
               log.find("\r\nFD_READ 错误! #10054.") != std::string::npos;
    }, 5000)) << app.Log();
    EXPECT_EQ(std::string::npos, app.Log().find(kValueMark));
    EXPECT_EQ(1, run.ExitCode());
    EXPECT_EQ(1, forCommandLine.AcceptedCount());
    EXPECT_EQ(0, app.Close());
}

// Accepts and never sends: the 301st tick ends it, the client closes its end, and the
// command line ends with 1.
TEST(HostileServer, SilentServerTimesOutAndIsHungUpOn)
{
    TimeServer forWindow("127.0.4.18", TimeScripts::Silent());
    TimeServer forCommandLine("127.0.4.19", TimeScripts::Silent());
    DrivenZorvane app(ServerRows{{"silent.test", "127.0.4.18"}});
    ASSERT_TRUE(app.Launch());
    DrivenZorvane run;  // a command-line sync
    ASSERT_TRUE(run.Start("/ip 127.0.4.19"));
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    ASSERT_TRUE(forWindow.WaitForAccepted(1, 5000));
    ASSERT_TRUE(forCommandLine.WaitForAccepted(1, 15000));
    ASSERT_TRUE(run.AwaitWindow(kHiddenWindowTitle));
    app.PostTicks(301);
    run.PostTicks(301);
    ASSERT_TRUE(WaitFor([&] { return app.Log() == kTimedOut; }, 5000)) << app.Log();
    EXPECT_TRUE(forWindow.WaitForClientClosed(1, 3000));
    EXPECT_EQ(1, run.ExitCode());
    EXPECT_TRUE(forCommandLine.WaitForClientClosed(1, 3000));
    EXPECT_EQ(0, app.Close());
}

// Fifty clicks in a row while five servers hold back their answers: each click replaces the
// sync before it, and only the last one reaches the clock.
TEST(HostileServer, FiftyQuickClicksLeaveOneSyncAndNoConnection)
{
    constexpr int kServers = 5;
    constexpr int kClicks = 50;
    const char* const addresses[kServers] = {"127.0.4.20", "127.0.4.21", "127.0.4.22", "127.0.4.23", "127.0.4.24"};
    std::vector<std::unique_ptr<TimeServer>> servers;
    ServerRows rows;
    for (const char* address : addresses) {
        servers.push_back(std::make_unique<TimeServer>(address, TimeScripts::SendAfterRelease(kValue2015)));
        rows.emplace_back(std::string("held") + address, address);
    }
    DrivenZorvane app(rows);
    ASSERT_TRUE(app.Launch());
    for (int click = 0; click < kClicks; ++click) {
        ASSERT_TRUE(app.SelectRow(click % kServers));
        app.ClickSync();
    }
    ASSERT_TRUE(app.Answers());
    const std::string last = addresses[(kClicks - 1) % kServers];
    ASSERT_TRUE(app.WaitForLogEnd(kWaitingForData)) << app.Log();
    std::string log = app.Log();
    EXPECT_EQ(1, Occurrences(log, "Started up")) << log;
    EXPECT_NE(std::string::npos, log.find("正在连接: " + last + "...")) << log;

    for (auto& server : servers)
        server->Release();
    ASSERT_TRUE(app.WaitForLogEnd(kClockRefused)) << app.Log();
    log = app.Log();
    EXPECT_EQ(1, Occurrences(log, kValueLine)) << log;
    EXPECT_EQ(1, Occurrences(log, kValueMark)) << log;
    // Every connection was accepted in the end and every one was closed by the client.
    for (auto& server : servers) {
        EXPECT_TRUE(server->WaitForAccepted(kClicks / kServers, 10000)) << server->Address();
        EXPECT_TRUE(server->WaitForClientClosed(kClicks / kServers, 10000))
            << server->Address() << ": " << server->ClientClosedCount();
    }
    EXPECT_EQ(0, OpenTimeConnections());
    Sleep(200);
    EXPECT_EQ(log, app.Log()) << "nothing late from the replaced syncs";
    EXPECT_EQ(0, app.Close());
}

// A short answer after a good one: the earlier value must not fill the missing bytes.
TEST(HostileServer, ShortAnswerAfterAGoodOneIsNoValue)
{
    TimeServer good("127.0.4.25", TimeScripts::SendThenAwaitClose(kValue2015));
    TimeServer threeBytes("127.0.4.26", {{ServerStep::Send, std::string("\x01\x02\x03", 3)}, {ServerStep::Close, {}}});
    DrivenZorvane app(ServerRows{{"good.test", "127.0.4.25"}, {"three.test", "127.0.4.26"}});
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    ASSERT_TRUE(app.WaitForLogEnd(kClockRefused)) << app.Log();
    ASSERT_TRUE(app.SelectRow(1));
    app.ClickSync();
    ASSERT_TRUE(WaitFor([&] {
        return app.LogWithoutTrailingDots().find("\r\nFD_READ 错误! #10101.") != std::string::npos;
    }, 5000)) << app.Log();
    EXPECT_EQ(std::string::npos, app.Log().find(kValueMark)) << app.Log();
    EXPECT_EQ(0, app.Close());
}

}  // namespace
