#pragma once

#include <windows.h>

#include <string>

// Drives controls of another process the way a user's tools would: messages whose
// arguments point to memory are given memory inside that process.

int RemoteListItemCount(HWND list);
std::string RemoteListItemText(HWND list, int item, int subItem);
int RemoteListSelectedItem(HWND list);
bool RemoteListSelect(HWND list, int item);
void RemoteListClearSelection(HWND list);

// Sends the list's parent a WM_NOTIFY NM_DBLCLK as the list view does on a double-click.
LRESULT RemoteNotifyDoubleClick(HWND list);

// Text of any window (WM_GETTEXT is marshalled by the system).
std::string WindowTextOf(HWND window);

// The child's rectangle in its parent's client coordinates.
RECT ChildRectInParent(HWND child);
