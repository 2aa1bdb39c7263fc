#include "app/NewProjWnd.h"

#include "ServerListColumns.h"
#include "app/AutostartCommand.h"
#include "app/ExecutableDirectory.h"
#include "app/FocusOrder.h"
#include "app/MainWindowText.h"
#include "app/MessageBoxTexts.h"
#include "config/AutorunValue.h"
#include "config/CommandLine.h"
#include "config/ConfigPaths.h"
#include "config/DefaultConfig.h"
#include "config/DesktopShortcut.h"
#include "config/ServerList.h"
#include "config/StoredCommand.h"
#include "framework/AfxApp.h"
#include "framework/Trace.h"
#include "ohui/IWndShape.h"
#include "resource.h"
#include "timesync/SyncMessageAndTimer.h"
#include "timesync/TimeProtocol.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace {

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kServerListStyle =
    kVisibleChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
constexpr DWORD kServerListExStyle = WS_EX_DLGMODALFRAME | WS_EX_TRANSPARENT;
constexpr DWORD kServerListViewStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr DWORD kLogBoxStyle =
    kVisibleChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN;
constexpr DWORD kPushButtonStyle = kVisibleChild | BS_PUSHBUTTON;
constexpr DWORD kCheckBoxStyle = kVisibleChild | BS_AUTOCHECKBOX;
constexpr DWORD kCommandEditStyle = kVisibleChild | ES_AUTOHSCROLL;  // editable, no border
constexpr DWORD kLabelStyle = WS_CHILD | SS_LEFT;  // shown by the SW_SHOW that follows
// The values the window's controls have always had.
static_assert(kServerListStyle == 0x50810009);
static_assert(kServerListExStyle == 0x21 && kServerListViewStyle == 0x21);
static_assert(kLogBoxStyle == 0x50201884);
static_assert(kPushButtonStyle == 0x50000000);
static_assert(kCheckBoxStyle == 0x50000003);
static_assert(kCommandEditStyle == 0x50000080);

constexpr int kCommandBufferSize = 1000;
constexpr RECT kNoRect = {0, 0, 0, 0};
constexpr UINT kFailureBoxType = MB_OK | MB_ICONWARNING;

// Bit 30 of a key message: the key was already down, so this is a repeat of a held key.
bool IsRepeatedKey(LPARAM keyData)
{
    return (keyData & (1 << 30)) != 0;
}

void ShowCheck(CButton& box, bool checked)
{
    box.SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
}

// A command that works, for the messages about one that does not.
std::string ExampleCommand()
{
    return DefaultAutorunCommand(AfxGetModuleFileName().c_str());
}

// The box takes its offsets, relative to its parent box, through its own UpdateSize, so a
// control's box moves the control there at once; the pass over the whole tree at the end of
// the window's creation puts every box in its place.
OHUI::ILayout* AddBox(OHUI::ILayout* parent, HWND window, RECT rect, OHUI::eFloatType type)
{
    OHUI::ILayout* box = OHUI::IWndShape::CreateInstance(window);
    box->UpdateSize(rect.left, rect.top, rect.right, rect.bottom);
    box->SetFloatType(type);
    parent->AddChild(box);
    return box;
}

}  // namespace

CNewProjWnd::CNewProjWnd()
{
    m_exeDir = DirectoryOfExecutable(AfxGetModuleFileName());
    m_rootLayout.reset(OHUI::ILayout::CreateInstance());
    std::string configPath = ConfigPathIn(m_exeDir.c_str());
    if (!PathFileExistsA(configPath.c_str()) && EnsureConfigFile(configPath.c_str()))
        WriteDefaultConfig(configPath.c_str());
    m_autostartCommand = LoadAutorunCommand(configPath.c_str());
}

