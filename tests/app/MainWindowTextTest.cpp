#include "app/MainWindowText.h"

#include <gtest/gtest.h>

TEST(HelpText, NamesTheCommandLineAndTheHelpPage)
{
    EXPECT_EQ("file:///C:/Program Files/Zorvane/Zorvane-help.html",
              HelpPageAddress("C:\\Program Files\\Zorvane\\"));
    EXPECT_EQ("\r\n\r\n\r\n\r\n请选择时间服务器\r\n\r\n然后双击校正时间\r\n\r\n本程序支持命令行调用，格式为:"
              "\r\n\r\nZorvane.exe /ip 1.2.3.4\r\n\r\n本程序使用说明见:\r\n\r\nfile:///x\r\n\r\n\r\n",
              BuildHelpText("1.2.3.4", "file:///x"));
}
