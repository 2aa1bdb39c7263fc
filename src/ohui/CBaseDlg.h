#pragma once

#include "framework/ScopedWin.h"
#include "ohui/Export.h"

#include <windows.h>

// Base of top-level windows: its own window class under a GUID name, the binding of
// window and object, background, font, painting through Draw, drag from anywhere.
class OHUI_API CBaseDlg {
public:
    explicit CBaseDlg(HWND parent = nullptr);
    virtual ~CBaseDlg();
    virtual void Draw(HDC dc);
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND Create(HWND parent, HINSTANCE instance);
    static LRESULT CALLBACK STWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND GetHwnd() const;
    HWND GetParent() const;
    void SetParent(HWND parent);
    const RECT& GetRect() const;
    void SetBgColor(int color);

    CBaseDlg(const CBaseDlg&) = delete;
    CBaseDlg& operator=(const CBaseDlg&) = delete;

protected:
    HWND Create(WNDPROC procedure, const char* className, HWND parent, HINSTANCE instance);

    bool m_bCreated;
    GdiObject<HBRUSH> m_hBgBrush;
    HWND m_hWnd;
    HWND m_hParent;
    RECT m_rect;
    GdiObject<HFONT> m_hFont;
};
