#include "app/NewProjWnd.h"

#include "app/FocusOrder.h"
#include "app/IntegrationMessages.h"
#include "app/MainWindowText.h"
#include "config/AutorunStore.h"
#include "config/CommandLine.h"
#include "config/ConfigPaths.h"
#include "config/ServerConfig.h"
#include "config/ServerList.h"
#include "config/SystemIntegration.h"
#include "framework/AfxApp.h"
#include "framework/Trace.h"
#include "ohui/IWndShape.h"
#include "timesync/MainWindowIds.h"
#include "timesync/TimeProtocol.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr DWORD kServerListStyle = 0x50810009;
constexpr DWORD kServerListExStyle = 0x21;   // WS_EX_DLGMODALFRAME | WS_EX_TRANSPARENT
constexpr DWORD kServerListViewStyle = 0x21;  // LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT
constexpr DWORD kLogBoxStyle = 0x50201884;
constexpr DWORD kPushButtonStyle = 0x50000000;
constexpr DWORD kCheckBoxStyle = 0x50000003;
constexpr DWORD kCommandEditStyle = 0x50000080;
constexpr DWORD kLabelStyle = WS_CHILD;
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

// The box only takes its offsets here: the layout pass at the end moves each control once,
// to where it stays, instead of first to its offsets and then again.
OHUI::ILayout* AddBox(OHUI::ILayout* parent, HWND window, RECT rect, OHUI::eFloatType type)
{
    OHUI::ILayout* box = OHUI::IWndShape::CreateInstance(window);
    box->OHUI::ILayout::UpdateSize(rect.left, rect.top, rect.right, rect.bottom);
    box->SetFloatType(type);
    parent->AddChild(box);
    return box;
}

}  // namespace

CNewProjWnd::CNewProjWnd()
{
    m_exeDir = DirectoryOfExecutable(AfxGetModuleFileName());
    m_rootLayout = OHUI::ILayout::CreateInstance();
    std::string configPath = ConfigPathIn(m_exeDir.c_str());
    if (!PathFileExistsA(configPath.c_str()) && EnsureConfigFile(configPath.c_str()))
        WriteDefaultConfig(configPath.c_str());
    m_autostartCommand = LoadAutorunCommand(configPath.c_str());
}

CNewProjWnd::~CNewProjWnd()
{
    m_exeDir.clear();
    OHUI::ILayout::DeleteInstance(m_rootLayout);
    m_rootLayout = nullptr;
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
        OnSyncTimer(m_hWnd, wParam);
        break;
    case WM_TIMESOCKET:
        OnTimeSocket(m_hWnd, wParam, lParam);
        break;
    }
    return result;
}

void CNewProjWnd::OnCreate()
{
    TracePhase("oncreate");
    CreateServerList();
    TracePhase("list");
    CreateLogBox();
    CreateSyncButton();
    CreateHintLabel();
    CreateShortcutCheck();
    CreateCommandEdit();
    CreateAutostartCheck();
    BuildLayout();
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
    return ::StartSyncFromList(m_hWnd, m_serverList, m_logBox);
}

// The registry value follows the command as the user sees it; srv.xml keeps it only when
// the registry took it and it is this program's own sync command. The box then shows what
// the registry holds, as at start.
void CNewProjWnd::OnAutostartClicked()
{
    std::vector<char> text(kCommandBufferSize, '\0');
    GetWindowTextA(m_commandEdit, text.data(), kCommandBufferSize - 1);
    const std::string name = ProgramNameOfCommand(text.data());
    const bool ticked = m_autostartCheck.GetCheck() != BST_UNCHECKED;
    DWORD error = ERROR_SUCCESS;
    const bool written = SetAutorunValue(name.c_str(), text.data(), ticked, &error);
    if (written && IsOwnSyncCommandLine(text.data()))
        StoreAutorunCommand(m_exeDir.c_str(), text.data());
    const bool present = IsAutorunValuePresent(name.c_str());
    ShowCheck(m_autostartCheck, present);
    if (name.empty() || IsFailureToReport(written, ticked, present)) {
        const std::string example = DefaultAutorunCommand(AfxGetModuleFileName().c_str());
        AfxMessageBox(AutostartFailureText(text.data(), name, ticked, error, example).c_str(),
                      kFailureBoxType);
    }
}