CNewProjWnd::~CNewProjWnd()
{
    m_exeDir.clear();
    m_rootLayout.reset();
    m_autostartCommand.clear();
    m_serverList.DestroyWindow();
    m_syncButton.DestroyWindow();
    m_autostartCheck.DestroyWindow();
    m_shortcutCheck.DestroyWindow();
    m_logBox.DestroyWindow();
    m_commandEdit.DestroyWindow();
    m_hintLabel.DestroyWindow();
}

void CNewProjWnd::Draw(HDC dc)
{
    FillRect(dc, &m_rect, m_hBgBrush);
    m_rootLayout->Draw(dc);
}

LRESULT CNewProjWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CBaseDlg::WndProc(message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        OnCreate();
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_COMMAND:
        OnCommand(wParam, result);
        break;
    case WM_TIMER:
        OnSyncTimer(m_timeSync, m_hWnd, wParam);
        break;
    case WM_TIMESOCKET:
        OnTimeSocket(m_timeSync, m_hWnd, wParam, lParam);
        break;
    }
    return result;
}

// The autostart group hangs off the sync button's box, so it moves with the button.
void CNewProjWnd::OnCreate()
{
    using namespace OHUI;
    TracePhase("oncreate");
    ILayout* listRow = AddBox(m_rootLayout.get(), nullptr, {0, 0, 820, 320}, eFloatNone);
    CreateServerList(listRow);
    CreateLogBox(listRow);
    ILayout* syncRow = AddBox(m_rootLayout.get(), nullptr, {0, 340, 820, 380}, eFloatNone);
    ILayout* syncButton = CreateSyncButton(syncRow);
    ILayout* autostartGroup = AddBox(syncButton, nullptr, {70, -10, 690, 150}, eFloatAbsolute);
    CreateHintLabel(autostartGroup);
    ILayout* commandRow = AddBox(autostartGroup, nullptr, {0, 22, 530, 42}, eFloatNone);
    CreateShortcutCheck(autostartGroup);
    CreateCommandEdit(commandRow);
    CreateAutostartCheck(commandRow);
    m_rootLayout->UpdateSize(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
    TracePhase("layout");
}

void CNewProjWnd::OnDestroy()
{
    PostQuitMessage(0);
}

void CNewProjWnd::OnNotify(const NMHDR* header)
{
    if (header && header->code == static_cast<UINT>(NM_DBLCLK))
        StartSyncFromList();
}

bool CNewProjWnd::OnCommand(WPARAM wParam, LRESULT& result)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (LOWORD(wParam)) {
    case IDC_SYNC:
        StartSyncFromList();
        result = 0;
        return true;
    case IDC_AUTOSTART:
        OnAutostartClicked();
        result = 0;
        return true;
    case IDC_SHORTCUT:
        OnShortcutClicked();
        result = 1;
        return true;
    }
    return false;
}

bool CNewProjWnd::StartSyncFromList()
{
    return ::StartSyncFromList(m_timeSync, m_hWnd, m_serverList, m_logBox);
}

void CNewProjWnd::StartCommandLineSync(const char* address)
{
    ::StartCommandLineSync(m_timeSync, m_hWnd, address);
}

// A command that would start this program with arguments start-up answers with the usage box
// is not written: at every log-on it would only show that box.
void CNewProjWnd::OnAutostartClicked()
{
    std::vector<char> text(kCommandBufferSize, '\0');
    GetWindowTextA(m_commandEdit, text.data(), kCommandBufferSize - 1);
    const AutostartCommand command = SplitAutostartCommand(text.data());
    const bool ticked = m_autostartCheck.GetCheck() != BST_UNCHECKED;
    if (!ticked || !command.refusal) {
        ChangeAutostart(command, ticked);
        return;
    }
    ShowCheck(m_autostartCheck, IsAutorunValuePresent(command.valueName.c_str()));
    ShowCheckBoxMessage(UnusableCommandText(command.refusal->address, ExampleCommand()));
}

