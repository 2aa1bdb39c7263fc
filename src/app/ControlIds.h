#pragma once

// The main window's controls that only the window itself addresses; the log box's id lives
// with the sync, which writes into it (timesync/MainWindowIds.h).
constexpr int IDC_SERVERLIST = 100;
constexpr int IDC_SYNC = 300;
constexpr int IDC_COMMAND = 400;
constexpr int IDC_AUTOSTART = 500;
constexpr int IDC_SHORTCUT = 501;
