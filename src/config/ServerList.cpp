// srv.xml: the server rows of the main window's list view.
#include "config/ServerList.h"

#include "ServerListColumns.h"
#include "config/ConfigPaths.h"
#include "config/ConfigXml.h"
#include "config/TextEncoding.h"

#include <commctrl.h>

namespace {

// Every insertion into a list view that draws updates its scroll bars and invalidates the
// new row; with thousands of rows that costs far more than reading the file. Drawing is held
// back while the rows go in (only for a visible list: WM_SETREDRAW also sets WS_VISIBLE
// again), and the whole list is invalidated once at the end.
class RedrawHeldBack {
public:
    explicit RedrawHeldBack(HWND window)
        : m_window(IsWindow(window) && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) ? window : nullptr)
    {
        if (m_window)
            SendMessageA(m_window, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawHeldBack()
    {
        if (!m_window)
            return;
        SendMessageA(m_window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_window, nullptr, TRUE);
    }
    RedrawHeldBack(const RedrawHeldBack&) = delete;
    RedrawHeldBack& operator=(const RedrawHeldBack&) = delete;

private:
    HWND m_window;
};

int CountServerElements(const xmlNode* root)
{
    int count = 0;
    for (const xmlNode* child = root ? root->children : nullptr; child; child = child->next)
        count += IsElementNamed(child, "srv") ? 1 : 0;
    return count;
}

// Room for the rows about to come, so the list does not grow one row at a time. Only a hint:
// entries that turn out unusable add no row.
void ReserveRows(HWND listView, int rows)
{
    const LRESULT present = SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0);
    SendMessageA(listView, LVM_SETITEMCOUNT, static_cast<WPARAM>(present + rows), 0);
}

// Through the wide messages: the list keeps its texts in UTF-16 and would otherwise make and
// free a converted copy of each one, which thousands of rows feel.
void InsertServerRow(HWND listView, int row, const std::string& host, const std::string& address)
{
    std::wstring wideHost = WideOfNarrow(host.c_str()).value_or(std::wstring());
    std::wstring wideAddress = WideOfNarrow(address.c_str()).value_or(std::wstring());
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = kHostColumn;
    item.pszText = &wideHost[0];
    int index = static_cast<int>(SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMW cell = {};
    cell.iSubItem = kAddressColumn;
    cell.pszText = &wideAddress[0];
    SendMessageW(listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(index < 0 ? row : index),
                 reinterpret_cast<LPARAM>(&cell));
}

// The first two child nodes of a srv element, whatever their names. Only a text missing in
// the file drops the row; an empty one, or trimming, changes what the row shows, not whether
// it exists.
bool ReadServer(const xmlNode* srv, std::string& host, std::string& address)
{
    const xmlNode* first = srv->children;
    const xmlNode* second = first ? first->next : nullptr;
    if (!second || !HasText(first) || !HasText(second))
        return false;
    host = WithoutSurroundingSpace(ElementText(first));
    address = WithoutSurroundingSpace(ElementText(second));
    return true;
}

void InsertServerRows(const xmlDoc* doc, HWND listView)
{
    const xmlNode* root = xmlDocGetRootElement(doc);
    RedrawHeldBack quiet(listView);
    ReserveRows(listView, CountServerElements(root));
    int row = 0;
    for (const xmlNode* child = root ? root->children : nullptr; child; child = child->next) {
        std::string host, address;
        if (!IsElementNamed(child, "srv") || !ReadServer(child, host, address))
            continue;
        // Names and addresses are shown in GBK like every other text of the window.
        InsertServerRow(listView, row, GbkForDisplay(host), GbkForDisplay(address));
        ++row;
    }
}

}  // namespace

std::string WithoutSurroundingSpace(std::string text)
{
    const char* const kXmlSpace = " \t\r\n";
    text.erase(text.find_last_not_of(kXmlSpace) + 1);
    text.erase(0, text.find_first_not_of(kXmlSpace));
    return text;
}

void LoadServerList(const char* directory, HWND listView)
{
    ParserCleanupAtEnd cleanup;
    ApplyLibrarySettings();
    XmlDocHolder doc = ParseConfigFile(ConfigPathIn(directory));
    if (!doc) {
        ShowNotParsedMessage();
        return;
    }
    InsertServerRows(doc.get(), listView);
}
