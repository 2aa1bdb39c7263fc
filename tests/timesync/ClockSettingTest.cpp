#include "SyncTestWindow.h"
#include "timesync/ClockSetting.h"
#include "timesync/Log.h"

#include <cstdio>
#include <regex>

namespace {

// Every field: "yyyy-mm-dd (day of week) hh:mm:ss.mmm".
std::string AllFields(const SYSTEMTIME& t)
{
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d (%d) %02d:%02d:%02d.%03d", t.wYear, t.wMonth,
                  t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

// The report's form of a local time without its milliseconds: "<short date>, <24-hour time>".
std::string ReportForm(const SYSTEMTIME& t)
{
    char date[64] = {}, time[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, &t, nullptr, date,
                   sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT,
                   LOCALE_NOUSEROVERRIDE | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &t, nullptr,
                   time, sizeof time);
    return std::string(date) + ", " + time;
}

const std::pair<uint32_t, const char*> kConversions[] = {
    {kValue2015Seconds, "2015-01-01 (4) 00:00:00.000"},
    {2208988800u, "1970-01-01 (4) 00:00:00.000"},
    {2208988800u + 86399u, "1970-01-01 (4) 23:59:59.000"},
    // Both ends of both eras: the highest bit set counts from 1900, clear from 2036.
    {0x80000000u, "1968-01-20 (6) 03:14:08.000"},
    {0xFFFFFFFFu, "2036-02-07 (4) 06:28:15.000"},
    {0u, "2036-02-07 (4) 06:28:16.000"},
    {0x7FFFFFFFu, "2104-02-26 (2) 09:42:23.000"},
};

TEST(TimeValueToSystemTime, ConvertsSecondsToUtcInTheirEra)
{
    for (const auto& conversion : kConversions)
        EXPECT_EQ(conversion.second, AllFields(TimeValueToSystemTime(conversion.first))) << conversion.first;
}

using ClockSetting = SyncWindowTest;

TEST_F(ClockSetting, ReportWritesOldAndNewTimeInTheLocaleShortForms)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with LC_ALL=zh_CN.UTF-8";
    const SYSTEMTIME oldTime = {2026, 12, 0, 7, 19, 30, 55, 123};
    const SYSTEMTIME newTime = {2015, 1, 0, 1, 8, 0, 0, 7};

    AppendLog(window.LogBox(), "before");
    ReportClockChange(window.LogBox(), oldTime, newTime);

    EXPECT_EQ("before\r\n系统的日期和时间已成功更改：\r\n"
              "以前\t2026/12/7, 19:30:55.123 \r\n"
              "现在\t" + ReportForm(newTime) + ".007.",
              window.LogText());
    EXPECT_EQ(0u, ReportForm(newTime).find("2015/1/1, "));
}

TEST_F(ClockSetting, FarOffValueIsRefusedAndReported)
{
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

TEST_F(ClockSetting, CurrentSecondIsAcceptedAndTheChangeReported)
{
    Serve("127.0.1.20", TimeScripts::CurrentTime());
    SYSTEMTIME start;
    GetLocalTime(&start);
    const uint32_t firstValue = CurrentTimeValue();
    window.StartSyncWith("127.0.1.20");

    // The report follows the received value's line directly.
    const std::string heading = " 秒 \r\n\r\n系统的日期和时间已成功更改：\r\n";
    ASSERT_TRUE(window.PumpUntil([&] {
        const std::string log = window.LogText();
        return log.find(kClockRefused) != std::string::npos ||
               (log.find(heading) != std::string::npos && log.back() == '.');
    })) << window.LogText();
    SYSTEMTIME end;
    GetLocalTime(&end);

    const std::string log = window.LogText();
    EXPECT_TRUE(log.find(ValueLines(firstValue)) != std::string::npos ||
                log.find(ValueLines(CurrentTimeValue())) != std::string::npos)
        << log;
    // Old and new time each in the report form of the start or of the end of the exchange.
    const std::regex report(heading + "以前\t(.+)\\.\\d{3} \r\n现在\t(.+)\\.(\\d{3})\\.$");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(log, match, report)) << log;
    EXPECT_TRUE(match[1] == ReportForm(start) || match[1] == ReportForm(end)) << log;
    EXPECT_TRUE(match[2] == ReportForm(start) || match[2] == ReportForm(end)) << log;
    EXPECT_LT(std::stoi(match[3]), 500);
}

}  // namespace