// The registry value follows the command as the user sees it; srv.xml keeps it only when
// the registry took it and it is this program's own sync command. The box then shows what
// the registry holds, as at start, also when srv.xml did not keep the command.
void CNewProjWnd::ChangeAutostart(const AutostartCommand& command, bool ticked)
{
    const char* text = command.text.c_str();
    const std::string& name = command.valueName;
    const AutorunChange change = ChangeAutorunValue(name.c_str(), text, ticked);
    const bool written = change.error == ERROR_SUCCESS;
    const std::optional<CommandNotKept> notKept =
        written && command.ownSync ? KeepAutorunCommand(m_exeDir.c_str(), text) : std::nullopt;
    ShowCheck(m_autostartCheck, change.present);
    if (name.empty() || IsFailureToReport(written, ticked, change.present))
        ShowCheckBoxMessage(AutostartFailureText(text, name, ticked, change.error, ExampleCommand()));
    if (notKept)
        ShowCheckBoxMessage(CommandNotKeptText(text, name, ticked, *notKept));
}

void CNewProjWnd::ShowCheckBoxMessage(const std::string& text)
{
    AfxMessageBoxOwnedBy(m_hWnd, text.c_str(), kFailureBoxType);
}

void CNewProjWnd::OnShortcutClicked()
{
    const bool ticked = m_shortcutCheck.GetCheck() != BST_UNCHECKED;
    const std::string exePath = AfxGetModuleFileName();
    ShortcutError error;
    const bool done = UpdateDesktopShortcut(exePath.c_str(), ticked, &error);
    const bool present = IsDesktopShortcutPresent(exePath.c_str());
    ShowCheck(m_shortcutCheck, present);
    // A deletion is judged by the file, so a failed one left a file behind, loadable or not.
    if (!done)
        ShowCheckBoxMessage(ShortcutFailureText(ticked, error));
}

bool CNewProjWnd::PreTranslateMessage(const MSG& message)
{
    const bool ours = message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd);
    if (message.message != WM_KEYDOWN || !ours)
        return false;
    return OnKeyDown(message.hwnd, static_cast<UINT>(message.wParam), IsRepeatedKey(message.lParam));
}

// Tab and Shift+Tab walk the controls; Enter in the list syncs like a double-click; Space on
// a check box or on "校时", and Enter on "校时", click it. A held key clicks only once.
bool CNewProjWnd::OnKeyDown(HWND control, UINT key, bool repeated)
{
    if (key == VK_TAB) {
        MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (key == VK_RETURN && control == m_serverList) {
        if (!repeated)
            StartSyncFromList();
        return true;
    }
    const bool isCheck = control == m_autostartCheck || control == m_shortcutCheck;
    const bool clicks = (key == VK_SPACE && (isCheck || control == m_syncButton)) ||
                        (key == VK_RETURN && control == m_syncButton);
    if (clicks && !repeated)
        SendMessageA(control, BM_CLICK, 0, 0);
    return clicks;
}

// The order in which the controls stand: the list, "校时", then the autostart line and the
// shortcut box below it.
void CNewProjWnd::MoveFocus(HWND from, bool backwards)
{
    const HWND order[] = {m_serverList, m_syncButton, m_commandEdit, m_autostartCheck,
                          m_shortcutCheck};
    const HWND* found = std::find(std::begin(order), std::end(order), from);
    const int current = found == std::end(order) ? -1 : static_cast<int>(found - order);
    SetFocus(order[NextInFocusOrder(current, static_cast<int>(std::size(order)), backwards)]);
}

// As in a dialog, the control that had the focus gets it back when the window is activated
// again; the first time, that is the server list. A deactivation that finds the focus gone
// already (a second one in a row) keeps the control saved before.
void CNewProjWnd::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(m_hWnd, focus))
            m_focusBeforeDeactivation = focus;
        return;
    }
    const bool minimised = HIWORD(wParam) != 0;
    if (!minimised)
        SetFocus(m_focusBeforeDeactivation ? m_focusBeforeDeactivation : m_serverList.GetSafeHwnd());
}

void CNewProjWnd::ShowWithFont(CWnd& control)
{
    control.ShowWindow(SW_SHOW);
    control.SetFont(m_hFont, FALSE);
}

