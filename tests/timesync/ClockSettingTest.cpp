#include "SyncTestWindow.h"
#include "support/TimeServer.h"
#include "timesync/ClockSetting.h"
#include "timesync/Log.h"
#include "timesync/TimeProtocol.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

void ExpectSystemTime(const SYSTEMTIME& t, int year, int month, int day, int dayOfWeek, int hour,
                      int minute, int second)
{
    EXPECT_EQ(year, t.wYear);
    EXPECT_EQ(month, t.wMonth);
    EXPECT_EQ(day, t.wDay);
    EXPECT_EQ(dayOfWeek, t.wDayOfWeek);
    EXPECT_EQ(hour, t.wHour);
    EXPECT_EQ(minute, t.wMinute);
    EXPECT_EQ(second, t.wSecond);
    EXPECT_EQ(0, t.wMilliseconds);
}

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second, int ms)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}

std::string ShortDate(const SYSTEMTIME& t)
{
    char text[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, &t, nullptr, text,
                   sizeof text);
    return text;
}

std::string Time24(const SYSTEMTIME& t)
{
    char text[64] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT,
                   LOCALE_NOUSEROVERRIDE | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &t, nullptr,
                   text, sizeof text);
    return text;
}

struct Conversion {
    uint32_t value;
    int year, month, day, dayOfWeek, hour, minute, second;
};

const Conversion kConversions[] = {
    {kValue2015Seconds, 2015, 1, 1, 4, 0, 0, 0},
    {2208988800u, 1970, 1, 1, 4, 0, 0, 0},
    {2208988800u + 86399u, 1970, 1, 1, 4, 23, 59, 59},
    // Both ends of both eras: the highest bit set counts from 1900, clear from 2036.
    {0x80000000u, 1968, 1, 20, 6, 3, 14, 8},
    {0xFFFFFFFFu, 2036, 2, 7, 4, 6, 28, 15},
    {0u, 2036, 2, 7, 4, 6, 28, 16},
    {0x7FFFFFFFu, 2104, 2, 26, 2, 9, 42, 23},
};

TEST(TimeValueToSystemTime, ConvertsSecondsToUtcInTheirEra)
{
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(c.value);
        ExpectSystemTime(TimeValueToSystemTime(c.value), c.year, c.month, c.day, c.dayOfWeek,
                         c.hour, c.minute, c.second);
    }
}

TEST(ReportClockChange, WritesOldAndNewTimeInTheLocaleShortForms)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with LC_ALL=zh_CN.UTF-8";
    SyncTestWindow window;
    const SYSTEMTIME oldTime = MakeTime(2026, 12, 7, 19, 30, 55, 123);
    const SYSTEMTIME newTime = MakeTime(2015, 1, 1, 8, 0, 0, 7);

    AppendLog(window.LogBox(), "before");
    ReportClockChange(window.LogBox(), oldTime, newTime);

    EXPECT_EQ("before\r\n系统的日期和时间已成功更改：\r\n"
              "以前\t2026/12/7, 19:30:55.123 \r\n"
              "现在\t" + ShortDate(newTime) + ", " + Time24(newTime) + ".007.",
              window.LogText());
    EXPECT_EQ("2015/1/1", ShortDate(newTime));
}

TEST(SetClockFromTimeValue, FarOffValueIsRefusedAndReported)
{
    SyncTestWindow window;
    SYSTEMTIME before;
    GetSystemTime(&before);
    g_timeValue = kValue2015Seconds;

    AppendLog(window.LogBox(), "line\r\n");
    SetClockFromTimeValue(window.Handle());

    EXPECT_EQ(std::string("line\r\n") + kClockRefused, window.LogText());
    SYSTEMTIME after;
    GetSystemTime(&after);
    EXPECT_EQ(before.wYear, after.wYear);
}

// Waits for the start of a second, so that the exchange ends well within it.
void WaitForEarlyFraction()
{
    for (;;) {
        SYSTEMTIME now;
        GetSystemTime(&now);
        if (now.wMilliseconds < 150)
            return;
        Sleep(1000 - now.wMilliseconds + 5);
    }
}

struct ReportLine {
    std::string date;
    std::string time;
    int milliseconds = -1;
};

bool ParseReportLine(const std::string& line, const std::string& label, ReportLine& parsed)
{
    static const std::regex shape("^(\\d{4}/\\d{1,2}/\\d{1,2}), (\\d{1,2}:\\d{2}:\\d{2})\\.(\\d{3})$");
    if (line.compare(0, label.size(), label) != 0)
        return false;
    std::smatch match;
    const std::string rest = line.substr(label.size());
    if (!std::regex_match(rest, match, shape))
        return false;
    parsed.date = match[1];
    parsed.time = match[2];
    parsed.milliseconds = std::stoi(match[3]);
    return true;
}

bool IsFormOf(const ReportLine& line, const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return (line.date == ShortDate(a) && line.time == Time24(a)) ||
           (line.date == ShortDate(b) && line.time == Time24(b));
}

TEST(SetClockFromTimeValue, CurrentSecondIsAcceptedAndTheChangeReported)
{
    TimeServer server("127.0.1.20", TimeScripts::CurrentTime());
    ASSERT_TRUE(server.IsListening());
    SyncTestWindow window;
    const int row = window.AddServer("time.test", "127.0.1.20");
    WaitForEarlyFraction();
    SYSTEMTIME start;
    GetLocalTime(&start);
    const uint32_t firstValue = CurrentTimeValue();
    ASSERT_TRUE(window.StartSync(row));

    const std::string heading = "\r\n系统的日期和时间已成功更改：\r\n";
    ASSERT_TRUE(window.PumpUntil([&] {
        const std::string log = window.LogText();
        return log.find(kClockRefused) != std::string::npos ||
               (log.find(heading) != std::string::npos && log.back() == '.');
    })) << window.LogText();
    SYSTEMTIME end;
    GetLocalTime(&end);

    const std::string log = window.LogText();
    const size_t at = log.find(heading);
    ASSERT_NE(std::string::npos, at) << log;
    EXPECT_TRUE(log.find(ValueLines(firstValue)) != std::string::npos ||
                log.find(ValueLines(CurrentTimeValue())) != std::string::npos)
        << log;
    const std::string report = log.substr(at + heading.size());
    const size_t lineEnd = report.find(" \r\n");
    ASSERT_NE(std::string::npos, lineEnd) << report;
    ReportLine before, after;
    ASSERT_TRUE(ParseReportLine(report.substr(0, lineEnd), "以前\t", before)) << report;
    ASSERT_EQ('.', report.back());
    ASSERT_TRUE(ParseReportLine(report.substr(lineEnd + 3, report.size() - lineEnd - 4), "现在\t",
                                after))
        << report;
    EXPECT_TRUE(IsFormOf(before, start, end)) << report;
    EXPECT_TRUE(IsFormOf(after, start, end)) << report;
    EXPECT_LT(after.milliseconds, 500);
    // The report follows the received value's line directly.
    EXPECT_NE(std::string::npos, log.find(" 秒 \r\n" + heading)) << log;
}

}  // namespace
