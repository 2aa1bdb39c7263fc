#pragma once

#include "ohui/ILayout.h"

#include <vector>

// A plain box whose inner state tests may look at, and which reports its destruction.
class ProbeLayout : public OHUI::ILayout {
public:
    static std::vector<const OHUI::ILayout*>& Destroyed()
    {
        static std::vector<const OHUI::ILayout*> destroyed;
        return destroyed;
    }

    ~ProbeLayout() override { Destroyed().push_back(this); }

    OHUI::ILayout* parent() const { return m_pParent; }
    HBRUSH brush() const { return m_hBgBrush; }
    HFONT font() const { return m_hFont; }
    void GiveFont(HFONT font) { m_hFont.reset(font); }
    const int* padding() const { return m_padding; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    const std::vector<OHUI::ILayout*>& children() const { return m_children; }
};
