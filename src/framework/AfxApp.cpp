#include "framework/AfxApp.h"

#include <shlwapi.h>

#include <string>

namespace {

CWinApp* g_app = nullptr;

std::string ModuleBaseName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = PathFindFileNameA(path);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

}  // namespace

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

const char* AfxGetAppName()
{
    static const std::string name = ModuleBaseName();
    return name.c_str();
}

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/)
{
    return MessageBoxA(nullptr, text, AfxGetAppName(), type);
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->InitInstance();
    return app->ExitInstance();
}
