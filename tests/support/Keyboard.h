// Keys for a window of another process, posted so that they pass its message loop as real ones do.
#pragma once

#include <windows.h>

#include <array>

// The control that has the keyboard focus in the thread of window (GetFocus of that thread).
HWND FocusOf(HWND window);

// The same, after making window the foreground window again where it no longer is: windows of
// tests running beside this one take the activation when they appear, as another program's
// would from a user, who then clicks the window before typing. The program gives the focus
// back to the control that last had it; null when none has it within two seconds.
HWND FocusInForeground(HWND window);

// Gives the focus to target, a window of window's thread, as that thread would; whether it has it.
bool SetFocusIn(HWND window, HWND target);

// WM_KEYDOWN then WM_KEYUP of the virtual key; the loop's TranslateMessage makes WM_CHAR. A key
// held down has the system's auto-repeat WM_KEYDOWNs in between.
void PostKeyPress(HWND control, UINT key, int repeats = 0);

// Shift held down in the keyboard state of window's thread while the scope lasts. Posted key
// messages never change that state, so a Shift+Tab is a Tab posted inside this scope; the
// state is put back and the threads parted again at its end.
class ShiftHeld {
public:
    explicit ShiftHeld(HWND window);
    ~ShiftHeld();
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;
    bool ok() const { return m_attached; }

private:
    DWORD m_thread = 0;
    bool m_attached = false;
    std::array<BYTE, 256> m_saved = {};
};
