#include "OhuiTestSupport.h"

namespace {

const char kRecorderClass[] = "OhuiTestRecorder";
const char kParentClass[] = "OhuiTestParent";

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGED)
        movedWindows.push_back(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the two classes, then makes the one parent window of the program.
HWND CreateSharedParent()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const WNDCLASSA recorder = {0, RecorderProc, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, kRecorderClass};
    const WNDCLASSA parent = {0, DefWindowProcA, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, kParentClass};
    RegisterClassA(&recorder);
    RegisterClassA(&parent);
    return CreateWindowExA(0, kParentClass, "ohui test parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                           1000, 700, nullptr, nullptr, instance, nullptr);
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

int GdiObjectsAddedBy(const std::function<void()>& action)
{
    const int before = CountGdiObjects();
    action();
    return CountGdiObjects() - before;
}

COLORREF SolidColourOf(HBRUSH brush)
{
    LOGBRUSH info = {};
    const bool solid = GetObjectType(brush) == OBJ_BRUSH &&
                       GetObjectA(brush, sizeof info, &info) && info.lbStyle == BS_SOLID;
    return solid ? info.lbColor : CLR_INVALID;
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_bitmap.reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_previous = SelectObject(m_dc, m_bitmap);
    GdiObject<HBRUSH> brush(CreateSolidBrush(fill));
    RECT all = {0, 0, width, height};
    FillRect(m_dc, &all, brush);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(m_dc, m_previous);
    DeleteDC(m_dc);
}

std::vector<COLORREF> MemoryCanvas::Pixels(std::initializer_list<POINT> points) const
{
    std::vector<COLORREF> colours;
    for (const POINT& point : points)
        colours.push_back(Pixel(point.x, point.y));
    return colours;
}

std::vector<COLORREF> MemoryCanvas::Pixels() const
{
    std::vector<COLORREF> colours;
    for (int at = 0; at < m_width * m_height; ++at)
        colours.push_back(Pixel(at % m_width, at / m_width));
    return colours;
}

ParentWindow::ParentWindow()
{
    static HWND shared = CreateSharedParent();
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
