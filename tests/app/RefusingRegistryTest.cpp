// The autostart box where the Run key opens but refuses every change, as it does for every user
// without administrator rights: the box and the value stay as they were, and the message says
// access was denied, also when the command box is empty. Done as the message says (restarted
// as administrator, the command typed back, the box clicked to the wanted state), the Run value
// and srv.xml end with the user's command.
#include "support/DrivenZorvaneTest.h"

namespace {

class RefusingRegistry : public DrivenZorvaneTest {
protected:
    // The click refused, its message, and the three as they were; then the message followed.
    void RefusedThenAdviceFollowed(const std::string& command, const std::string& message, bool tick)
    {
        const auto before = AutostartNow();
        {
            const RunKeyReadOnly readOnly;
            ASSERT_TRUE(readOnly.ok());
            Type(command);
            EXPECT_EQ(message, app->MessageAfterClicking(kAutostartCheckId));
            EXPECT_EQ(before, AutostartNow());
        }
        ASSERT_TRUE(Restarted());  // as administrator: the key takes changes
        Type(command);
        const bool clickedOnce = app->Checked(kAutostartCheckId) != tick || ClickedQuietly(kAutostartCheckId);
        EXPECT_TRUE(clickedOnce && ClickedQuietly(kAutostartCheckId));
    }

    const ServerRows rows = {{"a.test", "127.0.6.1"}};
};

TEST_F(RefusingRegistry, ARefusedTickIsSaidAndTheAdviceWritesTheUsersCommand)
{
    ASSERT_TRUE(Launch(rows));
    const std::string command = OwnCommand("/ip 127.0.6.7");
    RefusedThenAdviceFollowed(command,
        "没有设置开机自启：无法把命令行写入注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Run）。\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n"
        "更改 HKEY_LOCAL_MACHINE 需要管理员权限：请以管理员身份重新启动本程序，再在命令框中填入你的命令行：\r\n" +
            command + "\r\n然后让“开机自启”显示为未勾选（已勾选时点一次），再勾选它。",
        true);
    ExpectKept(command, true, rows);
}

TEST_F(RefusingRegistry, ARefusedUntickIsSaidAndTheAdviceRemovesTheValueAndKeepsTheUsersCommand)
{
    ASSERT_TRUE(Launch(rows) && ClickedQuietly(kAutostartCheckId));
    const std::string command = OwnCommand("/ip 127.0.6.7");
    RefusedThenAdviceFollowed(command,
        "没有取消开机自启：无法删除注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Run）。\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n"
        "更改 HKEY_LOCAL_MACHINE 需要管理员权限：请以管理员身份重新启动本程序，再在命令框中填入你的命令行：\r\n" +
            command + "\r\n然后让“开机自启”显示为已勾选（未勾选时点一次），再取消勾选它。",
        false);
    ExpectKept(command, false, rows);
}

// An empty command box stands for this program's name: the reason is the registry's, not the box.
TEST_F(RefusingRegistry, ARefusedUntickWithAnEmptyCommandBoxIsSaidAsAccessDenied)
{
    ASSERT_TRUE(Launch(rows) && ClickedQuietly(kAutostartCheckId));
    const std::string stored = SrvXml();
    RefusedThenAdviceFollowed("",
        "没有取消开机自启：无法删除注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Run）。\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n"
        "更改 HKEY_LOCAL_MACHINE 需要管理员权限：请以管理员身份重新启动本程序，再清空命令框。\r\n"
        "然后让“开机自启”显示为已勾选（未勾选时点一次），再取消勾选它。",
        false);
    EXPECT_EQ(Autostart(false, {}, stored), AutostartNow());
}

}  // namespace
