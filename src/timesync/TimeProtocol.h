// The sync's flow, start to clock (its state: TimeSync.h; its socket: SyncConnection.h).
#pragma once

#include "framework/Controls.h"
#include "timesync/TimeSync.h"

#include <winsock2.h>
#include <windows.h>

// Each takes the running sync of the window that receives its notifications.

// Starts a sync with the first selected row's address (column 1). Returns false and
// changes nothing when there is no address.
bool StartSyncFromList(TimeSync& sync, HWND mainWindow, const CListCtrl& serverList, HWND logBox);

// Opens the non-blocking connection to port 37; events go to notifyWindow as WM_TIMESOCKET.
// logBox may be null (command-line mode).
bool ConnectTimeServer(TimeSync& sync, HWND logBox, HWND notifyWindow, const char* address);

// WM_TIMESOCKET and WM_TIMER of the main window.
void OnTimeSocket(TimeSync& sync, HWND mainWindow, WPARAM wParam, LPARAM lParam);
void OnSyncTimer(TimeSync& sync, HWND mainWindow, WPARAM wParam);

// Command-line mode: one sync without log lines of its own, ended by the program's quit
// message (0 once a value was received, 1 on failure or after the tick limit).
void StartCommandLineSync(TimeSync& sync, HWND mainWindow, const char* address);
