#pragma once

#include "config/CommandLine.h"
#include "framework/AfxApp.h"

class CNewProjWnd;

class CnewProjApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    bool CreateMainWindow();
    bool StartCommandLineMode(const ArgumentMap& arguments, int count);
    void StartGuiMode();
    int RunMessageLoop();

    CNewProjWnd* m_pNewProjWnd = nullptr;
};
