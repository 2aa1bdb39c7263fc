#pragma once

// The main window's controls that only the window itself addresses. The log box's id lives
// with the sync, which writes into it (timesync/MainWindowIds.h).
enum MainWindowControlId : int {
    IDC_SERVERLIST = 100,
    IDC_SYNC = 300,
    IDC_COMMAND = 400,
    IDC_AUTOSTART = 500,
    IDC_SHORTCUT = 501,
};
