#include "OhuiTestSupport.h"

#include "ohui/ILayout.h"
#include "ohui/IWndShape.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

using namespace OHUI;

namespace {

class WndShapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.hwnd());
        MovedWindows().clear();
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
        MovedWindows().clear();
        Tree box = Own(IWndShape::CreateInstance(window));

        box->UpdateSize(rect.left, rect.top, rect.right, rect.bottom);

        EXPECT_EQ(std::make_tuple(rect, shown, true),
                  std::make_tuple(box->GetRect(), ChildRectInParent(window), !MovedWindows().empty()));
    }
}

TEST_F(WndShapeTest, ChildrenArePlacedBeforeTheBoxsOwnWindowMoves)
{
    HWND outerWindow = m_parent.CreateChild(), innerWindow = m_parent.CreateChild();
    Tree outer = Own(IWndShape::CreateInstance(outerWindow));
    Placed(IWndShape::CreateInstance(innerWindow), eFloatAbsolute, {10, 20, 30, 40}, outer.get());
    MovedWindows().clear();

    outer->UpdateSize(100, 100, 300, 300);

    EXPECT_EQ(std::vector<HWND>({innerWindow, outerWindow}), MovedWindows());
    EXPECT_EQ(RECT({110, 120, 130, 140}), ChildRectInParent(innerWindow));
    EXPECT_EQ(RECT({100, 100, 300, 300}), ChildRectInParent(outerWindow));
}

TEST_F(WndShapeTest, ASkippedBoxDoesNotMoveItsWindow)
{
    MoveWindow(window, 7, 8, 9, 10, FALSE);
    Tree root = Own(ILayout::CreateInstance());
    ILayout* box = Placed(IWndShape::CreateInstance(window), static_cast<eFloatType>(3), {50, 50, 60, 60}, root.get());
    MovedWindows().clear();

    root->UpdateSize(0, 0, 500, 500);

    EXPECT_EQ(std::make_tuple(size_t(0), RECT({7, 8, 16, 18}), RECT({50, 50, 60, 60})),
              std::make_tuple(MovedWindows().size(), ChildRectInParent(window), box->GetRect()));
}

TEST_F(WndShapeTest, WithoutAWindowItBehavesAsAPlainBox)
{
    Tree plain = Own(ILayout::CreateInstance()), shape = Own(IWndShape::CreateInstance(nullptr));
    MemoryCanvas plainCanvas(60, 60), shapeCanvas(60, 60);
    const std::pair<ILayout*, MemoryCanvas*> trees[] = {{plain.get(), &plainCanvas},
                                                        {shape.get(), &shapeCanvas}};
    for (auto [root, canvas] : trees) {
        Box(eFloatRight, {0, 0, 10, 10}, root);
        root->UpdateSize(0, 0, 40, 40);
        root->Draw(canvas->dc());
    }

    EXPECT_EQ(plain->GetRect(), shape->GetRect());
    EXPECT_EQ((std::vector<COLORREF>{kDefaultBg, kDefaultBg, kWhite}), shapeCanvas.Pixels({{0, 0}, {35, 5}, {45, 45}}));
    for (int y = 0; y < 60; y += 3) {
        for (int x = 0; x < 60; x += 3)
            ASSERT_EQ(plainCanvas.Pixel(x, y), shapeCanvas.Pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(MovedWindows().empty());
}

TEST_F(WndShapeTest, DrawPaintsNothingWhenAWindowIsHosted)
{
    Tree box = Own(IWndShape::CreateInstance(window));
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
    Tree box = Own(IWndShape::CreateInstance(window));

    box->UpdateSize(1, 2, 3, 4);

    EXPECT_EQ(RECT({1, 2, 3, 4}), box->GetRect());
}
