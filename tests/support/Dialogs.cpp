#include "support/Dialogs.h"

#include <atomic>
#include <thread>

namespace {

std::string WindowText(HWND window)
{
    char buffer[4096] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

// The longest static child text is the message (the icon is a static too, without text).
std::string MessageTextOf(HWND dialog)
{
    std::string best;
    for (HWND child = FindWindowExA(dialog, nullptr, "Static", nullptr); child;
         child = FindWindowExA(dialog, child, "Static", nullptr)) {
        std::string text = WindowText(child);
        if (text.size() > best.size())
            best = text;
    }
    return best;
}

struct EnumState {
    DWORD processId;
    std::vector<MessageBoxInfo>* boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<EnumState*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (state->processId != 0 && owner != state->processId)
        return TRUE;
    state->boxes->push_back({window, WindowText(window), MessageTextOf(window)});
    return TRUE;
}

}  // namespace

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId)
{
    std::vector<MessageBoxInfo> boxes;
    EnumState state{processId, &boxes};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&state));
    return boxes;
}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxInfo& box)
{
    DWORD start = GetTickCount();
    do {
        std::vector<MessageBoxInfo> boxes = FindMessageBoxes(processId);
        if (!boxes.empty()) {
            box = boxes.front();
            return true;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool CloseMessageBox(const MessageBoxInfo& box, DWORD timeoutMs)
{
    HWND ok = GetDlgItem(box.window, IDOK);
    if (ok)
        PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    else
        PostMessageA(box.window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(box.window)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

std::vector<MessageBoxInfo> AnswerMessageBoxesDuring(void (*action)(void*), void* context)
{
    std::vector<MessageBoxInfo> boxes;
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        const DWORD self = GetCurrentProcessId();
        while (!done) {
            for (const MessageBoxInfo& box : FindMessageBoxes(self)) {
                boxes.push_back(box);
                CloseMessageBox(box);
            }
            Sleep(20);
        }
    });
    action(context);
    done = true;
    answerer.join();
    return boxes;
}
