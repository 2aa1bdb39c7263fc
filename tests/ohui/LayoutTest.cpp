#include "OhuiTestSupport.h"
#include "ProbeLayout.h"

#include "ohui/ILayout.h"
#include "ohui/IWndShape.h"
#include "ohui/LayoutRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

using namespace OHUI;

namespace {

RECT Rect(int left, int top, int right, int bottom)
{
    return {left, top, right, bottom};
}

ILayout* Box(eFloatType type, const RECT& offset)
{
    ILayout* box = ILayout::CreateInstance();
    box->GetRect() = offset;
    box->SetFloatType(type);
    return box;
}

using Tree = std::unique_ptr<ILayout, void (*)(ILayout*)>;

Tree Root()
{
    return Tree(ILayout::CreateInstance(), ILayout::DeleteInstance);
}

}  // namespace

// --- The sizing pass on plain boxes -------------------------------------------------

TEST(LayoutSizing, RightFloatingBoxesStackLeftwardsAndTheRightCursorIsNotReset)
{
    Tree root = Root();
    ILayout* a = Box(eFloatRight, Rect(5, 7, 45, 27));  // only 40 x 20 counts
    ILayout* b = Box(eFloatRight, Rect(0, 0, 30, 20));
    ILayout* c = Box(eFloatNone, Rect(0, 50, 10, 60));
    ILayout* d = Box(eFloatRight, Rect(0, 0, 50, 10));
    for (ILayout* child : {a, b, c, d})
        root->AddChild(child);

    root->UpdateSize(0, 0, 200, 100);

    EXPECT_EQ(Rect(0, 0, 200, 100), root->GetRect());
    EXPECT_EQ(Rect(160, 0, 200, 20), a->GetRect());
    EXPECT_EQ(Rect(130, 0, 160, 20), b->GetRect());
    EXPECT_EQ(Rect(0, 50, 10, 60), c->GetRect());
    EXPECT_EQ(Rect(80, 20, 130, 30), d->GetRect());
}

TEST(LayoutSizing, AbsoluteChildIsOffsetFromTheParentsCorner)
{
    Tree root = Root();
    ILayout* child = Box(eFloatAbsolute, Rect(70, -10, 690, 150));
    root->AddChild(child);

    root->UpdateSize(0, 340, 820, 380);

    EXPECT_EQ(Rect(70, 330, 690, 490), child->GetRect());
}

TEST(LayoutSizing, UnknownFloatTypesAreSkippedAndDoNotCountAsPreviousSibling)
{
    for (int unknown : {3, -1, 100}) {
        SCOPED_TRACE(unknown);
        Tree root = Root();
        ILayout* x = Box(eFloatNone, Rect(0, 0, 10, 30));
        ILayout* skipped = Box(static_cast<eFloatType>(unknown), Rect(1, 2, 11, 102));
        ILayout* y = Box(eFloatNone, Rect(0, 5, 10, 15));
        ILayout* r = Box(eFloatRight, Rect(0, 0, 20, 10));
        ILayout* grandchild = Box(eFloatAbsolute, Rect(1, 1, 2, 2));
        skipped->AddChild(grandchild);
        for (ILayout* child : {x, skipped, y, r})
            root->AddChild(child);

        root->UpdateSize(0, 0, 200, 200);

        EXPECT_EQ(Rect(1, 2, 11, 102), skipped->GetRect());
        EXPECT_EQ(Rect(1, 1, 2, 2), grandchild->GetRect()) << "a skipped subtree is not laid out";
        EXPECT_EQ(unknown, skipped->GetFloatType());
        EXPECT_EQ(Rect(0, 5, 10, 15), y->GetRect());
        // y moved the line cursor by x's height (30), not by the skipped box's (100).
        EXPECT_EQ(Rect(180, 30, 200, 40), r->GetRect());
    }
}

TEST(LayoutSizing, SecondPassShiftsBoxesUnderNonZeroParentsOnceMore)
{
    Tree root = Root();
    ILayout* p = Box(eFloatAbsolute, Rect(10, 20, 110, 120));
    ILayout* q = Box(eFloatNone, Rect(1, 2, 3, 4));
    ILayout* atOrigin = Box(eFloatAbsolute, Rect(5, 5, 6, 6));
    p->AddChild(q);
    root->AddChild(p);
    root->AddChild(atOrigin);

    root->UpdateSize(0, 0, 500, 500);
    EXPECT_EQ(Rect(10, 20, 110, 120), p->GetRect());
    EXPECT_EQ(Rect(11, 22, 13, 24), q->GetRect());

    root->UpdateSize(0, 0, 500, 500);
    EXPECT_EQ(Rect(10, 20, 110, 120), p->GetRect()) << "its parent's corner is (0, 0)";
    EXPECT_EQ(Rect(21, 42, 23, 44), q->GetRect());
    EXPECT_EQ(Rect(5, 5, 6, 6), atOrigin->GetRect());
}

