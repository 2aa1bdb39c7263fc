// The help page's steps, followed literally through the real window.
#include "support/DrivenZorvaneTest.h"

namespace {

using HelpSteps = DrivenZorvaneTest;

// Moved to another folder, the program shows its default command; the user's address, still
// in the Run value and in srv.xml, goes back into the command box before the two clicks.
TEST_F(HelpSteps, AfterAMoveTheUsersAddressIsPutBackBeforeUntickingAndTickingAgain)
{
    const ServerRows rows = {{"a.test", "127.0.10.1"}};
    ASSERT_TRUE(Launch(rows));
    const std::string oldCommand = OwnCommand("/ip 127.0.10.1");
    Type(oldCommand);
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId) && app->Close() == 0);
    const std::string oldFile = SrvXml();

    auto moved = std::make_unique<DrivenZorvane>(rows, "zorvane_moved");
    ASSERT_TRUE(MoveFileExA(app->Folder().file("srv.xml").c_str(), moved->Folder().file("srv.xml").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(DeleteFileA(app->Process().exePath().c_str()));
    app = std::move(moved);
    ASSERT_TRUE(app->Launch());
    EXPECT_EQ(std::make_pair(DefaultCommand(), Autostart(true, RunCommandValue(oldCommand), oldFile)),
              std::make_pair(WindowTextOf(app->Control(kCommandEditId)), AutostartNow()));

    const std::string command = OwnCommand("/ip 127.0.10.1");
    Type(command);
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ExpectKept(command, true, rows);
}

}  // namespace
