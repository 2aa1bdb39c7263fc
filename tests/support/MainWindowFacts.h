#pragma once

// What the main window must be, written once for every test that drives it: controls are
// looked up by these numbers, never by the program's own constants, so a changed id fails.
constexpr int kServerListId = 100;
constexpr int kLogId = 200;
constexpr int kSyncButtonId = 300;
constexpr int kCommandEditId = 400;
constexpr int kAutostartCheckId = 500;
constexpr int kShortcutCheckId = 501;
// The message that carries a sync's socket events to the window (WM_USER + 11), and the
// id of the one-second sync timer.
constexpr unsigned kTimeSocketMessage = 0x0400 + 11;
constexpr unsigned kSyncTimerId = 1;

constexpr const char* kMainWindowTitle = "Zorvane v1.0";
// The window of command-line mode, never shown.
constexpr const char* kHiddenWindowTitle = "新建工程";
constexpr const char* kUsageText = "用法: \"Zorvane.exe\" /ip 129.6.15.28\r\n";
