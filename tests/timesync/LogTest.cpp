#include "SyncTestWindow.h"
#include "timesync/Log.h"

namespace {

using AppendLogTest = SyncWindowTest;

TEST_F(AppendLogTest, TextWithoutLineEndIsContinuedOnTheSameLine)
{
    AppendLog(window.LogBox(), "正在连接: %hs...", "127.0.0.1");
    AppendLog(window.LogBox(), ".");
    AppendLog(window.LogBox(), ".");
    AppendLog(window.LogBox(), "\r\n%i|%u|%03i|%03i", -5, 4294967295u, 7, 1234);
    EXPECT_EQ("正在连接: 127.0.0.1.....\r\n-5|4294967295|007|1234", window.LogText());
    EXPECT_EQ(2, SendMessageA(window.LogBox(), EM_GETLINECOUNT, 0, 0));
}

TEST_F(AppendLogTest, FormattedTextIsCutAt1023BytesAndWithoutTargetNothingIsWritten)
{
    window.SetLogText("help");
    AppendLog(nullptr, "%s", "dropped");
    EXPECT_EQ("help", window.LogText());
    AppendLog(window.LogBox(), "ab%s", std::string(2000, 'x').c_str());
    EXPECT_EQ("helpab" + std::string(1021, 'x'), window.LogText());
}

// Wherever the user left the caret or a selection, text goes to the end, and double-byte
// characters stay whole.
TEST_F(AppendLogTest, TextGoesToTheEndWhereverTheUserLeftTheCaret)
{
    const std::tuple<const char*, int, int, const char*, const char*> appends[] = {
        {"ABCDEF", 3, 3, "xy", "ABCDEFxy"},
        {"ABCDEFxy", 0, 0, "z", "ABCDEFxyz"},
        {"ABCDEF", 1, 4, "xy", "ABCDEFxy"},  // the selection is neither replaced nor split
        {"时间", 1, 1, "服务器", "时间服务器"},
    };
    for (const auto& [before, selectionStart, selectionEnd, text, after] : appends) {
        window.SetLogText(before);
        SendMessageA(window.LogBox(), EM_SETSEL, selectionStart, selectionEnd);
        AppendLog(window.LogBox(), text);
        EXPECT_EQ(after, window.LogText());
    }
}

}  // namespace
