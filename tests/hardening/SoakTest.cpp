// Two thousand syncs in one session of the real window: success, refused and short answers
// in turn. Nothing the process holds may grow with the number of syncs.
#include "HardeningSupport.h"

#include "support/TimeServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kSyncCount = 2000;
// The measures are taken after this sync and after the last one; both are refused ones.
constexpr int kBaselineSync = 4;
static_assert(kBaselineSync % 3 == (kSyncCount - 1) % 3, "baseline and end in the same phase");

// Allowances that do not grow with the number of syncs.
constexpr int kHandleTolerance = 4;
constexpr int kDescriptorTolerance = 4;
constexpr int kWindowTolerance = 2;  // the platform may add a helper window of its own
// A sync on loopback ends in milliseconds; the wait only leaves room for a loaded machine.
constexpr DWORD kSyncWaitMs = 10000;
constexpr DWORD kPollMs = 1;

struct Outcome {
    const char* address;
    std::string end;      // what the log ends with
    bool carriesValue;    // whether the value line belongs in the log
};

const Outcome kOutcomes[] = {
    {"127.0.4.1", kClockRefused, true},
    {"127.0.4.2", "\r\n连接错误： #10061.", false},
    {"127.0.4.3", "\r\nFD_READ 错误! #10101.", false},
};

TEST(Soak, TwoThousandSyncsInOneSessionHoldNothingMore)
{
    TimeServer answering(kOutcomes[0].address, TimeScripts::SendThenAwaitClose(kValue2015));
    TimeServer shortAnswer(kOutcomes[2].address, TimeScripts::TwoBytesThenClose());
    ASSERT_TRUE(answering.IsListening() && shortAnswer.IsListening());
    DrivenZorvane app({{"answering.test", kOutcomes[0].address},
                       {"refusing.test", kOutcomes[1].address},
                       {"short.test", kOutcomes[2].address}});
    ASSERT_TRUE(app.Launch());

    const std::string valueLine = ValueLines(kValue2015Seconds);
    ProcessHoldings baseline;
    const ULONGLONG start = GetTickCount64();
    for (int sync = 0; sync < kSyncCount; ++sync) {
        const int row = sync % 3;
        const Outcome& outcome = kOutcomes[row];
        ASSERT_TRUE(app.SelectRow(row)) << "sync " << sync;
        app.ClickSync();
        // Every sync ends by itself: none may be left to the timeout.
        ASSERT_TRUE(WaitFor([&] { return EndsWith(app.LogWithoutTrailingDots(), outcome.end); },
                            kSyncWaitMs, kPollMs))
            << "sync " << sync << " (accepted " << answering.AcceptedCount() << ", "
            << shortAnswer.AcceptedCount() << ", open " << OpenTimeConnections() << "):\n" << app.Log();
        const std::string log = app.Log();
        EXPECT_EQ(outcome.carriesValue, log.find(valueLine) != std::string::npos) << "sync " << sync << ":\n" << log;
        ASSERT_EQ(0u, log.find("\r\nStarted up WinSock 2.0\r\n\r\n")) << "sync " << sync << ":\n" << log;
        ASSERT_EQ(log.find("Started up"), log.rfind("Started up")) << "one sync per log:\n" << log;
        if (sync == kBaselineSync)
            baseline = MeasureHoldings(app.Process());
    }
    const ULONGLONG elapsed = GetTickCount64() - start;

    ASSERT_TRUE(app.Answers());
    // The servers' last connections are closed by then: the client ended them.
    EXPECT_TRUE(WaitFor([] { return OpenTimeConnections() == 0; }, 3000)) << OpenTimeConnections();
    const ProcessHoldings end = MeasureHoldings(app.Process());
    std::printf("%d syncs in %llu ms; handles, windows, unix descriptors, connections after sync %d: %d %d %d %d; "
                "at the end: %d %d %d %d\n", kSyncCount, elapsed, kBaselineSync, baseline.handles, baseline.windows,
                baseline.unixDescriptors, baseline.connections, end.handles, end.windows, end.unixDescriptors,
                end.connections);
    ASSERT_GT(baseline.handles, 0);
    EXPECT_LE(end.handles, baseline.handles + kHandleTolerance);
    EXPECT_LE(end.windows, baseline.windows + kWindowTolerance);
    ASSERT_GT(baseline.unixDescriptors, 0);
    EXPECT_LE(end.unixDescriptors, baseline.unixDescriptors + kDescriptorTolerance);
    // GDI objects: GetGuiResources is a stub under Wine 8 and nothing else tells another
    // process's GDI objects, so they are not measured here.
    EXPECT_EQ(kSyncCount / 3 + 1, answering.AcceptedCount());
    EXPECT_EQ(0, app.Close());
}

}  // namespace
