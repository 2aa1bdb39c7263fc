#include "OhuiTestSupport.h"

#include <ostream>

namespace {

const char kRecorderClass[] = "OhuiTestRecorder";
const char kParentClass[] = "OhuiTestParent";

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        RecordedWindowPosEvents().push_back({window, message, *pos});
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterTestClasses()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kParentClass;
    RegisterClassA(&windowClass);
    registered = true;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

}  // namespace

int CountGdiObjects()
{
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return static_cast<int>(reported);
    int count = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++count;
    }
    return count;
}

MemoryCanvas::MemoryCanvas(int width, int height)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_previous = SelectObject(m_dc, m_bitmap);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void MemoryCanvas::Fill(COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, m_width, m_height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

COLORREF MemoryCanvas::Pixel(int x, int y) const
{
    return GetPixel(m_dc, x, y);
}

bool MemoryCanvas::AllPixels(COLORREF color) const
{
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (GetPixel(m_dc, x, y) != color)
                return false;
        }
    }
    return true;
}

std::vector<WindowPosEvent>& RecordedWindowPosEvents()
{
    static std::vector<WindowPosEvent> events;
    return events;
}

ParentWindow::ParentWindow()
{
    RegisterTestClasses();
    static HWND shared = CreateWindowExA(
        0, kParentClass, "ohui test parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
        1000, 700, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    m_hwnd = shared;
}

ParentWindow::~ParentWindow()
{
    for (HWND child : m_children)
        DestroyWindow(child);
}

HWND ParentWindow::CreateChild()
{
    HWND child = CreateWindowExA(0, kRecorderClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1,
                                 m_hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    m_children.push_back(child);
    return child;
}

int CountThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void PumpPendingMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
         << ")";
}
