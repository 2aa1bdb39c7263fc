#include "app/MessageBoxTexts.h"
#include "support/SyncTranscript.h"

#include <gtest/gtest.h>

TEST(MessageBoxTexts, SystemReasonsInChineseWithWin32CodesInDecimalAndOthersInHexadecimal)
{
    EXPECT_EQ("系统找不到指定的文件。（错误代码 2）", SystemReasonText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ("拒绝访问。（错误代码 5）", SystemReasonText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(EndsWith(SystemReasonText(0x80004005), "（错误代码 0x80004005）"));
}

TEST(MessageBoxTexts, OnlyAccessDeniedAsksForAnAdministrator)
{
    for (DWORD code : {2ul, 3ul, 5ul, 32ul, 1314ul}) {
        const std::string text = AutostartFailureText("c", "Zorvane", true, code, "e");
        EXPECT_EQ(code == ERROR_ACCESS_DENIED, text.find("请以管理员身份重新启动本程序") != std::string::npos) << code;
    }
}

TEST(MessageBoxTexts, AShellValueHasNoSystemTextAndASystemCodeFromTheShellHas)
{
    const std::string head = "没有删除桌面快捷方式：无法删除桌面上的“Zorvane v1.0.lnk”。\r\n\r\n原因：";
    EXPECT_EQ(head + "外壳删除文件失败（SHFileOperationA 自己的结果代码 0x78）",
              ShortcutFailureText(false, {ShortcutError::FileOperation, 0x78}));
    EXPECT_EQ(head + "系统找不到指定的路径。（错误代码 3）", ShortcutFailureText(false, {ShortcutError::System, 3}));
}

TEST(MessageBoxTexts, AFailureIsReportedUnlessWhatWasToGoIsGone)
{
    struct Row { bool succeeded, wanted, presentAfter, reported; };
    const Row rows[] = {
        {true, true, true, false},    {true, false, false, false},
        {false, true, false, true},   {false, true, true, true},
        {false, false, true, true},   // a removal failed and the value is still there
        {false, false, false, false},  // nothing was left to remove
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.reported, IsFailureToReport(row.succeeded, row.wanted, row.presentAfter))
            << row.succeeded << row.wanted << row.presentAfter;
}
