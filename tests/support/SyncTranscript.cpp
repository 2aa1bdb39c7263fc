#include "support/SyncTranscript.h"

#include <cstdlib>

const std::string kValue2015("\xD8\x4F\x0C\x80", 4);
const char* const kClockRefused = "不能设置新的日期和时间!";
const char* const kTimedOut = "网络连接失败！";
const char* const kWaitingForData = "正在接受数据，请稍候...";

std::string HelpText(const std::string& address, const std::string& helpPage)
{
    return "\r\n\r\n\r\n\r\n请选择时间服务器\r\n\r\n然后双击校正时间\r\n\r\n本程序支持命令行调用，格式为:\r\n\r\n"
           "Zorvane.exe /ip " + address + "\r\n\r\n本程序使用说明见:\r\n\r\n" + helpPage + "\r\n\r\n\r\n";
}

std::string OpeningLines(const std::string& address, SOCKET socket)
{
    return "\r\nStarted up WinSock 2.0\r\n\r\n" "Socket " + std::to_string(socket) +
           "  已经成功创建!\r\n\r\n" "正在连接: " + address + "...";
}

std::string ConnectedLines()
{
    return std::string("\r\n" "已成功连接到时间服务器\r\n\r\n") + kWaitingForData;
}

std::string ValueLines(unsigned value)
{
    return "\r\n" "接受的时间为从1900年1月1日起 " + std::to_string(value) + " 秒 \r\n";
}

SOCKET SocketNamedIn(const std::string& log)
{
    const size_t at = log.find("Socket ");
    return at == std::string::npos ? 0 : static_cast<SOCKET>(std::strtoul(log.c_str() + at + 7, nullptr, 10));
}

bool EndsWith(const std::string& log, const std::string& tail)
{
    return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
}
