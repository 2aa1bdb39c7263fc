#include "support/ServerListView.h"

ServerListView::ServerListView()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    m_parent = CreateWindowExA(0, "STATIC", "servers", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    m_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0,
                             400, 300, m_parent, reinterpret_cast<HMENU>(100),
                             GetModuleHandleA(nullptr), nullptr);
    const char* titles[] = {"服务器", "IP"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 150;
        column.pszText = const_cast<char*>(titles[i]);
        SendMessageA(m_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

