// Both check boxes ticked and cleared, and syncs, many times over in one session of the real
// window: the kernel handles the program holds (registry keys, files, sockets) may not grow
// with them.
#include "support/DrivenZorvaneTest.h"
#include "support/ProcessHandles.h"
#include "support/TimeServer.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

// Each round makes four clicks and one sync; a handle left open by every click, or by every
// sync, ends far above the margin, which only leaves room for the platform's own comings and
// goings.
constexpr int kRounds = 10;
constexpr int kHandleMargin = 3;

// A box and what the system holds when it is ticked.
const std::pair<int, bool (*)()> kBoxes[] = {{kAutostartCheckId, [] { return ReadRunValue("Zorvane").found; }},
                      {kShortcutCheckId, [] { return FileExists(DesktopShortcutFile()); }}};

using HandleLeak = DrivenZorvaneTest;

TEST_F(HandleLeak, ClicksOfBothBoxesAndSyncsLeaveTheHandleCountWhereItWas)
{
    // Both boxes ticked, then both cleared, each click seen in the box and in the system; then
    // a sync of the selected row. What went wrong, or empty.
    const auto round = [this]() -> std::string {
        for (bool ticked : {true, false}) {
            for (const auto& [id, held] : kBoxes) {
                app->Click(id);  // a message box it brings up fails the test, with its text
                if (HasFailure() || app->Checked(id) != ticked || held() != ticked)
                    return "box " + std::to_string(id) + (ticked ? " ticked" : " cleared");
            }
        }
        app->ClickSync();
        return app->WaitForLogEnd(kClockRefused) ? "" : "sync:\n" + app->Log();
    };
    // The server closes its end itself: a connection the program never closes (its socket and
    // its Winsock start both left; the last WSACleanup releases any socket still open) holds
    // no later sync up, and shows in the count.
    TimeServer server("127.0.3.20", {{ServerStep::Send, kValue2015}, {ServerStep::Close, {}}});
    ASSERT_TRUE(server.IsListening());
    ASSERT_TRUE(Launch({{"leak.test", "127.0.3.20"}}) && app->SelectRow(0));
    // The first clicks and sync load libraries and make the objects that stay.
    ASSERT_EQ("", round()) << "warm-up";
    const int before = CountHandlesOf(app->Process().pid());
    ASSERT_GT(before, 0);
    for (int n = 0; n < kRounds; ++n)
        ASSERT_EQ("", round()) << "round " << n;
    const int after = CountHandlesOf(app->Process().pid());
    std::printf("handles after the warm-up: %d; after %d rounds: %d\n", before, kRounds, after);
    EXPECT_LE(after, before + kHandleMargin);
    EXPECT_EQ(kRounds + 1, server.AcceptedCount());
}

}  // namespace
