#include "support/RemoteControls.h"

#include <commctrl.h>

#include <ostream>
#include <vector>

namespace {

// A block of memory inside the process that owns a window.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return m_address != nullptr; }
    HANDLE process() const { return m_process; }
    char* at(size_t offset) const { return static_cast<char*>(m_address) + offset; }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

bool SetItemState(HWND list, int item, UINT state, UINT mask)
{
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.ok())
        return false;
    LVITEMA lv = {};
    lv.stateMask = mask;
    lv.state = state;
    WriteProcessMemory(block.process(), block.at(0), &lv, sizeof lv, nullptr);
    return SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(block.at(0))) != 0;
}

// The text that the message puts into the buffer of an item (LVITEMA, LVCOLUMNA) given with
// it; the item and up to 65,535 characters live in the list's process. Empty on failure.
template <typename Item>
std::string RemoteText(HWND list, UINT message, int index, Item item)
{
    constexpr int kTextSize = 1 << 16;
    RemoteBlock block(list, sizeof item + kTextSize);
    if (!block.ok())
        return {};
    item.pszText = block.at(sizeof item);
    item.cchTextMax = kTextSize;
    WriteProcessMemory(block.process(), block.at(0), &item, sizeof item, nullptr);
    SendMessageA(list, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.at(0)));
    std::vector<char> text(kTextSize + 1, '\0');
    ReadProcessMemory(block.process(), item.pszText, text.data(), kTextSize, nullptr);
    return text.data();
}

}  // namespace

int RemoteListItemCount(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListItemText(HWND list, int item, int subItem)
{
    LVITEMA lv = {};
    lv.iSubItem = subItem;
    return RemoteText(list, LVM_GETITEMTEXTA, item, lv);
}

ServerRows RemoteListRows(HWND list)
{
    ServerRows rows;
    for (int row = 0; row < RemoteListItemCount(list); ++row)
        rows.emplace_back(RemoteListItemText(list, row, 0), RemoteListItemText(list, row, 1));
    return rows;
}

std::string RemoteListColumnTitle(HWND list, int column)
{
    LVCOLUMNA lv = {};
    lv.mask = LVCF_TEXT;
    return RemoteText(list, LVM_GETCOLUMNA, column, lv);
}

int RemoteListSelectedItem(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool RemoteListSelect(HWND list, int item)
{
    RemoteListClearSelection(list);
    return SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void RemoteListClearSelection(HWND list)
{
    SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

void PostDoubleClick(HWND window, int x, int y)
{
    PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::string WindowTextOf(HWND window)
{
    constexpr UINT kAnswerMs = 10000;
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length);
    std::vector<char> text(length + 2, '\0');
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        kAnswerMs, nullptr);
    return text.data();
}

std::string ClassNameOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId)
            found.push_back(window);
    }
    return found;
}

RECT ChildRectInParent(HWND child)
{
    RECT rect = RectOf(GetWindowRect, child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT RectOf(BOOL(WINAPI* get)(HWND, RECT*), HWND window)
{
    RECT rect = {};
    get(window, &rect);
    return rect;
}

bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