TEST(LayoutSizing, FirstFloatNoneChildLeavesTheLineCursor)
{
    Tree root = Root();
    ILayout* first = Box(eFloatNone, Rect(0, 0, 10, 10));
    ILayout* right = Box(eFloatRight, Rect(0, 0, 20, 5));
    root->AddChild(first);
    root->AddChild(right);

    root->UpdateSize(0, 100, 200, 300);

    EXPECT_EQ(Rect(0, 100, 10, 110), first->GetRect());
    EXPECT_EQ(Rect(180, 100, 200, 105), right->GetRect());
}

TEST(LayoutSizing, ABoxWithoutChildrenOnlyStoresItsRectangle)
{
    ProbeLayout box;
    box.SetFloatType(eFloatRight);
    box.UpdatePadding(1, 2, 3, 4);
    box.SetWidth(5.5f);
    HBRUSH brush = box.brush();

    box.UpdateSize(-7, 8, 9, -10);

    EXPECT_EQ(Rect(-7, 8, 9, -10), box.GetRect());
    EXPECT_EQ(eFloatRight, box.GetFloatType());
    EXPECT_EQ(3, box.padding()[2]);
    EXPECT_EQ(5.5f, box.width());
    EXPECT_EQ(brush, box.brush());
    EXPECT_TRUE(box.children().empty());
}

TEST(LayoutSizing, PaddingWidthHeightAndMarginsDoNotTakePart)
{
    Tree plain = Root();
    Tree dressed = Root();
    std::vector<ILayout*> plainChildren;
    std::vector<ILayout*> dressedChildren;
    for (auto* children : {&plainChildren, &dressedChildren}) {
        children->push_back(Box(eFloatNone, Rect(3, 4, 30, 40)));
        children->push_back(Box(eFloatRight, Rect(0, 0, 15, 15)));
    }
    for (size_t i = 0; i < 2; ++i) {
        plain->AddChild(plainChildren[i]);
        dressed->AddChild(dressedChildren[i]);
    }
    dressed->UpdatePadding(10, 10, 10, 10);
    dressed->UpdateMarging(10, 10, 10, 10);
    dressed->SetWidth(0.5f);
    dressed->SetHeight(0.5f);

    plain->UpdateSize(20, 20, 100, 100);
    dressed->UpdateSize(20, 20, 100, 100);

    EXPECT_EQ(Rect(23, 24, 50, 60), dressedChildren[0]->GetRect());
    EXPECT_EQ(Rect(85, 20, 100, 35), dressedChildren[1]->GetRect());
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(plainChildren[i]->GetRect(), dressedChildren[i]->GetRect());
}

TEST(LayoutRules, PlacementArithmeticWrapsInsteadOfOverflowing)
{
    RECT parent = Rect(INT_MAX, INT_MAX, INT_MIN, 0);
    LayoutCursor cursor = StartLayoutCursor(parent);
    RECT placed;

    ASSERT_TRUE(PlaceChild(parent, cursor, eFloatAbsolute, Rect(1, 1, 2, 2), placed));
    EXPECT_EQ(Rect(INT_MIN, INT_MIN, INT_MIN + 1, INT_MIN + 1), placed);

    ASSERT_TRUE(PlaceChild(parent, cursor, eFloatRight, Rect(0, 0, 1, 1), placed));
    EXPECT_EQ(Rect(INT_MAX, INT_MAX, INT_MIN, INT_MIN), placed);
    EXPECT_EQ(INT_MIN, WrappedDifference(INT_MAX, -1));
}

TEST(LayoutRules, UnknownTypeLeavesTheCursorAndThePlacementUntouched)
{
    RECT parent = Rect(0, 0, 100, 100);
    LayoutCursor cursor = StartLayoutCursor(parent);
    cursor.prevTop = 4;
    cursor.prevBottom = 9;
    RECT placed = Rect(-1, -1, -1, -1);

    EXPECT_FALSE(PlaceChild(parent, cursor, 3, Rect(0, 0, 50, 50), placed));

    EXPECT_EQ(Rect(-1, -1, -1, -1), placed);
    EXPECT_EQ(0, cursor.line);
    EXPECT_EQ(100, cursor.right);
    EXPECT_EQ(4, cursor.prevTop);
    EXPECT_EQ(9, cursor.prevBottom);
}
