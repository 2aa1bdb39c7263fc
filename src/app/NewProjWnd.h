#pragma once

#include "ohui/CBaseDlg.h"

#include <windows.h>

// The program's one window. In command-line mode it stays hidden and only receives the
// socket events and timer ticks of the synchronisation.
class CNewProjWnd : public CBaseDlg {
public:
    CNewProjWnd();
    ~CNewProjWnd() override;

    // The base procedure runs first; its result is returned for every message.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    void OnDestroy();
    void OnTimer(WPARAM timerId);
    void OnSocketEvent(WPARAM socket, LPARAM event);

    void CreateLogBox();

    HWND m_logBox = nullptr;  // child window: destroyed with the main window
};
