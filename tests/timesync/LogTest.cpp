#include "SyncTestWindow.h"
#include "timesync/Log.h"

#include <gtest/gtest.h>

namespace {

using AppendLogTest = SyncWindowTest;

TEST_F(AppendLogTest, WithoutTargetNothingIsWritten)
{
    window.SetLogText("help");
    AppendLog(nullptr, "%s", "dropped");
    EXPECT_EQ("help", window.LogText());
}

TEST_F(AppendLogTest, TextWithoutLineEndIsContinuedOnTheSameLine)
{
    AppendLog(window.LogBox(), "正在连接: %hs...", "127.0.0.1");
    AppendLog(window.LogBox(), ".");
    AppendLog(window.LogBox(), ".");
    AppendLog(window.LogBox(), "\r\n%i|%u|%03i|%03i", -5, 4294967295u, 7, 1234);
    EXPECT_EQ("正在连接: 127.0.0.1.....\r\n-5|4294967295|007|1234", window.LogText());
    EXPECT_EQ(2, SendMessageA(window.LogBox(), EM_GETLINECOUNT, 0, 0));
}

TEST_F(AppendLogTest, FormattedTextIsCutAt1023Bytes)
{
    const std::string longText(2000, 'x');
    AppendLog(window.LogBox(), "ab%s", longText.c_str());
    const std::string log = window.LogText();
    EXPECT_EQ(1023u, log.size());
    EXPECT_EQ("abxxx", log.substr(0, 5));
}

TEST_F(AppendLogTest, TextGoesToTheEndWhereverTheUserLeftTheCaret)
{
    window.SetLogText("ABCDEF");
    SendMessageA(window.LogBox(), EM_SETSEL, 3, 3);
    AppendLog(window.LogBox(), "xy");
    EXPECT_EQ("ABCDEFxy", window.LogText());
    SendMessageA(window.LogBox(), EM_SETSEL, 0, 0);
    AppendLog(window.LogBox(), "z");
    EXPECT_EQ("ABCDEFxyz", window.LogText());
}

TEST_F(AppendLogTest, ASelectionIsNeitherReplacedNorSplit)
{
    window.SetLogText("ABCDEF");
    SendMessageA(window.LogBox(), EM_SETSEL, 1, 4);
    AppendLog(window.LogBox(), "xy");
    EXPECT_EQ("ABCDEFxy", window.LogText());
}

TEST_F(AppendLogTest, DoubleByteTextIsAppendedWhole)
{
    window.SetLogText("时间");
    SendMessageA(window.LogBox(), EM_SETSEL, 1, 1);
    AppendLog(window.LogBox(), "服务器");
    EXPECT_EQ("时间服务器", window.LogText());
}

}  // namespace
