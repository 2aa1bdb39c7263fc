#include "app/MainWindowText.h"

#include <gtest/gtest.h>

TEST(DirectoryOfExecutable, CutsAfterTheLastSeparatorOrColon)
{
    EXPECT_EQ("C:\\Tools\\", DirectoryOfExecutable("C:\\Tools\\Zorvane.exe"));
    EXPECT_EQ("C:/a/b/", DirectoryOfExecutable("C:/a/b/Zorvane.exe"));
    EXPECT_EQ("C:/", DirectoryOfExecutable("C:Zorvane.exe"));
    EXPECT_EQ("Zorvane.exe", DirectoryOfExecutable("Zorvane.exe"));
}

TEST(DirectoryOfExecutable, TrailByteThatLooksLikeABackslashIsNoSeparator)
{
    // 昞 is 95 5C in GBK.
    EXPECT_EQ("C:\\时钟\\", DirectoryOfExecutable("C:\\时钟\\昞.exe"));
    EXPECT_EQ("C:\\昞\\", DirectoryOfExecutable("C:\\昞\\Zorvane.exe"));
}

TEST(HelpText, NamesTheCommandLineAndTheHelpPage)
{
    EXPECT_EQ("file:///C:/Program Files/Zorvane/Zorvane-help.html",
              HelpPageAddress("C:\\Program Files\\Zorvane\\"));
    EXPECT_EQ("\r\n\r\n\r\n\r\n请选择时间服务器\r\n\r\n然后双击校正时间\r\n\r\n本程序支持命令行调用，格式为:"
              "\r\n\r\nZorvane.exe /ip 1.2.3.4\r\n\r\n本程序使用说明见:\r\n\r\nfile:///x\r\n\r\n\r\n",
              BuildHelpText("1.2.3.4", "file:///x"));
}
