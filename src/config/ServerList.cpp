// srv.xml: the server rows of the main window's list view.
#include "config/ServerConfig.h"

#include "config/ConfigText.h"
#include "config/ConfigXml.h"

#include <commctrl.h>

namespace {

// Names and addresses are shown in GBK like every other text of the window.
std::string DisplayText(const std::string& utf8)
{
    return Utf8ToGbk(utf8).text;
}

void InsertServerRow(HWND listView, int row, const std::string& host, const std::string& address)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(host.c_str());
    int index = static_cast<int>(SendMessageA(listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMA cell = {};
    cell.iSubItem = 1;
    cell.pszText = const_cast<char*>(address.c_str());
    SendMessageA(listView, LVM_SETITEMTEXTA, static_cast<WPARAM>(index < 0 ? row : index),
                 reinterpret_cast<LPARAM>(&cell));
}

// The first two child nodes of a srv element, whatever their names.
bool ReadServer(const xmlNode* srv, std::string& host, std::string& address)
{
    const xmlNode* first = srv->children;
    const xmlNode* second = first ? first->next : nullptr;
    if (!second)
        return false;
    host = ElementText(first);
    address = ElementText(second);
    return !host.empty() && !address.empty();
}

}  // namespace

void LoadServerList(const char* directory, HWND listView)
{
    ParserCleanupAtEnd cleanup;
    ApplyLibrarySettings();
    XmlDocHolder doc = ParseConfigFile(ConfigPathIn(directory));
    if (!doc) {
        ShowNotParsedMessage();
        return;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    int row = 0;
    for (const xmlNode* child = root ? root->children : nullptr; child; child = child->next) {
        std::string host, address;
        if (!IsElementNamed(child, "srv") || !ReadServer(child, host, address))
            continue;
        InsertServerRow(listView, row, DisplayText(host), DisplayText(address));
        ++row;
    }
}
