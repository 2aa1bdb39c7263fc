#pragma once

#include "OhuiTestSupport.h"

#include "ohui/ILayout.h"

#include <array>
#include <memory>
#include <tuple>
#include <vector>

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
        return {m_pParent, SolidColourOf(m_hBgBrush), m_hFont, m_floatType, m_rect, padding,
                m_width, m_height};
    }
    OHUI::ILayout* parent() const { return m_pParent; }
    HBRUSH brush() const { return m_hBgBrush; }
    HFONT font() const { return m_hFont; }
    void GiveFont(HFONT font) { m_hFont.reset(font); }
    const std::vector<OHUI::ILayout*>& children() const { return m_children; }
};

// A tree that goes with the test.
using Tree = std::unique_ptr<OHUI::ILayout, void (*)(OHUI::ILayout*)>;

inline Tree Own(OHUI::ILayout* root)
{
    return Tree(root, OHUI::ILayout::DeleteInstance);
}

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
