#include "app/NewProjWnd.h"

#include "timesync/TimeProtocol.h"  // before SyncConstants.h: brings winsock2.h
#include "timesync/SyncConstants.h"

namespace {

// Hidden until the full window layout places and shows it.
constexpr DWORD LOG_BOX_STYLE = WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                                ES_READONLY | ES_WANTRETURN;

}  // namespace

CNewProjWnd::CNewProjWnd() = default;

CNewProjWnd::~CNewProjWnd() = default;

LRESULT CNewProjWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CBaseDlg::WndProc(message, wParam, lParam);
    switch (message) {
    case WM_CREATE:     OnCreate(); break;
    case WM_DESTROY:    OnDestroy(); break;
    case WM_TIMER:      OnTimer(wParam); break;
    case WM_TIMESOCKET: OnSocketEvent(wParam, lParam); break;
    }
    return result;
}

void CNewProjWnd::OnCreate()
{
    CreateLogBox();
}

void CNewProjWnd::OnDestroy()
{
    PostQuitMessage(0);
}

void CNewProjWnd::OnTimer(WPARAM timerId)
{
    OnSyncTimer(m_hWnd, timerId);
}

void CNewProjWnd::OnSocketEvent(WPARAM socket, LPARAM event)
{
    OnTimeSocket(m_hWnd, socket, event);
}

void CNewProjWnd::CreateLogBox()
{
    m_logBox = CreateWindowExA(0, "EDIT", "", LOG_BOX_STYLE, 0, 0, 0, 0, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LOG)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE)),
                               nullptr);
    if (m_logBox)
        SendMessageA(m_logBox, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
}
