#pragma once

#include "framework/ScopedWin.h"
#include "ohui/Export.h"

#include <windows.h>

#include <vector>

namespace OHUI {

enum eFloatType : int {
    eFloatNone = 0,
    eFloatAbsolute = 1,
    eFloatRight = 2,
};

// A node of the layout tree: an offset rectangle that the parent's sizing pass turns
// into client coordinates, a background brush, and owned child boxes.
class OHUI_API ILayout {
public:
    static ILayout* CreateInstance();
    static void DeleteInstance(ILayout* layout);

    ILayout();
    virtual ~ILayout();
    virtual void Draw(HDC dc);
    virtual void UpdateSize(int left, int top, int right, int bottom);

    // Spelled so on purpose: an exported name that other programs link against.
    void __init__();
    void AddChild(ILayout* child);
    void SetFloatType(eFloatType type);
    eFloatType GetFloatType() const;
    void SetBgColor(int color);
    void SetFont(const char* faceName);
    void SetWidth(float width);
    void SetHeight(float height);
    void UpdatePadding(int left, int top, int right, int bottom);
    // "Marging", not "Margin", on purpose: an exported name that other programs link against.
    void UpdateMarging(int left, int top, int right, int bottom);
    RECT& GetRect();

    ILayout(const ILayout&) = delete;
    ILayout& operator=(const ILayout&) = delete;

protected:
    ILayout* m_pParent;
    GdiObject<HBRUSH> m_hBgBrush;
    GdiObject<HFONT> m_hFont;
    eFloatType m_floatType;
    RECT m_rect;
    int m_padding[4];
    float m_width;
    float m_height;
    std::vector<ILayout*> m_children;
};

// For a std::unique_ptr that owns a tree's root.
struct LayoutDeleter {
    void operator()(ILayout* box) const { ILayout::DeleteInstance(box); }
};

}  // namespace OHUI
