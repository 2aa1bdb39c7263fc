// The least of the vendor's application framework that the program needs:
// the application object, the program entry that runs it, and AfxMessageBox.
#pragma once

#include <windows.h>

#include <string>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    // Returns non-zero when initialisation succeeded. This program runs its own
    // message loop inside InitInstance, so the entry ends after ExitInstance either way.
    virtual BOOL InitInstance();
    // Returns the process exit code: the wParam of the last message the loop took
    // (the quit message's code), 0 when no loop ran.
    virtual int ExitInstance();

    HINSTANCE m_hInstance = nullptr;
    MSG m_msgCur{};
};

// The one application object of the process, or null before it is constructed.
CWinApp* AfxGetApp();

// The running executable's full path (any length); empty if it cannot be had.
std::string AfxGetModuleFileName();
// The same path as the platform holds it, also where the ANSI code page lacks a character.
std::wstring AfxGetModuleFileNameW();

// The executable's file name without directory and extension ("Zorvane").
const char* AfxGetAppName();

// Modal message box with the application name as caption and no owner; returns the button
// pressed. Boxes at start-up have no visible window to belong to: one owned by the hidden main
// window would get no taskbar button and could stay behind other windows.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// The same box in front of owner, which takes no clicks until the box is answered; a hidden
// owner is not taken, for the reason above.
int AfxMessageBoxOwnedBy(HWND owner, const char* text, UINT type);

// Runs the application object: InitInstance, then ExitInstance; returns the exit code.
int AfxWinMain(HINSTANCE instance);
