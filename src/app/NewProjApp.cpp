#include "app/NewProjApp.h"

#include "app/MainWindowText.h"
#include "app/NewProjWnd.h"
#include "config/CommandLine.h"
#include "config/DefaultConfig.h"
#include "framework/Trace.h"
#include "resource.h"
#include "timesync/TimeSync.h"

#include <commctrl.h>

#include <optional>
#include <string>

namespace {

// Ends the program when its main window cannot exist (for instance without a display).
constexpr int kExitNoWindow = 1;

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);  // 8
    classes.dwICC = ICC_WIN95_CLASSES;  // 0xFF
    InitCommonControlsEx(&classes);
}

std::string UsageMessage()
{
    return std::string("用法: \"Zorvane.exe\" /ip ") + FirstDefaultAddress() + "\r\n";
}

int ShowUsage()
{
    AfxMessageBox(UsageMessage().c_str(), MB_OK);
    return 0;
}

void SetWindowIcon(HWND window, HINSTANCE instance)
{
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CLOCK));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

ArgumentMap ReadCommandLine(int& count)
{
    ArgumentVector argv(GetCommandLineW());
    count = argv.Count();
    return count > 1 ? ParseArguments(argv.Values(), count) : ArgumentMap();
}

}  // namespace

BOOL CnewProjApp::InitInstance()
{
    InitCommonControlClasses();
    TracePhase("initcc");
    CWinApp::InitInstance();

    int count = 0;
    const ArgumentMap arguments = ReadCommandLine(count);

    if (!CreateMainWindow()) {
        PostQuitMessage(kExitNoWindow);
        return RunMessageLoop();
    }
    if (count == 3) {
        if (!StartCommandLineMode(arguments, count))
            return ShowUsage();
    } else if (count > 1) {
        return ShowUsage();
    } else {
        StartGuiMode();
    }
    return RunMessageLoop();
}

int CnewProjApp::ExitInstance()
{
    m_pNewProjWnd.reset();
    TracePhase("deleted");
    return CWinApp::ExitInstance();
}

bool CnewProjApp::CreateMainWindow()
{
    m_pNewProjWnd = std::make_unique<CNewProjWnd>();
    TracePhase("constructed");
    const bool created = m_pNewProjWnd->Create(GetDesktopWindow(), m_hInstance) != nullptr;
    TracePhase("created");
    return created;
}

// False when the command line is not "/ip" and an accepted address.
bool CnewProjApp::StartCommandLineMode(const ArgumentMap& arguments, int count)
{
    g_commandLineMode = true;
    if (!SyncAddress(arguments, count))
        return false;
    // The connection takes the value converted afresh, not the text the check converted.
    m_pNewProjWnd->StartCommandLineSync(SyncSwitchValue(arguments, count)->c_str());
    TracePhase("connecting");
    return true;
}

void CnewProjApp::StartGuiMode()
{
    HWND window = m_pNewProjWnd->GetHwnd();
    SetWindowTextA(window, kMainWindowTitle);
    SetWindowIcon(window, m_hInstance);
    ShowWindow(window, SW_SHOW);
    TracePhase("gui-shown");
    UpdateWindow(window);
    TracePhase("gui-updated");
}

// Returns the quit message's code; a failing GetMessageA also ends the loop. The main window
// sees its keys first, for moving the focus and clicking from the keyboard.
int CnewProjApp::RunMessageLoop()
{
    while (GetMessageA(&m_msgCur, nullptr, 0, 0) > 0) {
        if (m_pNewProjWnd && m_pNewProjWnd->PreTranslateMessage(m_msgCur))
            continue;
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return static_cast<int>(m_msgCur.wParam);
}
