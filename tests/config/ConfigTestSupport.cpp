#include "ConfigTestSupport.h"

#include <commctrl.h>

#include <vector>

std::string ExePath()
{
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string Utf8OfGbk(const std::string& gbk)
{
    int wideLength = MultiByteToWideChar(936, 0, gbk.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(936, 0, gbk.c_str(), -1, wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(length);
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), length, nullptr, nullptr);
    return utf8.data();
}

std::string DefaultFileText(const std::string& utf8Command)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<srv_root>\n"
           "  <cfg>\n"
           "    <autorun><![CDATA[" + utf8Command + "]]></autorun>\n"
           "  </cfg>\n"
           "  <srv>\n    <url>time-a-g.nist.gov</url>\n    <ip>129.6.15.28</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-b-g.nist.gov</url>\n    <ip>129.6.15.29</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-c-g.nist.gov</url>\n    <ip>129.6.15.30</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-a-wwv.nist.gov</url>\n    <ip>132.163.97.1</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-b-wwv.nist.gov</url>\n    <ip>132.163.97.2</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-a-b.nist.gov</url>\n    <ip>132.163.96.1</ip>\n  </srv>\n"
           "  <srv>\n    <url>time-b-b.nist.gov</url>\n    <ip>132.163.96.2</ip>\n  </srv>\n"
           "</srv_root>\n";
}

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

ServerListView::~ServerListView()
{
    DestroyWindow(m_parent);
}

int ServerListView::Rows() const
{
    return static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ServerListView::Text(int row, int column) const
{
    char text[512] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(m_list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}
