#pragma once

#include "ohui/ILayout.h"

namespace OHUI {

// A layout box that moves a child window (not owned) onto its rectangle when placed.
class OHUI_API IWndShape : public ILayout {
public:
    static ILayout* CreateInstance(HWND window);

    explicit IWndShape(HWND window);
    ~IWndShape() override;
    void Draw(HDC dc) override;
    void UpdateSize(int left, int top, int right, int bottom) override;

protected:
    HWND m_hWnd;
};

}  // namespace OHUI
