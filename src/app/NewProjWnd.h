#pragma once

#include "framework/Controls.h"
#include "ohui/CBaseDlg.h"
#include "ohui/ILayout.h"
#include "timesync/TimeSync.h"

#include <memory>
#include <string>

struct AutostartCommand;

// The program's one window: server list, log box, sync button, autostart controls.
class CNewProjWnd : public CBaseDlg {
public:
    CNewProjWnd();
    ~CNewProjWnd() override;
    void Draw(HDC dc) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keys of the window's controls, seen by the message loop before they are dispatched;
    // true when the message was used up.
    bool PreTranslateMessage(const MSG& message);
    // Command-line mode: the one sync, with no log lines of its own.
    void StartCommandLineSync(const char* address);

private:
    void OnCreate();
    void OnDestroy();
    void OnNotify(const NMHDR* header);
    bool OnCommand(WPARAM wParam, LRESULT& result);
    void OnAutostartClicked();
    void ChangeAutostart(const AutostartCommand& command, bool ticked);
    void ShowCheckBoxMessage(const std::string& text);
    void OnShortcutClicked();
    bool OnKeyDown(HWND control, UINT key, bool repeated);
    void MoveFocus(HWND from, bool backwards);
    void OnActivate(WPARAM wParam);
    bool StartSyncFromList();

    // Each creates its control, then the control's box in the given parent box.
    void CreateServerList(OHUI::ILayout* listRow);
    void CreateLogBox(OHUI::ILayout* listRow);
    OHUI::ILayout* CreateSyncButton(OHUI::ILayout* syncRow);
    void CreateHintLabel(OHUI::ILayout* autostartGroup);
    void CreateShortcutCheck(OHUI::ILayout* autostartGroup);
    void CreateCommandEdit(OHUI::ILayout* commandRow);
    void CreateAutostartCheck(OHUI::ILayout* commandRow);
    void ShowWithFont(CWnd& control);

    CStatic m_hintLabel;
    CEdit m_logBox;
    CEdit m_commandEdit;
    CButton m_syncButton;
    CButton m_autostartCheck;
    CButton m_shortcutCheck;
    CListCtrl m_serverList;
    std::string m_autostartCommand;
    std::string m_exeDir;
    std::unique_ptr<OHUI::ILayout, OHUI::LayoutDeleter> m_rootLayout;
    HWND m_focusBeforeDeactivation = nullptr;
    TimeSync m_timeSync;
};
