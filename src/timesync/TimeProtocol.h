#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// Synchronisation state shared by the exchange, the clock setting and start-up.
extern SOCKET g_timeSocket;
extern sockaddr_in g_serverAddr;
extern uint32_t g_timeValue;
extern int g_syncTicks;
extern bool g_commandLineMode;

// Starts a sync with the first selected row's address (column 1). Returns false and
// changes nothing when there is no address.
bool StartSyncFromList(HWND mainWindow, HWND serverList, HWND logBox);

// Opens the non-blocking connection to port 37; events go to notifyWindow as WM_TIMESOCKET.
// logBox may be null (command-line mode).
bool ConnectTimeServer(HWND logBox, HWND notifyWindow, const char* address);

// WM_TIMESOCKET and WM_TIMER of the main window.
void OnTimeSocket(HWND mainWindow, WPARAM wParam, LPARAM lParam);
void OnSyncTimer(HWND mainWindow, WPARAM wParam);

// Command-line mode: one sync without log lines of its own, ended by the program's quit
// message (0 once a value was received, 1 on failure or after the tick limit).
void StartCommandLineSync(HWND mainWindow, const char* address);
