#include "ohui/IWndShape.h"

#include "ohui/LayoutRules.h"

namespace OHUI {

ILayout* IWndShape::CreateInstance(HWND window)
{
    return new IWndShape(window);
}

IWndShape::IWndShape(HWND window) : m_hWnd(window)
{
}

// The hosted window belongs to its owner; only the box goes.
IWndShape::~IWndShape() = default;

void IWndShape::Draw(HDC dc)
{
    // A hosted window paints itself and covers whatever lies below the box.
    if (m_hWnd)
        return;
    ILayout::Draw(dc);
}

void IWndShape::UpdateSize(int left, int top, int right, int bottom)
{
    ILayout::UpdateSize(left, top, right, bottom);
    if (m_hWnd) {
        MoveWindow(m_hWnd, left, top, WrappedDifference(right, left),
                   WrappedDifference(bottom, top), TRUE);
    }
}

}  // namespace OHUI
