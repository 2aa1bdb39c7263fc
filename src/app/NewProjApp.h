#pragma once

#include "app/NewProjWnd.h"
#include "config/CommandLine.h"
#include "framework/AfxApp.h"

#include <memory>

// The lower-case "n" is on purpose: it is the name the application object is known by.
class CnewProjApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    bool CreateMainWindow();
    bool StartCommandLineMode(const ArgumentMap& arguments, int count);
    void StartGuiMode();
    int RunMessageLoop();

    // Deleted by ExitInstance.
    std::unique_ptr<CNewProjWnd> m_pNewProjWnd;
};
