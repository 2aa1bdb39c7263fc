#pragma once

#include <windows.h>

// What the sync needs of the main window: the log box it writes to, its socket message and
// its timer. The sync sits below the window, so they are defined here, once.

constexpr int IDC_LOG = 200;

// Carries the socket events of a synchronisation to the main window.
constexpr UINT WM_TIMESOCKET = WM_USER + 11;
// The one-second sync timer on the main window.
constexpr UINT_PTR IDT_SYNC = 1;
