#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A message box (a top-level "#32770" dialog) as a test sees it.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // GBK, as the program wrote it
};

// Visible message boxes of the given process (0: any process).
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId);

// Waits up to timeoutMs for a message box of the process; on success fills box.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxInfo& box);

// Presses the box's OK button (or closes it) and waits until it is gone.
bool CloseMessageBox(const MessageBoxInfo& box, DWORD timeoutMs = 5000);

// Runs action on this thread while a helper thread answers every message box that this
// process shows during it: each box is recorded (caption and text), then closed.
std::vector<MessageBoxInfo> AnswerMessageBoxesDuring(void (*action)(void*), void* context);

template <typename F>
std::vector<MessageBoxInfo> AnswerMessageBoxesDuring(F&& f)
{
    return AnswerMessageBoxesDuring(
        [](void* c) { (*static_cast<F*>(c))(); }, static_cast<void*>(&f));
}
