#pragma once

#include "framework/ScopedWin.h"
#include "ohui/ILayout.h"
#include "support/RemoteControls.h"

#include <windows.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>
#include <vector>

const COLORREF kDefaultBg = RGB(236, 233, 216);
const COLORREF kWhite = RGB(255, 255, 255);

// Live GDI objects of this process. Wine's GetGuiResources is a stub that answers 0, so
// there the handle table is walked instead (a handle's low word indexes it).
int CountGdiObjects();
// How many GDI objects the action left more (or, negative, fewer) than there were before it.
int GdiObjectsAddedBy(const std::function<void()>& action);

inline bool IsLive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// The colour of a live solid brush; CLR_INVALID for anything else, a released brush included.
COLORREF SolidColourOf(HBRUSH brush);

// A 32-bit bitmap selected into a memory device context, for reading back painted pixels; it
// starts filled with one colour.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, COLORREF fill = kWhite);
    ~MemoryCanvas();  // no copies: the bitmap has one owner

    HDC dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }
    std::vector<COLORREF> Pixels(std::initializer_list<POINT> points) const;
    std::vector<COLORREF> Pixels() const;  // every pixel, row by row
    bool AllPixels(COLORREF color) const { return Pixels() == std::vector<COLORREF>(m_width * m_height, color); }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    GdiObject<HBITMAP> m_bitmap;
    HGDIOBJ m_previous;
};

// The recording windows whose WM_WINDOWPOSCHANGED arrived, in order; tests clear it.
inline std::vector<HWND> movedWindows;

// A visible top-level window that hosts child windows in tests. The top-level window is
// shared by the whole program (Wine under Xvfb takes two seconds to destroy a visible
// one); the children made through an object are destroyed with it.
class ParentWindow {
public:
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    // A visible child window of the recording class, initially at (0, 0), 1 x 1.
    HWND CreateChild();

private:
    HWND m_hwnd;
    std::vector<HWND> m_children;
};

// Number of top-level windows of this test program that still exist.
inline int CountOwnWindows() { return static_cast<int>(TopLevelWindowsOf(GetCurrentProcessId()).size()); }

using Padding = std::array<int, 4>;
// All a box holds but its children: parent, brush colour (SolidColourOf), font, float type,
// rectangle, padding, width and height.
using BoxState =
    std::tuple<const OHUI::ILayout*, COLORREF, HFONT, int, RECT, Padding, float, float>;

// A plain box whose inner state tests may look at, and which reports its destruction.
class ProbeLayout : public OHUI::ILayout {
public:
    // The boxes destroyed, in order, and whether a watched GDI object was alive at each.
    static inline std::vector<const OHUI::ILayout*> destroyed;
    static inline HGDIOBJ watched = nullptr;
    static inline std::vector<bool> watchedAlive;

    ~ProbeLayout() override
    {
        destroyed.push_back(this);
        watchedAlive.push_back(IsLive(watched));
    }

    BoxState state() const
    {
        const Padding padding = {m_padding[0], m_padding[1], m_padding[2], m_padding[3]};
        return {m_pParent, SolidColourOf(m_hBgBrush), m_hFont, m_floatType, m_rect, padding, m_width, m_height};
    }
    OHUI::ILayout* parent() const { return m_pParent; }
    HBRUSH brush() const { return m_hBgBrush; }
    HFONT font() const { return m_hFont; }
    // Gives the box a font of its own to hold.
    HFONT GiveFont()
    {
        m_hFont.reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
        return m_hFont;
    }
    const std::vector<OHUI::ILayout*>& children() const { return m_children; }
};

// A tree that goes with the test.
using Tree = std::unique_ptr<OHUI::ILayout, OHUI::LayoutDeleter>;

// The box at that offset with that float type, added last to the parent's children (if any).
inline OHUI::ILayout* Placed(OHUI::ILayout* box, OHUI::eFloatType type, const RECT& offset,
                             OHUI::ILayout* parent = nullptr)
{
    box->GetRect() = offset;
    box->SetFloatType(type);
    if (parent)
        parent->AddChild(box);
    return box;
}

// A plain box so placed.
inline OHUI::ILayout* Box(OHUI::eFloatType type, const RECT& offset, OHUI::ILayout* parent = nullptr)
{
    return Placed(OHUI::ILayout::CreateInstance(), type, offset, parent);
}
