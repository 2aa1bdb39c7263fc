#pragma once

#include <windows.h>

#include <cstdint>

// The UTC calendar time of a Time Protocol value, milliseconds 0: seconds since
// 1900-01-01 00:00:00 UTC, or, for values below 2^31, since 2036-02-07 06:28:16 UTC.
SYSTEMTIME TimeValueToSystemTime(uint32_t timeValue);

// Sets the clock from g_timeValue and reports into the main window's log box.
void SetClockFromTimeValue(HWND mainWindow);

// Writes the change report of old and new local time.
void ReportClockChange(HWND logBox, const SYSTEMTIME& oldTime, const SYSTEMTIME& newTime);
