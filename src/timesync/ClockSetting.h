#pragma once

#include <windows.h>

#include <cstdint>

// The UTC calendar time of a Time Protocol value (seconds since 1900-01-01 00:00:00 UTC),
// milliseconds 0.
SYSTEMTIME TimeValueToSystemTime(uint32_t secondsSince1900);

// Sets the clock from g_timeValue and reports into the main window's log box.
void SetClockFromTimeValue(HWND mainWindow);

// Writes the change report of old and new local time.
void ReportClockChange(HWND logBox, const SYSTEMTIME& oldTime, const SYSTEMTIME& newTime);
