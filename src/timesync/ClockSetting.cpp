#include "timesync/ClockSetting.h"

#include "timesync/Log.h"
#include "timesync/MainWindowIds.h"
#include "timesync/TimeProtocol.h"

namespace {

constexpr uint64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int kFormatBufferSize = 64;

uint64_t ToUint64(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

// 1900-01-01 00:00:00 UTC, the origin of Time Protocol values.
uint64_t TimeProtocolEpoch()
{
    SYSTEMTIME origin = {};
    origin.wYear = 1900;
    origin.wMonth = 1;
    origin.wDay = 1;
    FILETIME epoch = {};
    SystemTimeToFileTime(&origin, &epoch);
    return ToUint64(epoch);
}

// A failed format leaves the buffer empty rather than undefined.
struct FormattedTime {
    char date[kFormatBufferSize] = {};
    char time[kFormatBufferSize] = {};
};

FormattedTime FormatLocalTime(const SYSTEMTIME& when)
{
    FormattedTime text;
    GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, &when, nullptr,
                   text.date, kFormatBufferSize);
    GetTimeFormatA(LOCALE_USER_DEFAULT,
                   LOCALE_NOUSEROVERRIDE | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &when,
                   nullptr, text.time, kFormatBufferSize);
    return text;
}

}  // namespace

SYSTEMTIME TimeValueToSystemTime(uint32_t secondsSince1900)
{
    const uint64_t sum =
        TimeProtocolEpoch() + static_cast<uint64_t>(secondsSince1900) * kFileTimeUnitsPerSecond;
    const FILETIME fileTime = ToFileTime(sum);
    SYSTEMTIME utc = {};
    FileTimeToSystemTime(&fileTime, &utc);
    return utc;
}

void SetClockFromTimeValue(HWND mainWindow)
{
    HWND logBox = GetDlgItem(mainWindow, IDC_LOG);
    const SYSTEMTIME newUtc = TimeValueToSystemTime(g_timeValue);
    SYSTEMTIME oldTime;
    GetLocalTime(&oldTime);
    if (!SetSystemTime(&newUtc)) {
        AppendLog(logBox, "不能设置新的日期和时间!");
        return;
    }
    SYSTEMTIME newTime;
    GetLocalTime(&newTime);
    ReportClockChange(logBox, oldTime, newTime);
}

void ReportClockChange(HWND logBox, const SYSTEMTIME& oldTime, const SYSTEMTIME& newTime)
{
    const FormattedTime before = FormatLocalTime(oldTime);
    const FormattedTime after = FormatLocalTime(newTime);
    AppendLog(logBox,
              "\r\n系统的日期和时间已成功更改：\r\n以前\t%s, %s.%03i \r\n现在\t%s, %s.%03i.",
              before.date, before.time, static_cast<int>(oldTime.wMilliseconds), after.date,
              after.time, static_cast<int>(newTime.wMilliseconds));
}
