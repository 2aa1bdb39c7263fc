// A list view like the server list in this thread, for the code that fills one.
#pragma once

#include "support/RemoteControls.h"

#include <windows.h>
#include <commctrl.h>

// A report-style list view with the two columns of the server list, in a hidden window of
// this thread, for the code that fills such a list.
class ServerListView {
public:
    ServerListView();
    ~ServerListView() { DestroyWindow(m_parent); }
    ServerListView(const ServerListView&) = delete;
    ServerListView& operator=(const ServerListView&) = delete;

    HWND handle() const { return m_list; }
    ServerRows AllRows() const { return RemoteListRows(m_list); }
    void Clear() const { SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0); }

private:
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
};
