// Controls of another process driven as a user's tools would: pointer arguments get memory there.
#pragma once

#include "support/SrvXml.h"

#include <windows.h>
#include <commctrl.h>

#include <iosfwd>
#include <string>
#include <vector>

inline int RemoteListItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
// Up to 65,535 characters of a cell.
std::string RemoteListItemText(HWND list, int item, int subItem);
// Every row of a two-column list: its first and second cell.
ServerRows RemoteListRows(HWND list);
std::string RemoteListColumnTitle(HWND list, int column);
inline int RemoteListSelectedItem(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
bool RemoteListSelect(HWND list, int item);
void RemoteListClearSelection(HWND list);

// The second click of a double-click at a point of the window's client area; a list view
// answers it by notifying its parent with NM_DBLCLK. (Wine does not carry WM_NOTIFY itself
// across processes.)
void PostDoubleClick(HWND window, int x, int y);

// Text of any window (WM_GETTEXT is marshalled by the system); empty when it hangs.
std::string WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);

// The top-level windows of the process (0: of every process), in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// The child's rectangle in its parent's client coordinates.
RECT ChildRectInParent(HWND child);
// A rectangle that GetClientRect, GetWindowRect and the like fill in.
RECT RectOf(BOOL(WINAPI* get)(HWND, RECT*), HWND window);

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
void PrintTo(const RECT& rect, std::ostream* out);