void CNewProjWnd::CreateServerList(OHUI::ILayout* listRow)
{
    m_serverList.Create(kServerListStyle, kNoRect, m_hWnd, IDC_SERVERLIST);
    m_serverList.ModifyStyleEx(0, kServerListExStyle);
    m_serverList.SetExtendedStyle(kServerListViewStyle);
    ShowWithFont(m_serverList);
    m_serverList.InsertColumn(kHostColumn, "时间服务器域名", LVCFMT_LEFT, 230);
    m_serverList.InsertColumn(kAddressColumn, "IP地址", LVCFMT_LEFT, 180);
    LoadServerList(m_exeDir.c_str(), m_serverList);
    TracePhase("list");
    AddBox(listRow, m_serverList, {0, 0, 420, 300}, OHUI::eFloatAbsolute);
}

void CNewProjWnd::CreateLogBox(OHUI::ILayout* listRow)
{
    m_logBox.Create(kLogBoxStyle, kNoRect, m_hWnd, IDC_LOG);
    ShowWithFont(m_logBox);
    AddBox(listRow, m_logBox, {421, 0, 821, 300}, OHUI::eFloatAbsolute);
    std::string help = BuildHelpText(FirstDefaultAddress(), HelpPageAddress(m_exeDir));
    SetDlgItemTextA(m_hWnd, IDC_LOG, help.c_str());
}

OHUI::ILayout* CNewProjWnd::CreateSyncButton(OHUI::ILayout* syncRow)
{
    m_syncButton.Create("校时", kPushButtonStyle, kNoRect, m_hWnd, IDC_SYNC);
    ShowWithFont(m_syncButton);
    return AddBox(syncRow, m_syncButton, {190, 0, 250, 30}, OHUI::eFloatAbsolute);
}

void CNewProjWnd::CreateHintLabel(OHUI::ILayout* autostartGroup)
{
    m_hintLabel.Create("勾选复选框，即将相应命令行指令写入注册表，实现开机自启:", kLabelStyle,
                       kNoRect, m_hWnd, 0);
    ShowWithFont(m_hintLabel);
    AddBox(autostartGroup, m_hintLabel, {0, 0, 600, 20}, OHUI::eFloatNone);
}

void CNewProjWnd::CreateShortcutCheck(OHUI::ILayout* autostartGroup)
{
    m_shortcutCheck.Create("创建桌面快捷方式", kCheckBoxStyle, kNoRect, m_hWnd, IDC_SHORTCUT);
    if (IsDesktopShortcutPresent(AfxGetModuleFileName().c_str()))
        m_shortcutCheck.SetCheck(BST_CHECKED);
    ShowWithFont(m_shortcutCheck);
    AddBox(autostartGroup, m_shortcutCheck, {0, 44, 300, 64}, OHUI::eFloatNone);
}

void CNewProjWnd::CreateCommandEdit(OHUI::ILayout* commandRow)
{
    m_commandEdit.Create(kCommandEditStyle, kNoRect, m_hWnd, IDC_COMMAND);
    ShowWithFont(m_commandEdit);
    AddBox(commandRow, m_commandEdit, {0, 0, 350, 20}, OHUI::eFloatAbsolute);
    m_commandEdit.SetWindowText(m_autostartCommand.c_str());
}

void CNewProjWnd::CreateAutostartCheck(OHUI::ILayout* commandRow)
{
    std::string name = ProgramNameOfCommand(m_autostartCommand.c_str());
    bool present = IsAutorunValuePresent(name.c_str());
    m_autostartCheck.Create("开机自启", kCheckBoxStyle, kNoRect, m_hWnd, IDC_AUTOSTART);
    if (present)
        m_autostartCheck.SetCheck(BST_CHECKED);
    ShowWithFont(m_autostartCheck);
    AddBox(commandRow, m_autostartCheck, {360, 0, 520, 20}, OHUI::eFloatAbsolute);
}
