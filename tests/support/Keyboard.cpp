#include "support/Keyboard.h"

#include "support/WaitFor.h"

namespace {

// Bit 30: the key was down before (a release, or an auto-repeat); bit 31: released.
LPARAM KeyData(UINT key, bool wasDown, bool release)
{
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    return 1 | (scanCode << 16) | static_cast<LPARAM>((wasDown ? (1u << 30) : 0) | (release ? (1u << 31) : 0));
}

// Attaches this thread's input to window's thread, which then share one focus and one keyboard
// state; this thread needs a message queue first. False when the threads could not be joined.
bool AttachInputTo(DWORD thread)
{
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    return AttachThreadInput(GetCurrentThreadId(), thread, TRUE) != 0;
}

}  // namespace

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The activation is a message to the window's thread, handled in steps: the default handling
// gives the focus to the window itself, the program's then to the control. The round trip
// reads the focus once all of them are done.
HWND FocusInForeground(HWND window)
{
    HWND focus = nullptr;
    WaitFor([&] {
        if (GetForegroundWindow() != window)
            SetForegroundWindow(window);
        return RoundTrip(window) && (focus = FocusOf(window)) != nullptr;
    }, 2000);
    return focus;
}

bool SetFocusIn(HWND window, HWND target)
{
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!AttachInputTo(thread))
        return false;
    SetFocus(target);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    return FocusOf(window) == target;
}

void PostKeyPress(HWND control, UINT key, int repeats)
{
    PostMessageA(control, WM_KEYDOWN, key, KeyData(key, false, false));
    for (int repeat = 0; repeat < repeats; ++repeat)
        PostMessageA(control, WM_KEYDOWN, key, KeyData(key, true, false));
    PostMessageA(control, WM_KEYUP, key, KeyData(key, true, true));
}

ShiftHeld::ShiftHeld(HWND window)
    : m_thread(GetWindowThreadProcessId(window, nullptr)), m_attached(AttachInputTo(m_thread))
{
    if (!m_attached)
        return;
    GetKeyboardState(m_saved.data());
    std::array<BYTE, 256> state = m_saved;
    state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    SetKeyboardState(state.data());
}

ShiftHeld::~ShiftHeld()
{
    if (!m_attached)
        return;
    SetKeyboardState(m_saved.data());
    AttachThreadInput(GetCurrentThreadId(), m_thread, FALSE);
}
