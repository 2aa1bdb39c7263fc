#include "OhuiTestSupport.h"

#include "ohui/IWndShape.h"
#include "ohui/LayoutRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

using namespace OHUI;

namespace {

const COLORREF kRed = RGB(200, 0, 0), kBlue = RGB(0, 0, 200);
const BoxState kInitialState = {nullptr, kDefaultBg, nullptr, eFloatNone, RECT{0, 0, 0, 0}, Padding{}, 0.0f, 0.0f};

// A parent placed at `parent`, and its children: float type, offset, where each is placed.
// Each case runs on a plain parent and on one with padding, width, height and margins, which
// take no part.
struct Child {
    eFloatType type;
    RECT offset;
    RECT placed;
};
struct SizingCase {
    const char* situation;
    RECT parent;
    std::vector<Child> children;
};

const SizingCase kSizingCases[] = {
    {"right-floating boxes stack leftwards; the right cursor is not reset",
     {0, 0, 200, 100},
     {{eFloatRight, {5, 7, 45, 27}, {160, 0, 200, 20}},  // only 40 x 20 counts
      {eFloatRight, {0, 0, 30, 20}, {130, 0, 160, 20}},
      {eFloatNone, {0, 50, 10, 60}, {0, 50, 10, 60}},
      {eFloatRight, {0, 0, 50, 10}, {80, 20, 130, 30}}}},
    {"an absolute child is offset from the parent's corner",
     {0, 340, 820, 380},
     {{eFloatAbsolute, {70, -10, 690, 150}, {70, 330, 690, 490}}}},
    {"the first eFloatNone child leaves the line cursor",
     {0, 100, 200, 300},
     {{eFloatNone, {0, 0, 10, 10}, {0, 100, 10, 110}},
      {eFloatRight, {0, 0, 20, 5}, {180, 100, 200, 105}}}},
    {"padding, width, height and margins take no part",
     {20, 20, 100, 100},
     {{eFloatNone, {3, 4, 30, 40}, {23, 24, 50, 60}}, {eFloatRight, {0, 0, 15, 15}, {85, 20, 100, 35}}}},
};

}  // namespace

TEST(LayoutBox, SetFontReleasesTheHeldFontAndWithoutOneChangesNothingLikeMargins)
{
    ProbeLayout box;
    HFONT font = box.GiveFont();
    box.UpdatePadding(1, 2, 3, 4);
    box.GetRect() = {5, 6, 7, 8};

    box.SetFont("宋体");
    EXPECT_EQ(std::make_pair(HFONT(), false), std::make_pair(box.font(), IsLive(font)));

    const BoxState before = box.state();
    HBRUSH brush = box.brush();
    box.UpdateMarging(100, 200, 300, 400);
    box.SetFont("宋体");
    EXPECT_EQ(std::make_pair(before, brush), std::make_pair(box.state(), box.brush()));
}

// What a new box holds, what the setters store (nothing but the sizing pass reads it), and what
// __init__ brings back.
TEST(LayoutBox, InitResetsEverythingButTheChildrenAndReleasesWhatItHeld)
{
    ProbeLayout parent;
    ProbeLayout* box = new ProbeLayout;
    EXPECT_EQ(std::make_tuple(kInitialState, size_t(0)), std::make_tuple(box->state(), box->children().size()));
    parent.AddChild(box);
    ILayout* child = ILayout::CreateInstance();
    box->AddChild(child);
    box->SetBgColor(static_cast<int>(kRed));
    HBRUSH redBrush = box->brush();
    HFONT font = box->GiveFont();
    box->SetFloatType(static_cast<eFloatType>(-4));
    box->GetRect() = {5, 6, 7, 8};
    box->UpdatePadding(1, -2, 3, -4);
    box->SetWidth(0.25f);
    box->SetHeight(120.5f);
    const BoxState stored = {&parent, kRed, font, -4, RECT{5, 6, 7, 8}, Padding{1, -2, 3, -4}, 0.25f, 120.5f};
    EXPECT_EQ(std::make_tuple(stored, -4), std::make_tuple(box->state(), box->GetFloatType()));

    box->__init__();

    EXPECT_EQ(std::make_tuple(kInitialState, false, false, std::vector<ILayout*>{child}),
              std::make_tuple(box->state(), IsLive(redBrush), IsLive(font), box->children()));
}

