#pragma once

#include <windows.h>

#include <string>

// Drives controls of another process the way a user's tools would: messages whose
// arguments point to memory are given memory inside that process.

int RemoteListItemCount(HWND list);
std::string RemoteListItemText(HWND list, int item, int subItem);
std::string RemoteListColumnTitle(HWND list, int column);
int RemoteListSelectedItem(HWND list);
bool RemoteListSelect(HWND list, int item);
void RemoteListClearSelection(HWND list);

// The second click of a double-click at a point of the window's client area; a list view
// answers it by notifying its parent with NM_DBLCLK. (Wine does not carry WM_NOTIFY itself
// across processes.)
void PostDoubleClick(HWND window, int x, int y);

// Text of any window (WM_GETTEXT is marshalled by the system); empty when it hangs.
std::string WindowTextOf(HWND window);

// The child's rectangle in its parent's client coordinates.
RECT ChildRectInParent(HWND child);
