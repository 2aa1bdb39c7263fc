#include "app/NewProjApp.h"

// Placeholder until start-up is built.
BOOL CnewProjApp::InitInstance()
{
    return FALSE;
}

int CnewProjApp::ExitInstance()
{
    return CWinApp::ExitInstance();
}
