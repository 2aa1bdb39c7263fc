#include "framework/AfxApp.h"

#include <shlwapi.h>

#include <vector>

namespace {

CWinApp* g_app = nullptr;

std::string ModuleBaseName()
{
    std::string name = PathFindFileNameA(AfxGetModuleFileName().c_str());
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

namespace {

// A buffer that grows until the path fits: a path that fills it may have been cut.
template <class Char>
std::basic_string<Char> ModuleFileName(DWORD(WINAPI* get)(HMODULE, Char*, DWORD))
{
    std::vector<Char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = get(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size() - 1)
            return std::basic_string<Char>(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string AfxGetModuleFileName()
{
    return ModuleFileName<char>(GetModuleFileNameA);
}

std::wstring AfxGetModuleFileNameW()
{
    return ModuleFileName<wchar_t>(GetModuleFileNameW);
}

const char* AfxGetAppName()
{
    static const std::string name = ModuleBaseName();
    return name.c_str();
}

int AfxMessageBox(const char* text, UINT type)
{
    return MessageBoxA(nullptr, text, AfxGetAppName(), type);
}

int AfxMessageBoxOwnedBy(HWND owner, const char* text, UINT type)
{
    return MessageBoxA(IsWindowVisible(owner) ? owner : nullptr, text, AfxGetAppName(), type);
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
