#pragma once

#include "resource.h"

#include <windows.h>

// What the sync needs of the main window: the log box it writes to (IDC_LOG, with the other
// control ids in resource.h), its socket message and its timer. Message and timer are no
// resources, and only the sync and the window that hands it its messages use them, so they
// are defined here, once.

// Carries the socket events of a synchronisation to the main window.
constexpr UINT WM_TIMESOCKET = WM_USER + 11;
// The one-second sync timer on the main window.
constexpr UINT_PTR IDT_SYNC = 1;
