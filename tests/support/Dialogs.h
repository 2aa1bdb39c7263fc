// Message boxes as a test sees them: found, read and answered.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A message box (a top-level "#32770" dialog) as a test sees it.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // GBK, as the program wrote it
    // The box shows an icon (MB_ICON...): its icon static holds one. The handle belongs to the
    // box's process; under Wine no other process can read which icon it is.
    bool icon = false;
};

// Visible message boxes of the given process (0: any process).
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId);

// Presses the box's OK button (or closes it) and waits until it is gone, five seconds at most.
bool CloseMessageBox(const MessageBoxInfo& box);

// Runs action on this thread and answers every message box it opens on this thread with OK
// before the box is ever shown; each box is recorded (caption and text). (Under Xvfb,
// without a window manager, Wine spends two seconds on hiding a box that was shown; a box
// never shown costs some 75 ms.)
std::vector<MessageBoxInfo> AnswerMessageBoxesDuring(const std::function<void()>& action);
