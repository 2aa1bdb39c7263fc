#include "ohui/CBaseDlg.h"

#include "framework/Trace.h"
#include "ohui/Background.h"
#include "ohui/WindowClassName.h"

#include <string>

namespace {

const char kWindowTitle[] = "新建工程";
const UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
const WPARAM kDragByCaption = SC_MOVE | HTCAPTION;  // 0xF012

HFONT CreateDialogFont()
{
    return CreateFontA(-15, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       VARIABLE_PITCH | FF_DONTCARE, "宋体");
}

bool RegisterDialogClass(WNDPROC procedure, const std::string& name, HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // WM_ERASEBKGND is answered; Draw paints
    windowClass.lpszClassName = name.c_str();
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    return RegisterClassExA(&windowClass) != 0;
}

// Minimised or empty client areas keep the last real size.
void TakeClientRect(HWND window, WPARAM sizeType, RECT& rect)
{
    if (sizeType == SIZE_MINIMIZED)
        return;
    RECT client;
    if (GetClientRect(window, &client) && client.left < client.right &&
        client.top < client.bottom)
        rect = client;
}

}  // namespace

CBaseDlg::CBaseDlg(HWND /*parent*/)
    : m_bCreated(false),
      m_hBgBrush(CreateSolidBrush(OHUI::kDefaultBgColor)),
      m_hWnd(nullptr),
      m_hParent(nullptr),
      m_rect{0, 0, 750, 450},
      m_hFont(CreateDialogFont())
{
}

CBaseDlg::~CBaseDlg()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    // Font and brush that no WM_DESTROY released go with their holders, in that order.
}

void CBaseDlg::Draw(HDC dc)
{
    FillRect(dc, &m_rect, m_hBgBrush);
}

LRESULT CBaseDlg::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        m_bCreated = true;
        break;
    case WM_DESTROY:
        if (m_bCreated) {
            m_hFont.reset();
            m_hBgBrush.reset();
        }
        break;
    case WM_SIZE:
        TakeClientRect(m_hWnd, wParam, m_rect);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hWnd, &paint);
        Draw(dc);
        EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        SendMessageA(m_hWnd, WM_SYSCOMMAND, kDragByCaption, 0);
        break;
    }
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

HWND CBaseDlg::Create(HWND parent, HINSTANCE instance)
{
    if (!m_hWnd)
        m_hWnd = Create(STWndProc, nullptr, parent ? parent : GetDesktopWindow(), instance);
    SetWindowPos(m_hWnd, HWND_TOP, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                 m_rect.bottom - m_rect.top, SWP_FRAMECHANGED);
    return m_hWnd;
}

HWND CBaseDlg::Create(WNDPROC procedure, const char* className, HWND parent, HINSTANCE instance)
{
    if (IsWindow(m_hWnd))
        return m_hWnd;
    std::string name;
    if (!OHUI::ChooseClassName(className, name) ||
        !RegisterDialogClass(procedure, name, instance))
        return nullptr;
    TracePhase("window-class");
    m_hWnd = CreateWindowExA(0, name.c_str(), kWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                             parent, nullptr, instance, this);
    if (!m_hWnd)
        return nullptr;
    // Set once more after creation: a derived window sees its title arrive as WM_SETTEXT.
    SetWindowTextA(m_hWnd, kWindowTitle);
    m_hParent = parent;
    return m_hWnd;
}

LRESULT CALLBACK CBaseDlg::STWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CBaseDlg*>(GetWindowLongA(window, GWL_USERDATA));
    if (self)
        return self->WndProc(message, wParam, lParam);
    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        self = static_cast<CBaseDlg*>(creation->lpCreateParams);
        if (self) {
            self->m_hWnd = window;
            SetWindowLongA(window, GWL_USERDATA, reinterpret_cast<LONG>(self));
            return self->WndProc(message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CBaseDlg::GetHwnd() const
{
    return m_hWnd;
}

HWND CBaseDlg::GetParent() const
{
    return m_hParent;
}

void CBaseDlg::SetParent(HWND parent)
{
    m_hParent = parent;
}

const RECT& CBaseDlg::GetRect() const
{
    return m_rect;
}

void CBaseDlg::SetBgColor(int color)
{
    OHUI::ReplaceSolidBrush(m_hBgBrush, color);
}
