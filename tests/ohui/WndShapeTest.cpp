#include "OhuiTestSupport.h"

#include "ohui/IWndShape.h"

#include <gtest/gtest.h>

#include <utility>

using namespace OHUI;

namespace {

class WndShapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.hwnd());
        movedWindows.clear();
    }

    ParentWindow m_parent;
    HWND window = m_parent.CreateChild();
};

}  // namespace

// Negative sizes are passed on unchanged: the window system clamps a negative size to 0 and
// keeps the given corner; a box that normalised the rectangle would have put the window at
// (60, 30) instead.
TEST_F(WndShapeTest, PlacingMovesTheWindowOntoTheBoxsRectangle)
{
    const std::pair<RECT, RECT> placements[] = {{{421, 0, 821, 300}, {421, 0, 821, 300}},  // at 421, 0; 400 x 300
                                                {{100, 50, 60, 30}, {100, 50, 100, 50}}};
    for (const auto& [rect, shown] : placements) {
        MoveWindow(window, 5, 5, 50, 50, FALSE);
        movedWindows.clear();
        Tree box(IWndShape::CreateInstance(window));

        box->UpdateSize(rect.left, rect.top, rect.right, rect.bottom);

        EXPECT_EQ(std::make_tuple(rect, shown, true),
                  std::make_tuple(box->GetRect(), ChildRectInParent(window), !movedWindows.empty()));
    }
}

TEST_F(WndShapeTest, ChildrenArePlacedBeforeTheBoxsOwnWindowMoves)
{
    HWND outerWindow = m_parent.CreateChild(), innerWindow = m_parent.CreateChild();
    Tree outer(IWndShape::CreateInstance(outerWindow));
    Placed(IWndShape::CreateInstance(innerWindow), eFloatAbsolute, {10, 20, 30, 40}, outer.get());
    movedWindows.clear();

    outer->UpdateSize(100, 100, 300, 300);

    EXPECT_EQ(std::make_tuple(std::vector<HWND>({innerWindow, outerWindow}), RECT({110, 120, 130, 140}),
                              RECT({100, 100, 300, 300})),
              std::make_tuple(movedWindows, ChildRectInParent(innerWindow), ChildRectInParent(outerWindow)));
}

TEST_F(WndShapeTest, ASkippedBoxDoesNotMoveItsWindow)
{
    MoveWindow(window, 7, 8, 9, 10, FALSE);
    Tree root(ILayout::CreateInstance());
    ILayout* box = Placed(IWndShape::CreateInstance(window), static_cast<eFloatType>(3), {50, 50, 60, 60}, root.get());
    movedWindows.clear();

    root->UpdateSize(0, 0, 500, 500);

    EXPECT_EQ(std::make_tuple(size_t(0), RECT({7, 8, 16, 18}), RECT({50, 50, 60, 60})),
              std::make_tuple(movedWindows.size(), ChildRectInParent(window), box->GetRect()));
}

TEST_F(WndShapeTest, WithoutAWindowItBehavesAsAPlainBox)
{
    Tree plain(ILayout::CreateInstance()), shape(IWndShape::CreateInstance(nullptr));
    MemoryCanvas plainCanvas(60, 60), shapeCanvas(60, 60);
    const std::pair<ILayout*, MemoryCanvas*> trees[] = {{plain.get(), &plainCanvas},
                                                        {shape.get(), &shapeCanvas}};
    for (auto [root, canvas] : trees) {
        Box(eFloatRight, {0, 0, 10, 10}, root);
        root->UpdateSize(0, 0, 40, 40);
        root->Draw(canvas->dc());
    }

    EXPECT_EQ(std::make_tuple(plain->GetRect(), plainCanvas.Pixels(), size_t(0)),
              std::make_tuple(shape->GetRect(), shapeCanvas.Pixels(), movedWindows.size()));
    EXPECT_EQ((std::vector<COLORREF>{kDefaultBg, kDefaultBg, kWhite}), shapeCanvas.Pixels({{0, 0}, {35, 5}, {45, 45}}));
}

TEST_F(WndShapeTest, DrawPaintsNothingWhenAWindowIsHosted)
{
    Tree box(IWndShape::CreateInstance(window));
    ILayout* child = Box(eFloatAbsolute, {5, 5, 15, 15}, box.get());
    box->UpdateSize(0, 0, 30, 30);
    MemoryCanvas canvas(40, 40);

    box->Draw(canvas.dc());

    EXPECT_TRUE(canvas.AllPixels(kWhite));
    child->Draw(canvas.dc());
    EXPECT_EQ(kDefaultBg, canvas.Pixel(10, 10)) << "the child alone would paint";
}

TEST_F(WndShapeTest, DestroyingBoxesLeavesTheirWindowsAliveAndVisible)
{
    HWND alone = m_parent.CreateChild(), nested = m_parent.CreateChild();
    ILayout::DeleteInstance(IWndShape::CreateInstance(alone));
    ILayout* root = ILayout::CreateInstance();
    root->AddChild(IWndShape::CreateInstance(nested));
    ILayout::DeleteInstance(root);
    IWndShape{alone};  // one on the stack, gone at once

    for (HWND hosted : {alone, nested})
        EXPECT_TRUE(IsWindow(hosted) && IsWindowVisible(hosted)) << hosted;
}

TEST_F(WndShapeTest, ADeadWindowIsMovedWithoutComplaint)
{
    DestroyWindow(window);
    Tree box(IWndShape::CreateInstance(window));

    box->UpdateSize(1, 2, 3, 4);

    EXPECT_EQ(RECT({1, 2, 3, 4}), box->GetRect());
}
