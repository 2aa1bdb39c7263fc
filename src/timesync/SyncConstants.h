#pragma once

#include <winsock2.h>
#include <windows.h>

// Carries the socket events of a synchronisation to the main window.
constexpr UINT WM_TIMESOCKET = WM_USER + 11;
// The one-second sync timer on the main window.
constexpr UINT_PTR IDT_SYNC = 1;
constexpr UINT SYNC_TIMER_PERIOD_MS = 1000;
// The timeout fires on the tick that makes the count exceed this.
constexpr int SYNC_TICK_LIMIT = 300;
constexpr u_short TIME_PROTOCOL_PORT = 37;
// The log box among the main window's children.
constexpr int IDC_LOG = 200;
