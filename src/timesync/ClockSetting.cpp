#include "timesync/ClockSetting.h"

#include "resource.h"
#include "timesync/Log.h"
#include "timesync/TimeSync.h"

namespace {

constexpr uint64_t kFileTimeUnitsPerSecond = 10000000;
constexpr uint32_t kFirstEraBit = 0x80000000u;
constexpr uint64_t kSecondsPerEra = 1ULL << 32;
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

// The 32-bit count wraps round on 2036-02-07 06:28:16 UTC. As RFC 4330 reads the same
// seconds, a value with its highest bit clear counts from there (2036 to 2104); one with it
// set counts from 1900 (1968 to 2036), as every server's value does today.
uint64_t EraStartInFileTimeUnits(uint32_t timeValue)
{
    return (timeValue & kFirstEraBit) ? 0 : kSecondsPerEra * kFileTimeUnitsPerSecond;
}

}  // namespace

SYSTEMTIME TimeValueToSystemTime(uint32_t timeValue)
{
    const uint64_t sum = TimeProtocolEpoch() + EraStartInFileTimeUnits(timeValue) +
                         static_cast<uint64_t>(timeValue) * kFileTimeUnitsPerSecond;
    const FILETIME fileTime = ToFileTime(sum);
    SYSTEMTIME utc = {};
    FileTimeToSystemTime(&fileTime, &utc);
    return utc;
}

void SetClockFromTimeValue(HWND mainWindow)
{
    HWND logBox = GetDlgItem(mainWindow, IDC_LOG);
    const uint32_t timeValue = g_timeValue;
    SYSTEMTIME oldTime;
    GetLocalTime(&oldTime);
    const SYSTEMTIME newUtc = TimeValueToSystemTime(timeValue);
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
