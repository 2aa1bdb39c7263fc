// The autostart box where the Run key opens but refuses every change, as it does for every user
// without administrator rights: the box and the value stay as they were, and the message says
// access was denied, also when the command box is empty.
#include "support/DrivenZorvaneTest.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using RefusingRegistry = DrivenZorvaneTest;

TEST_F(RefusingRegistry, TheBoxAndTheValueStayAsTheyWereAndTheMessageSaysAccessWasDenied)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.6.1"}}));
    // The box, the Run value's bytes (empty: none) and srv.xml.
    const auto autostartNow = [&] { return std::make_tuple(app->Checked(kAutostartCheckId), ReadRunValue("Zorvane").data, SrvXml()); };
    const std::string file = SrvXml();
    {
        const RunKeyReadOnly readOnly;
        ASSERT_TRUE(readOnly.ok());
        EXPECT_EQ("没有设置开机自启：无法把命令行写入注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                  "CurrentVersion\\Run）。\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n"
                  "更改 HKEY_LOCAL_MACHINE 需要管理员权限，请以管理员身份运行本程序后再试。",
                  app->MessageAfterClicking(kAutostartCheckId));
        EXPECT_EQ(std::make_tuple(false, std::string(), file), autostartNow());
    }

    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId));
    const auto ticked = std::make_tuple(true, DefaultCommand() + '\0', SrvXml());
    const RunKeyReadOnly readOnly;
    ASSERT_TRUE(readOnly.ok());
    for (const std::string& command : {DefaultCommand(), std::string()}) {
        SCOPED_TRACE(command);
        SetWindowTextA(app->Control(kCommandEditId), command.c_str());
        EXPECT_EQ("没有取消开机自启：无法删除注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                  "CurrentVersion\\Run）。\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n"
                  "更改 HKEY_LOCAL_MACHINE 需要管理员权限，请以管理员身份运行本程序后再试。",
                  app->MessageAfterClicking(kAutostartCheckId));
        EXPECT_EQ(ticked, autostartNow());
    }
}

}  // namespace
