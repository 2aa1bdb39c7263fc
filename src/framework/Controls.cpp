#include "framework/Controls.h"

#include <commctrl.h>

#include <vector>

CWnd::~CWnd()
{
    DestroyWindow();
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                    const RECT& rect, HWND parent, UINT id)
{
    if (m_hWnd)
        return FALSE;
    m_hWnd = CreateWindowExA(exStyle, className, text, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return IsWindow(window) ? ::DestroyWindow(window) : FALSE;
}

BOOL CWnd::ShowWindow(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

void CWnd::SetFont(HFONT font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void CWnd::SetWindowText(const char* text)
{
    ::SetWindowTextA(m_hWnd, text);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add)
{
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    DWORD changed = (exStyle & ~remove) | add;
    if (changed == exStyle)
        return FALSE;
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    return TRUE;
}

BOOL CEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, "EDIT", "", style, rect, parent, id);
}

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, "STATIC", text, style, rect, parent, id);
}

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, "BUTTON", caption, style, rect, parent, id);
}

int CButton::GetCheck() const
{
    return static_cast<int>(SendMessage(BM_GETCHECK));
}

void CButton::SetCheck(int check)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return CreateEx(0, WC_LISTVIEWA, "", style, rect, parent, id);
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle)));
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<char*>(heading);
    col.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(&col)));
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA cell = {};
        cell.iSubItem = subItem;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(buffer.size());
        int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                                  reinterpret_cast<LPARAM>(&cell)));
        if (length < static_cast<int>(buffer.size()) - 1)
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

int CListCtrl::GetNextItem(int start, int flags) const
{
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

