#pragma once

#include "framework/AfxApp.h"

class CNewProjWnd;

class CnewProjApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    CNewProjWnd* m_pNewProjWnd = nullptr;
};
