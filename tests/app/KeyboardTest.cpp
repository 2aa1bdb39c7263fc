// The window used without a mouse: keys posted to the focused control of the real program.
#include "timesync/MainWindowIds.h"
#include "app/FocusOrder.h"
#include "support/Keyboard.h"
#include "support/RemoteControls.h"
#include "support/SystemState.h"
#include "support/TempDir.h"
#include "support/TimeServer.h"
#include "support/ZorvaneProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace {

// The socket number differs from one sync to the next.
std::string WithoutSocketNumber(const std::string& log)
{
    return std::regex_replace(log, std::regex("Socket [0-9]+ "), "Socket # ");
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRunValue("Zorvane");
        DeleteFileA(DesktopShortcutPath().c_str());
        const std::string servers =
            "  <srv>\n    <url>first.test</url>\n    <ip>127.0.5.10</ip>\n  </srv>\n"
            "  <srv>\n    <url>second.test</url>\n    <ip>127.0.5.11</ip>\n  </srv>\n";
        ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"),
                                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n"
                                   "    <autorun></autorun>\n  </cfg>\n" + servers + "</srv_root>\n"));
        app = std::make_unique<ZorvaneProcess>(dir.path());
        ASSERT_TRUE(app->Start());
        window = app->WaitForWindow("Zorvane v1.0");
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(app->WaitIdle());
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(window) == Control(IDC_SERVERLIST); }));
    }

    void TearDown() override
    {
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (app) {
            EXPECT_EQ(0, app->WaitForExit());
        }
        DeleteRunValue("Zorvane");
        DeleteFileA(DesktopShortcutPath().c_str());
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::string Log() const { return WindowTextOf(Control(IDC_LOG)); }
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // A key to whatever has the focus; true once the focus is on the expected control.
    bool PressMovingFocusTo(UINT key, int expectedId)
    {
        PostKeyPress(FocusOf(window), key);
        return WaitUntil([&] { return FocusOf(window) == Control(expectedId); });
    }

    // The whole log of a sync of 127.0.5.11 up to the clock's refusal.
    std::string SyncLog(const std::function<void()>& start)
    {
        const size_t before = server.AcceptedCount();
        start();
        EXPECT_TRUE(WaitUntil([&] { return Log().find("不能设置新的日期和时间!") != std::string::npos; }))
            << Log();
        EXPECT_EQ(before + 1, static_cast<size_t>(server.AcceptedCount()));
        return WithoutSocketNumber(Log());
    }

    TimeServer server{"127.0.5.11", TimeScripts::SendThenAwaitClose(std::string("\xD8\x4F\x0C\x80", 4))};
    TempDir dir{"zorvane_keys"};
    std::unique_ptr<ZorvaneProcess> app;
    HWND window = nullptr;
};

TEST_F(Keyboard, TabAndShiftTabWalkTheControlsInTheOrderTheyStand)
{
    EXPECT_EQ(-1, RemoteListSelectedItem(Control(IDC_SERVERLIST)));
    const int order[] = {IDC_SYNC, IDC_COMMAND, IDC_AUTOSTART, IDC_SHORTCUT, IDC_SERVERLIST};
    for (int id : order)
        ASSERT_TRUE(PressMovingFocusTo(VK_TAB, id)) << "Tab to " << id;

    ShiftHeld shift(window);
    ASSERT_TRUE(shift.ok());
    const int reversed[] = {IDC_SHORTCUT, IDC_AUTOSTART, IDC_COMMAND, IDC_SYNC, IDC_SERVERLIST};
    for (int id : reversed)
        ASSERT_TRUE(PressMovingFocusTo(VK_TAB, id)) << "Shift+Tab to " << id;
}

TEST_F(Keyboard, EnterOnARowAndOnTheButtonSyncLikeADoubleClick)
{
    HWND list = Control(IDC_SERVERLIST);
    PostKeyPress(list, VK_DOWN);
    PostKeyPress(list, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return RemoteListSelectedItem(list) == 1; }));

    const std::string byMouse = SyncLog([&] { PostDoubleClick(list, 200, 250); });
    EXPECT_NE(std::string::npos, byMouse.find("正在连接: 127.0.5.11...")) << byMouse;
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(list, VK_RETURN); }));

    ASSERT_TRUE(PressMovingFocusTo(VK_TAB, IDC_SYNC));
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(Control(IDC_SYNC), VK_RETURN); }));
    EXPECT_EQ(byMouse, SyncLog([&] { PostKeyPress(Control(IDC_SYNC), VK_SPACE); }));
}

TEST_F(Keyboard, SpaceTogglesAFocusedCheckBoxLikeAClick)
{
    for (int id : {IDC_SYNC, IDC_COMMAND, IDC_AUTOSTART})
        ASSERT_TRUE(PressMovingFocusTo(VK_TAB, id));
    PostKeyPress(Control(IDC_AUTOSTART), VK_SPACE);
    EXPECT_TRUE(WaitUntil([] { return RunValuePresent("Zorvane"); }));
    EXPECT_TRUE(WaitUntil([&] { return Checked(IDC_AUTOSTART); }));

    ASSERT_TRUE(PressMovingFocusTo(VK_TAB, IDC_SHORTCUT));
    PostKeyPress(Control(IDC_SHORTCUT), VK_SPACE);
    EXPECT_TRUE(WaitUntil([] { return FileExists(DesktopShortcutPath()); }));
    EXPECT_TRUE(WaitUntil([&] { return Checked(IDC_SHORTCUT); }));
    PostKeyPress(Control(IDC_SHORTCUT), VK_SPACE);
    EXPECT_TRUE(WaitUntil([] { return !FileExists(DesktopShortcutPath()); }));
    EXPECT_TRUE(WaitUntil([&] { return !Checked(IDC_SHORTCUT); }));
    EXPECT_TRUE(Checked(IDC_AUTOSTART));

    // Space in the command box is a space typed, not a click.
    ASSERT_TRUE(PressMovingFocusTo(VK_TAB, IDC_SERVERLIST));
    ASSERT_TRUE(PressMovingFocusTo(VK_TAB, IDC_SYNC));
    ASSERT_TRUE(PressMovingFocusTo(VK_TAB, IDC_COMMAND));
    const std::string command = WindowTextOf(Control(IDC_COMMAND));
    PostKeyPress(Control(IDC_COMMAND), VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(Control(IDC_COMMAND)).size() == command.size() + 1; }));
    EXPECT_TRUE(Checked(IDC_AUTOSTART));
    EXPECT_TRUE(RunValuePresent("Zorvane"));
}

TEST(FocusOrder, GoesRoundAtBothEndsAndEntersFromOutside)
{
    EXPECT_EQ(1, NextInFocusOrder(0, 5, false));
    EXPECT_EQ(0, NextInFocusOrder(4, 5, false));
    EXPECT_EQ(4, NextInFocusOrder(0, 5, true));
    EXPECT_EQ(2, NextInFocusOrder(3, 5, true));
    EXPECT_EQ(0, NextInFocusOrder(-1, 5, false));
    EXPECT_EQ(4, NextInFocusOrder(-1, 5, true));
}

}  // namespace
