#include "support/Dialogs.h"

#include "support/RemoteControls.h"
#include "support/WaitFor.h"

namespace {

// The message is the longest static child text; the icon is a static too, without text.
MessageBoxInfo Described(HWND dialog)
{
    MessageBoxInfo box{dialog, WindowTextOf(dialog), "", false};
    for (HWND child = FindWindowExA(dialog, nullptr, "Static", nullptr); child;
         child = FindWindowExA(dialog, child, "Static", nullptr)) {
        const std::string text = WindowTextOf(child);
        box.text = text.size() > box.text.size() ? text : box.text;
        const bool iconStatic = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        box.icon = box.icon || (iconStatic && SendMessageA(child, STM_GETICON, 0, 0));
    }
    return box;
}

bool IsDialog(HWND window)
{
    return ClassNameOf(window) == "#32770";
}

// The boxes answered on this thread while an AnswerMessageBoxesDuring runs.
thread_local std::vector<MessageBoxInfo>* t_answered = nullptr;
thread_local WNDPROC t_dialogProcedure = nullptr;

LRESULT CALLBACK NeverShown(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
    return CallWindowProcA(t_dialogProcedure, window, message, wParam, lParam);
}

// Sees each dialog once its WM_INITDIALOG is handled (texts set, not yet shown), keeps it
// hidden and ends it with OK.
LRESULT CALLBACK OnMessageHandled(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && t_answered && message->message == WM_INITDIALOG && IsDialog(message->hwnd)) {
        t_answered->push_back(Described(message->hwnd));
        t_dialogProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(message->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NeverShown)));
        EndDialog(message->hwnd, IDOK);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId)
{
    std::vector<MessageBoxInfo> boxes;
    for (HWND window : TopLevelWindowsOf(processId))
        if (IsDialog(window) && IsWindowVisible(window))
            boxes.push_back(Described(window));
    return boxes;
}

bool CloseMessageBox(const MessageBoxInfo& box)
{
    HWND ok = GetDlgItem(box.window, IDOK);
    PostMessageA(box.window, ok ? WM_COMMAND : WM_CLOSE, ok ? MAKEWPARAM(IDOK, BN_CLICKED) : 0,
                 reinterpret_cast<LPARAM>(ok));
    return WaitFor([&] { return !IsWindow(box.window); }, 5000);
}

std::vector<MessageBoxInfo> AnswerMessageBoxesDuring(const std::function<void()>& action)
{
    std::vector<MessageBoxInfo> boxes;
    t_answered = &boxes;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, OnMessageHandled, nullptr, GetCurrentThreadId());
    action();
    if (hook)
        UnhookWindowsHookEx(hook);
    t_answered = nullptr;
    return boxes;
}
