#pragma once

#include "framework/ScopedWin.h"
#include "support/RemoteControls.h"

#include <windows.h>

#include <vector>

const COLORREF kDefaultBg = RGB(236, 233, 216);
const COLORREF kWhite = RGB(255, 255, 255);

// Live GDI objects of this process. Wine's GetGuiResources is a stub that answers 0, so
// there the handle table is walked instead (a handle's low word indexes it).
int CountGdiObjects();

bool IsLive(HGDIOBJ object);

// The colour of a live solid brush; CLR_INVALID for anything else, a released brush included.
COLORREF SolidColourOf(HBRUSH brush);

// A 32-bit bitmap selected into a memory device context, for reading back painted pixels.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC dc() const { return m_dc; }
    void Fill(COLORREF color);
    COLORREF Pixel(int x, int y) const;
    // True when every pixel of the canvas has the colour.
    bool AllPixels(COLORREF color) const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    GdiObject<HBITMAP> m_bitmap;
    HGDIOBJ m_previous;
};

// The recording windows whose WM_WINDOWPOSCHANGED arrived, in order; tests clear it.
std::vector<HWND>& MovedWindows();

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

// Number of windows of this thread that still exist (top-level ones).
int CountThreadWindows();
