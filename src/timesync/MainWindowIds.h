#pragma once

#include <windows.h>

// The main window's children, its socket message and its timer. The window and the sync both
// use them; the sync sits below the window, so they are defined here, once.

constexpr int IDC_SERVERLIST = 100;
constexpr int IDC_LOG = 200;
constexpr int IDC_SYNC = 300;
constexpr int IDC_COMMAND = 400;
constexpr int IDC_AUTOSTART = 500;
constexpr int IDC_SHORTCUT = 501;

// Carries the socket events of a synchronisation to the main window.
constexpr UINT WM_TIMESOCKET = WM_USER + 11;
// The one-second sync timer on the main window.
constexpr UINT_PTR IDT_SYNC = 1;
