#include "ohui/ILayout.h"

#include "ohui/Background.h"
#include "ohui/LayoutRules.h"

namespace OHUI {

ILayout* ILayout::CreateInstance()
{
    return new ILayout();
}

void ILayout::DeleteInstance(ILayout* layout)
{
    delete layout;
}

ILayout::ILayout() : m_pParent(nullptr)
{
    __init__();
}

// Font and brush go before the children, as they always have.
ILayout::~ILayout()
{
    m_hFont.reset();
    m_hBgBrush.reset();
    for (ILayout* child : m_children)
        delete child;
}

void ILayout::Draw(HDC dc)
{
    FillRect(dc, &m_rect, m_hBgBrush);
    for (size_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i])
            m_children[i]->Draw(dc);
    }
}

void ILayout::UpdateSize(int left, int top, int right, int bottom)
{
    m_rect = {left, top, right, bottom};
    const RECT placedAt = m_rect;
    LayoutCursor cursor = StartLayoutCursor(placedAt);
    // Indexed: a child's UpdateSize may be overridden and must not invalidate the walk.
    for (size_t i = 0; i < m_children.size(); ++i) {
        ILayout* child = m_children[i];
        RECT placed;
        if (child && PlaceChild(placedAt, cursor, child->m_floatType, child->m_rect, placed))
            child->UpdateSize(placed.left, placed.top, placed.right, placed.bottom);
    }
}

void ILayout::__init__()
{
    // Called again on a live box it gives up what the box holds.
    m_hFont.reset();
    ReplaceSolidBrush(m_hBgBrush, kDefaultBgColor);
    m_pParent = nullptr;
    m_floatType = eFloatNone;
    m_rect = {0, 0, 0, 0};
    for (int& value : m_padding)
        value = 0;
    m_width = 0.0f;
    m_height = 0.0f;
}

void ILayout::AddChild(ILayout* child)
{
    if (!child)
        return;
    m_children.push_back(child);
    child->m_pParent = this;
}

void ILayout::SetFloatType(eFloatType type)
{
    m_floatType = type;
}

eFloatType ILayout::GetFloatType() const
{
    return m_floatType;
}

void ILayout::SetBgColor(int color)
{
    ReplaceSolidBrush(m_hBgBrush, color);
}

// The face name makes no font yet; the box only gives up the one it holds.
void ILayout::SetFont(const char* /*faceName*/)
{
    m_hFont.reset();
}

void ILayout::SetWidth(float width)
{
    m_width = width;
}

void ILayout::SetHeight(float height)
{
    m_height = height;
}

void ILayout::UpdatePadding(int left, int top, int right, int bottom)
{
    m_padding[0] = left;
    m_padding[1] = top;
    m_padding[2] = right;
    m_padding[3] = bottom;
}

void ILayout::UpdateMarging(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/)
{
}

RECT& ILayout::GetRect()
{
    return m_rect;
}

}  // namespace OHUI
