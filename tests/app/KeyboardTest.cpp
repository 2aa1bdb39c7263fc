// The window used without a mouse: keys posted to the focused control of the real program.
#include "app/FocusOrder.h"
#include "support/DrivenZorvaneTest.h"
#include "support/Keyboard.h"
#include "support/TimeServer.h"

#include <regex>
#include <tuple>

namespace {

class Keyboard : public DrivenZorvaneTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Launch({{"first.test", "127.0.5.10"}, {"second.test", "127.0.5.11"}}));
        ASSERT_TRUE(WaitFor([&] { return FocusInForeground(app->Window()) == app->Control(kServerListId); }));
    }

    // Tab to whatever has the focus once for each control, the focus then on it; the first
    // control the focus did not reach, or 0.
    int TabThrough(std::initializer_list<int> ids)
    {
        for (int id : ids) {
            PostKeyPress(FocusInForeground(app->Window()), VK_TAB);
            if (!WaitFor([&] { return FocusInForeground(app->Window()) == app->Control(id); }))
                return id;
        }
        return 0;
    }

    // The whole log of a sync of 127.0.5.11 up to the clock's refusal, without the socket
    // number, which differs from one sync to the next.
    std::string SyncLog(const std::function<void()>& start)
    {
        const size_t before = server.AcceptedCount();
        start();
        // The log still ends as the last sync left it until the new one has begun.
        EXPECT_TRUE(server.WaitForAccepted(static_cast<int>(before) + 1, 8000));
        EXPECT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
        EXPECT_EQ(before + 1, static_cast<size_t>(server.AcceptedCount()));
        return std::regex_replace(app->Log(), std::regex("Socket [0-9]+ "), "Socket # ");
    }

    TimeServer server{"127.0.5.11", TimeScripts::SendThenAwaitClose(kValue2015)};
};

TEST_F(Keyboard, TabAndShiftTabWalkTheControlsInTheOrderTheyStand)
{
    EXPECT_EQ(-1, RemoteListSelectedItem(app->Control(kServerListId)));
    ASSERT_EQ(0, TabThrough({kSyncButtonId, kCommandEditId, kAutostartCheckId, kShortcutCheckId, kServerListId}));

    ShiftHeld shift(app->Window());
    ASSERT_TRUE(shift.ok());
    ASSERT_EQ(0, TabThrough({kShortcutCheckId, kAutostartCheckId, kCommandEditId, kSyncButtonId, kServerListId}))
        << "Shift+Tab";
}

TEST_F(Keyboard, EnterOnARowAndOnTheButtonSyncLikeADoubleClick)
{
    HWND list = app->Control(kServerListId);
    PostKeyPress(list, VK_DOWN);
    PostKeyPress(list, VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return RemoteListSelectedItem(list) == 1; }));

    const std::string byMouse = SyncLog([&] { PostDoubleClick(list, 200, 250); });
    EXPECT_NE(std::string::npos, byMouse.find("正在连接: 127.0.5.11...")) << byMouse;
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(list, VK_RETURN); }));
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(list, VK_RETURN, 3); })) << "one sync, not one per repeat";

    ASSERT_EQ(0, TabThrough({kSyncButtonId}));
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(app->Control(kSyncButtonId), VK_RETURN); }));
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(app->Control(kSyncButtonId), VK_SPACE); }));
}

TEST_F(Keyboard, SpaceTogglesAFocusedCheckBoxLikeAClick)
{
    ASSERT_EQ(0, TabThrough({kSyncButtonId, kCommandEditId, kAutostartCheckId}));
    PostKeyPress(app->Control(kAutostartCheckId), VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return ReadRunValue("Zorvane").found && app->Checked(kAutostartCheckId); }));

    ASSERT_EQ(0, TabThrough({kShortcutCheckId}));
    PostKeyPress(app->Control(kShortcutCheckId), VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return FileExists(DesktopShortcutFile()) && app->Checked(kShortcutCheckId); }));
    PostKeyPress(app->Control(kShortcutCheckId), VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return !FileExists(DesktopShortcutFile()) && !app->Checked(kShortcutCheckId); }));
    EXPECT_TRUE(app->Checked(kAutostartCheckId));

    // Space in the command box is a space typed, not a click.
    ASSERT_EQ(0, TabThrough({kServerListId, kSyncButtonId, kCommandEditId}));
    const std::string command = WindowTextOf(app->Control(kCommandEditId));
    PostKeyPress(app->Control(kCommandEditId), VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return WindowTextOf(app->Control(kCommandEditId)).size() == command.size() + 1; }));
    EXPECT_TRUE(app->Checked(kAutostartCheckId) && ReadRunValue("Zorvane").found);
}

// Each deactivation keeps the control that had the focus then; one that finds the focus on the
// window itself (moved there where the control to focus again is another) keeps the one before.
TEST_F(Keyboard, ActivatedAgainTheWindowGivesTheFocusBackToTheControlThatHadIt)
{
    const std::pair<int, int> rounds[] = {  // tabbed to, focused again
        {kSyncButtonId, kSyncButtonId}, {kCommandEditId, kCommandEditId}, {kAutostartCheckId, kCommandEditId}};
    for (const auto& [tabTo, focusedAgain] : rounds) {
        SCOPED_TRACE(tabTo);
        ASSERT_EQ(0, TabThrough({tabTo}));
        ASSERT_TRUE(tabTo == focusedAgain || SetFocusIn(app->Window(), app->Window()));
        // A window of this process takes the activation and goes again.
        HWND other = CreateWindowExA(0, "Static", "other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr,
                                     nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == other && FocusOf(app->Window()) == nullptr; }));
        DestroyWindow(other);
        EXPECT_EQ(app->Control(focusedAgain), FocusInForeground(app->Window()));
    }
}

TEST(FocusOrder, GoesRoundAtBothEndsAndEntersFromOutside)
{
    const std::tuple<int, bool, int> steps[] = {  // from, backwards, next of five
        {0, false, 1}, {4, false, 0}, {0, true, 4}, {3, true, 2}, {-1, false, 0}, {-1, true, 4}};
    for (const auto& [from, backwards, next] : steps)
        EXPECT_EQ(next, NextInFocusOrder(from, 5, backwards)) << from << (backwards ? " backwards" : "");
}

}  // namespace
