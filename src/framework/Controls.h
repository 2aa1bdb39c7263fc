// Thin wrappers of the standard controls, after the vendor framework's control classes.
// Each object owns its window and destroys it in its destructor.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    BOOL CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                  const RECT& rect, HWND parent, UINT id);
    BOOL DestroyWindow();
    BOOL ShowWindow(int command);
    void SetFont(HFONT font, BOOL redraw);
    void SetWindowText(const char* text);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL ModifyStyleEx(DWORD remove, DWORD add);

protected:
    HWND m_hWnd = nullptr;
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);
};

class CStatic : public CWnd {
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);
};

class CButton : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    DWORD SetExtendedStyle(DWORD exStyle);
    int InsertColumn(int column, const char* heading, int format, int width);
    std::string GetItemText(int item, int subItem) const;
    int GetNextItem(int start, int flags) const;
};
