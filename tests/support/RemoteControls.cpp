#include "support/RemoteControls.h"

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// Sends the message with a copy of item (LVITEMA, LVCOLUMNA) made in the list's process, its
// text buffer of up to 65,535 characters there too: the list's answer and the text it wrote,
// {0, ""} when the list's process cannot be reached. A list of this process gets plain memory,
// without trips through the Wine server.
template <typename Item>
std::pair<LRESULT, std::string> SendRemote(HWND list, UINT message, int index, Item item)
{
    constexpr int kTextSize = 1 << 16;
    std::vector<char> text(kTextSize + 1, '\0');
    item.cchTextMax = kTextSize;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    if (pid == GetCurrentProcessId()) {
        item.pszText = text.data();
        return {SendMessageA(list, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)), text.data()};
    }
    const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid), CloseHandle);
    void* block = process ? VirtualAllocEx(process.get(), nullptr, sizeof item + kTextSize, MEM_COMMIT, PAGE_READWRITE)
                          : nullptr;
    if (!block)
        return {0, ""};
    item.pszText = static_cast<char*>(block) + sizeof item;
    WriteProcessMemory(process.get(), block, &item, sizeof item, nullptr);
    const LRESULT answer = SendMessageA(list, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block));
    ReadProcessMemory(process.get(), item.pszText, text.data(), kTextSize, nullptr);
    VirtualFreeEx(process.get(), block, 0, MEM_RELEASE);
    return {answer, text.data()};
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

bool SetItemState(HWND list, int item, UINT state, UINT mask)
{
    LVITEMA lv = {};
    lv.stateMask = mask;
    lv.state = state;
    return SendRemote(list, LVM_SETITEMSTATE, item, lv).first != 0;
}

}  // namespace

std::string RemoteListItemText(HWND list, int item, int subItem)
{
    LVITEMA lv = {};
    lv.iSubItem = subItem;
    return SendRemote(list, LVM_GETITEMTEXTA, item, lv).second;
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
    return SendRemote(list, LVM_GETCOLUMNA, column, lv).second;
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

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    std::vector<HWND> all, found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
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

void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