void CNewProjWnd::OnShortcutClicked()
{
    const bool ticked = m_shortcutCheck.GetCheck() != BST_UNCHECKED;
    const std::string exePath = AfxGetModuleFileName();
    DWORD error = ERROR_SUCCESS;
    const bool done = UpdateDesktopShortcut(exePath.c_str(), ticked, &error);
    const bool present = IsDesktopShortcutPresent(exePath.c_str());
    ShowCheck(m_shortcutCheck, present);
    if (IsFailureToReport(done, ticked, present))
        AfxMessageBox(ShortcutFailureText(ticked, error).c_str(), kFailureBoxType);
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
// again; the first time, that is the server list.
void CNewProjWnd::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        m_focusBeforeDeactivation = IsChild(m_hWnd, focus) ? focus : nullptr;
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

void CNewProjWnd::CreateServerList()
{
    m_serverList.Create(kServerListStyle, kNoRect, m_hWnd, IDC_SERVERLIST);
    m_serverList.ModifyStyleEx(0, kServerListExStyle);
    m_serverList.SetExtendedStyle(kServerListViewStyle);
    ShowWithFont(m_serverList);
    m_serverList.InsertColumn(0, "时间服务器域名", LVCFMT_LEFT, 230);
    m_serverList.InsertColumn(1, "IP地址", LVCFMT_LEFT, 180);
    LoadServerList(m_exeDir.c_str(), m_serverList);
}

void CNewProjWnd::CreateLogBox()
{
    m_logBox.Create(kLogBoxStyle, kNoRect, m_hWnd, IDC_LOG);
    ShowWithFont(m_logBox);
    std::string help = BuildHelpText(FirstDefaultAddress(), HelpPageAddress(m_exeDir));
    SetDlgItemTextA(m_hWnd, IDC_LOG, help.c_str());
}

void CNewProjWnd::CreateSyncButton()
{
    m_syncButton.Create("校时", kPushButtonStyle, kNoRect, m_hWnd, IDC_SYNC);
    ShowWithFont(m_syncButton);
}

void CNewProjWnd::CreateHintLabel()
{
    m_hintLabel.Create("勾选复选框，即将相应命令行指令写入注册表，实现开机自启:", kLabelStyle,
                       kNoRect, m_hWnd, 0);
    ShowWithFont(m_hintLabel);
}

void CNewProjWnd::CreateShortcutCheck()
{
    m_shortcutCheck.Create("创建桌面快捷方式", kCheckBoxStyle, kNoRect, m_hWnd, IDC_SHORTCUT);
    if (IsDesktopShortcutPresent(AfxGetModuleFileName().c_str()))
        m_shortcutCheck.SetCheck(BST_CHECKED);
    ShowWithFont(m_shortcutCheck);
}

void CNewProjWnd::CreateCommandEdit()
{
    m_commandEdit.Create(kCommandEditStyle, kNoRect, m_hWnd, IDC_COMMAND);
    ShowWithFont(m_commandEdit);
    m_commandEdit.SetWindowText(m_autostartCommand.c_str());
}

void CNewProjWnd::CreateAutostartCheck()
{
    std::string name = ProgramNameOfCommand(m_autostartCommand.c_str());
    bool present = IsAutorunValuePresent(name.c_str());
    m_autostartCheck.Create("开机自启", kCheckBoxStyle, kNoRect, m_hWnd, IDC_AUTOSTART);
    if (present)
        m_autostartCheck.SetCheck(BST_CHECKED);
    ShowWithFont(m_autostartCheck);
}

// Offsets are relative to the parent box; the group of autostart controls (F) hangs off
// the sync button's box, so it moves with the button.
void CNewProjWnd::BuildLayout()
{
    using namespace OHUI;
    ILayout* a = AddBox(m_rootLayout, nullptr, {0, 0, 820, 320}, eFloatNone);
    AddBox(a, m_serverList, {0, 0, 420, 300}, eFloatAbsolute);
    AddBox(a, m_logBox, {421, 0, 821, 300}, eFloatAbsolute);
    ILayout* d = AddBox(m_rootLayout, nullptr, {0, 340, 820, 380}, eFloatNone);
    ILayout* e = AddBox(d, m_syncButton, {190, 0, 250, 30}, eFloatAbsolute);
    ILayout* f = AddBox(e, nullptr, {70, -10, 690, 150}, eFloatAbsolute);
    AddBox(f, m_hintLabel, {0, 0, 600, 20}, eFloatNone);
    ILayout* h = AddBox(f, nullptr, {0, 22, 530, 42}, eFloatNone);
    AddBox(f, m_shortcutCheck, {0, 44, 300, 64}, eFloatNone);
    AddBox(h, m_commandEdit, {0, 0, 350, 20}, eFloatAbsolute);
    AddBox(h, m_autostartCheck, {360, 0, 520, 20}, eFloatAbsolute);
    m_rootLayout->UpdateSize(m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
}
