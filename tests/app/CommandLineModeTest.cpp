// Runs the real Zorvane.exe, copied into a temporary folder (its srv.xml lands there),
// against time servers on loopback 127.0.2.x port 37.
#include "support/Dialogs.h"
#include "support/DrivenZorvane.h"
#include "support/TimeServer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <tuple>

namespace {

// A sync from the command line against a server that answers as its script says (null: nothing
// listens at the address), and the exit code it ends with.
const std::tuple<const char*, ServerScript (*)(), int> kRuns[] = {
    {"/ip 127.0.2.1", TimeScripts::CurrentTime, 0},        // the received time ends the program
    {"-ip 127.0.2.2", TimeScripts::CurrentTime, 0},        // a dash works like the slash
    {"/ip 127.0.2.3", nullptr, 1},                         // refused connection
    {"/ip 127.0.2.4", TimeScripts::TwoBytesThenClose, 1},  // short answer
};

}  // namespace

TEST(CommandLineMode, OneConnectionThenTheExitCodeOfItsOutcome)
{
    for (const auto& [arguments, script, exitCode] : kRuns) {
        SCOPED_TRACE(arguments);
        std::unique_ptr<TimeServer> server;
        if (script) {
            server = std::make_unique<TimeServer>(arguments + 4, script());
            ASSERT_TRUE(server->IsListening());
        }
        DrivenZorvane zorvane;
        ASSERT_TRUE(zorvane.Start(arguments));
        EXPECT_EQ(exitCode, zorvane.ExitCode());
        EXPECT_TRUE(!server || server->AcceptedCount() == 1);
        EXPECT_TRUE(FindMessageBoxes(zorvane.Process().pid()).empty());
    }
}

TEST(CommandLineMode, SilentServerTimesOutAfterThreeHundredTicks)
{
    TimeServer server("127.0.2.5", TimeScripts::Silent());
    ASSERT_TRUE(server.IsListening());
    DrivenZorvane zorvane;
    ASSERT_TRUE(zorvane.Start("/ip 127.0.2.5"));
    ASSERT_TRUE(zorvane.AwaitWindow(kHiddenWindowTitle));
    EXPECT_FALSE(IsWindowVisible(zorvane.Window()));
    ASSERT_TRUE(server.WaitForAccepted(1, 15000));

    // The program's own timer adds a tick a second; well below the limit it keeps waiting.
    zorvane.Tick(290);
    EXPECT_NE(kTimedOut, zorvane.Log());
    EXPECT_TRUE(zorvane.Answers());
    EXPECT_TRUE(zorvane.Process().Running());
    zorvane.PostTicks(11);
    EXPECT_EQ(1, zorvane.ExitCode());
}

TEST(CommandLineMode, WrongCommandLinesShowUsageAndEndWithZero)
{
    for (const char* arguments : {"/IP 1.2.3.4", "/ipx 1.2.3.4", "/ip", "/ip 1.2.3.4 more", "foo",
                                  "/ip 1.2.3", "/ip a.b.c.d", "/ip 1.2.3.-4"}) {
        SCOPED_TRACE(std::string("arguments: ") + arguments);
        ExpectUsageAndExitZero(arguments);
    }
}

TEST(GuiMode, WindowShownAtTopLeftWithTitleAndClosedWithZero)
{
    DrivenZorvane zorvane;
    ASSERT_TRUE(zorvane.Launch());
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(zorvane.Window()) != FALSE; }, 15000));

    EXPECT_EQ((RECT{0, 0, 750, 450}), RectOf(GetWindowRect, zorvane.Window()));

    // The icons are checked on the X side (tests/scripts/gui_icon.sh): Wine answers no
    // WM_GETICON sent from another process.
    EXPECT_EQ(0, zorvane.Close());
}
