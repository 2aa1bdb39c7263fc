#pragma once

#include <windows.h>

// The sync's socket message and timer on the main window. They are no resources (the control
// ids, the log box's among them, are in resource.h), and only the sync and the window that
// hands it its messages use them, so they are defined here, once.

// Carries the socket events of a synchronisation to the main window.
constexpr UINT WM_TIMESOCKET = WM_USER + 11;
// The one-second sync timer on the main window.
constexpr UINT_PTR IDT_SYNC = 1;
