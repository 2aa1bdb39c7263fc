#pragma once

#include "timesync/SyncConstants.h"  // IDC_LOG

// Children of the main window.
constexpr int IDC_SERVERLIST = 100;
constexpr int IDC_SYNC = 300;
constexpr int IDC_COMMAND = 400;
constexpr int IDC_AUTOSTART = 500;
constexpr int IDC_SHORTCUT = 501;
