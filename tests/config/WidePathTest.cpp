#include "config/WidePath.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(WidePath, GbkTextBecomesItsUtf16CodePoints)
{
    // 时 间 乗 (0x81 0x5C, a trail byte that is a backslash) A
    std::unique_ptr<wchar_t[]> wide = MakeWidePath("时间乗A");
    ASSERT_NE(nullptr, wide);
    const wchar_t expected[] = {0x65F6, 0x95F4, 0x4E57, 0x41, 0};
    EXPECT_EQ(0, std::wcscmp(expected, wide.get()));
}

TEST(WidePath, DesktopShortcutPathWithChineseFolders)
{
    std::unique_ptr<wchar_t[]> wide = MakeWidePath("C:\\用户\\桌面\\Zorvane v1.0.lnk");
    ASSERT_NE(nullptr, wide);
    const wchar_t expected[] = {'C', ':', '\\', 0x7528, 0x6237, '\\', 0x684C, 0x9762, '\\', 0};
    EXPECT_EQ(0, std::wcsncmp(expected, wide.get(), 9));
    EXPECT_EQ(0, std::wcscmp(L"Zorvane v1.0.lnk", wide.get() + 9));
}

TEST(WidePath, EmptyTextGivesAnEmptyResultAndNullGivesNone)
{
    std::unique_ptr<wchar_t[]> empty = MakeWidePath("");
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(L'\0', empty[0]);
    EXPECT_EQ(nullptr, MakeWidePath(nullptr));
}