TEST(LayoutOwnership, DeleteInstanceDestroysEveryBoxOfANestedTreeOnceInListOrder)
{
    ProbeLayout::destroyed.clear();
    ProbeLayout::watchedAlive.clear();
    ProbeLayout *root = new ProbeLayout, *a = new ProbeLayout, *b = new ProbeLayout, *c = new ProbeLayout,
                *d = new ProbeLayout, *e = new ProbeLayout;
    for (auto [parent, child] : {std::pair(root, a), {root, b}, {a, c}, {a, nullptr}, {a, d}, {b, e}})
        parent->AddChild(child);
    EXPECT_EQ((std::vector<ILayout*>{c, d}), a->children()) << "in order, the null left out";
    EXPECT_EQ(a, d->parent());
    ProbeLayout::watched = root->brush();

    ILayout::DeleteInstance(root);

    // A box gives up its brush before its children go.
    EXPECT_EQ(std::make_pair(std::vector<const ILayout*>{root, a, c, d, b, e},
                             std::vector<bool>{true, false, false, false, false, false}),
              std::make_pair(ProbeLayout::destroyed, ProbeLayout::watchedAlive));
    ProbeLayout::watched = nullptr;
}

// Of a box its brush and font go with it; of null, nothing.
TEST(LayoutOwnership, DestroyingABoxReleasesItsBrushAndFontAndNullDoesNothing)
{
    auto* box = new ProbeLayout;
    HBRUSH brush = box->brush();
    HFONT font = box->GiveFont();

    ILayout::DeleteInstance(box);

    EXPECT_EQ(std::make_pair(false, false), std::make_pair(IsLive(brush), IsLive(font)));
    ProbeLayout::destroyed.clear();
    const int added = GdiObjectsAddedBy([] { ILayout::DeleteInstance(nullptr); });
    EXPECT_EQ(std::make_pair(size_t(0), 0), std::make_pair(ProbeLayout::destroyed.size(), added));
}

TEST(LayoutOwnership, ThousandsOfBoxesLeaveNoGdiObjectsBehind)
{
    int start = CountGdiObjects();
    for (int i = 0; i < 3000; ++i) {
        ILayout* root = ILayout::CreateInstance();
        root->SetBgColor(i);
        root->__init__();
        root->__init__();
        ILayout* child = ILayout::CreateInstance();
        child->SetBgColor(i + 1);
        child->SetFont("宋体");
        root->AddChild(child);
        root->AddChild(IWndShape::CreateInstance(nullptr));
        root->UpdateSize(0, 0, 10, 10);
        EXPECT_TRUE(i != 0 || CountGdiObjects() == start + 3) << "one brush for each box";
        ILayout::DeleteInstance(root);
    }
    EXPECT_EQ(start, CountGdiObjects());
}

TEST(LayoutDraw, FillsTheRectangleWithTheBrushThenPaintsChildrenInOrder)
{
    MemoryCanvas canvas(100, 100);
    Tree root(ILayout::CreateInstance());
    root->GetRect() = {0, 0, 50, 50};
    Box(eFloatNone, {10, 10, 30, 30}, root.get())->SetBgColor(static_cast<int>(kRed));
    Box(eFloatNone, {20, 20, 40, 40}, root.get())->SetBgColor(static_cast<int>(kBlue));

    root->Draw(canvas.dc());

    // Right and bottom are exclusive; later siblings paint over earlier ones.
    EXPECT_EQ((std::vector<COLORREF>{kDefaultBg, kDefaultBg, kWhite, kRed, kBlue, kBlue}),
              canvas.Pixels({{5, 5}, {49, 49}, {50, 50}, {15, 15}, {25, 25}, {35, 35}}));
}

TEST(LayoutDraw, NewColourShowsAtTheNextDraw)
{
    MemoryCanvas canvas(20, 20);
    ProbeLayout box;
    box.GetRect() = {0, 0, 20, 20};
    box.Draw(canvas.dc());
    EXPECT_TRUE(canvas.AllPixels(kDefaultBg));
    HBRUSH first = box.brush();

    box.SetBgColor(static_cast<int>(kRed));
    EXPECT_EQ(std::make_pair(false, true), std::make_pair(IsLive(first), canvas.AllPixels(kDefaultBg))) << "no repaint";
    box.Draw(canvas.dc());
    EXPECT_TRUE(canvas.AllPixels(kRed));
}

TEST(LayoutSizing, EachChildIsPlacedByItsFloatType)
{
    for (const SizingCase& sizing : kSizingCases) {
        for (bool dressed : {false, true}) {
            SCOPED_TRACE(testing::Message() << sizing.situation << (dressed ? ", dressed parent" : ""));
            Tree root(ILayout::CreateInstance());
            if (dressed) {
                root->UpdatePadding(10, 10, 10, 10);
                root->UpdateMarging(10, 10, 10, 10);
                root->SetWidth(0.5f);
                root->SetHeight(0.5f);
            }
            std::vector<ILayout*> boxes;
            for (const Child& child : sizing.children)
                boxes.push_back(Box(child.type, child.offset, root.get()));

            root->UpdateSize(sizing.parent.left, sizing.parent.top, sizing.parent.right, sizing.parent.bottom);

            EXPECT_EQ(sizing.parent, root->GetRect());
            for (size_t i = 0; i < sizing.children.size(); ++i)
                EXPECT_EQ(sizing.children[i].placed, boxes[i]->GetRect()) << "child " << i;
        }
    }
}

