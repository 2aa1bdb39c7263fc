#pragma once

// The executable's resource and control ids, shared by res/zorvane.rc.in and the code. The
// resource compiler reads only #define, so they are macros. The values stay as they are:
// programs that drive the window, the tests among them, find its controls by these numbers.

#define IDI_CLOCK 128

#define IDC_SERVERLIST 100
#define IDC_LOG 200
#define IDC_SYNC 300
#define IDC_COMMAND 400
#define IDC_AUTOSTART 500
#define IDC_SHORTCUT 501