TEST(LayoutSizing, UnknownFloatTypesAreSkippedAndDoNotCountAsPreviousSibling)
{
    for (int unknown : {3, -1, 100}) {
        SCOPED_TRACE(unknown);
        Tree root(ILayout::CreateInstance());
        Box(eFloatNone, {0, 0, 10, 30}, root.get());
        ILayout* skipped = Box(static_cast<eFloatType>(unknown), {1, 2, 11, 102}, root.get());
        ILayout* y = Box(eFloatNone, {0, 5, 10, 15}, root.get());
        ILayout* r = Box(eFloatRight, {0, 0, 20, 10}, root.get());
        ILayout* grandchild = Box(eFloatAbsolute, {1, 1, 2, 2}, skipped);

        root->UpdateSize(0, 0, 200, 200);

        // A skipped subtree is not laid out; y moved the line cursor by x's height (30), not by
        // the skipped box's (100).
        EXPECT_EQ(std::make_tuple(RECT({1, 2, 11, 102}), RECT({1, 1, 2, 2}), unknown, RECT({0, 5, 10, 15}),
                                  RECT({180, 30, 200, 40})),
                  std::make_tuple(skipped->GetRect(), grandchild->GetRect(), skipped->GetFloatType(), y->GetRect(),
                                  r->GetRect()));
    }
}

TEST(LayoutSizing, SecondPassShiftsBoxesUnderNonZeroParentsOnceMore)
{
    Tree root(ILayout::CreateInstance());
    ILayout* p = Box(eFloatAbsolute, {10, 20, 110, 120}, root.get());
    ILayout* q = Box(eFloatNone, {1, 2, 3, 4}, p);
    ILayout* atOrigin = Box(eFloatAbsolute, {5, 5, 6, 6}, root.get());

    root->UpdateSize(0, 0, 500, 500);
    EXPECT_EQ(std::make_pair(RECT({10, 20, 110, 120}), RECT({11, 22, 13, 24})),
              std::make_pair(p->GetRect(), q->GetRect()));

    // p stays: its parent's corner is (0, 0).
    root->UpdateSize(0, 0, 500, 500);
    EXPECT_EQ(std::make_tuple(RECT({10, 20, 110, 120}), RECT({21, 42, 23, 44}), RECT({5, 5, 6, 6})),
              std::make_tuple(p->GetRect(), q->GetRect(), atOrigin->GetRect()));
}

TEST(LayoutSizing, ABoxWithoutChildrenOnlyStoresItsRectangle)
{
    ProbeLayout box;
    box.SetFloatType(eFloatRight);
    box.UpdatePadding(1, 2, 3, 4);
    box.SetWidth(5.5f);
    BoxState expected = box.state();
    std::get<RECT>(expected) = RECT{-7, 8, 9, -10};
    HBRUSH brush = box.brush();

    box.UpdateSize(-7, 8, 9, -10);

    EXPECT_EQ(std::make_tuple(expected, brush, size_t(0)),
              std::make_tuple(box.state(), box.brush(), box.children().size()));
}

TEST(LayoutRules, PlacementArithmeticWrapsInsteadOfOverflowing)
{
    RECT parent = {INT_MAX, INT_MAX, INT_MIN, 0};
    LayoutCursor cursor = StartLayoutCursor(parent);
    RECT placed;

    ASSERT_TRUE(PlaceChild(parent, cursor, eFloatAbsolute, {1, 1, 2, 2}, placed));
    EXPECT_EQ(RECT({INT_MIN, INT_MIN, INT_MIN + 1, INT_MIN + 1}), placed);

    ASSERT_TRUE(PlaceChild(parent, cursor, eFloatRight, {0, 0, 1, 1}, placed));
    EXPECT_EQ(RECT({INT_MAX, INT_MAX, INT_MIN, INT_MIN}), placed);
    EXPECT_EQ(INT_MIN, WrappedDifference(INT_MAX, -1));
}

TEST(LayoutRules, UnknownTypeLeavesTheCursorAndThePlacementUntouched)
{
    RECT parent = {0, 0, 100, 100};
    LayoutCursor cursor = StartLayoutCursor(parent);
    cursor.prevTop = 4;
    cursor.prevBottom = 9;
    RECT placed = {-1, -1, -1, -1};

    EXPECT_FALSE(PlaceChild(parent, cursor, 3, {0, 0, 50, 50}, placed));

    EXPECT_EQ(std::make_tuple(RECT({-1, -1, -1, -1}), 0, 100, 4, 9),
              std::tie(placed, cursor.line, cursor.right, cursor.prevTop, cursor.prevBottom));
}
