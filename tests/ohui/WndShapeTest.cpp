#include "OhuiTestSupport.h"
#include "ProbeLayout.h"

#include "ohui/ILayout.h"
#include "ohui/IWndShape.h"

#include <gtest/gtest.h>

#include <vector>

using namespace OHUI;

namespace {

const COLORREF kDefaultBg = RGB(236, 233, 216);
const COLORREF kWhite = RGB(255, 255, 255);

class WndShapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.hwnd());
        RecordedWindowPosEvents().clear();
    }

    // The windows whose WM_WINDOWPOSCHANGED arrived, in order.
    static std::vector<HWND> MovedWindows()
    {
        std::vector<HWND> moved;
        for (const WindowPosEvent& event : RecordedWindowPosEvents()) {
            if (event.message == WM_WINDOWPOSCHANGED)
                moved.push_back(event.window);
        }
        return moved;
    }

    ParentWindow m_parent;
};

}  // namespace

TEST_F(WndShapeTest, PlacingMovesTheWindowOntoTheBoxsRectangle)
{
    HWND window = m_parent.CreateChild();
    ILayout* box = IWndShape::CreateInstance(window);

    box->UpdateSize(421, 0, 821, 300);

    EXPECT_EQ(RECT({421, 0, 821, 300}), box->GetRect());
    RECT placed = ChildRectInParent(window);
    EXPECT_EQ(421, placed.left);
    EXPECT_EQ(0, placed.top);
    EXPECT_EQ(400, placed.right - placed.left);
    EXPECT_EQ(300, placed.bottom - placed.top);
    ILayout::DeleteInstance(box);
}

TEST_F(WndShapeTest, NegativeSizesArePassedOnUnchanged)
{
    HWND window = m_parent.CreateChild();
    MoveWindow(window, 5, 5, 50, 50, FALSE);
    RecordedWindowPosEvents().clear();
    ILayout* box = IWndShape::CreateInstance(window);

    box->UpdateSize(100, 50, 60, 30);

    EXPECT_EQ(RECT({100, 50, 60, 30}), box->GetRect());
    // The window system clamps a negative size to 0 and keeps the given corner; a box
    // that normalised the rectangle would have put the window at (60, 30) instead.
    RECT placed = ChildRectInParent(window);
    EXPECT_EQ(RECT({100, 50, 100, 50}), placed);
    ASSERT_FALSE(MovedWindows().empty());
    ILayout::DeleteInstance(box);
}

TEST_F(WndShapeTest, ChildrenArePlacedBeforeTheBoxsOwnWindowMoves)
{
    HWND outerWindow = m_parent.CreateChild();
    HWND innerWindow = m_parent.CreateChild();
    ILayout* outer = IWndShape::CreateInstance(outerWindow);
    ILayout* inner = IWndShape::CreateInstance(innerWindow);
    inner->GetRect() = {10, 20, 30, 40};
    inner->SetFloatType(eFloatAbsolute);
    outer->AddChild(inner);
    RecordedWindowPosEvents().clear();

    outer->UpdateSize(100, 100, 300, 300);

    std::vector<HWND> expected = {innerWindow, outerWindow};
    EXPECT_EQ(expected, MovedWindows());
    EXPECT_EQ(RECT({110, 120, 130, 140}), ChildRectInParent(innerWindow));
    EXPECT_EQ(RECT({100, 100, 300, 300}), ChildRectInParent(outerWindow));
    ILayout::DeleteInstance(outer);
}

TEST_F(WndShapeTest, ASkippedBoxDoesNotMoveItsWindow)
{
    HWND window = m_parent.CreateChild();
    MoveWindow(window, 7, 8, 9, 10, FALSE);
    ILayout* root = ILayout::CreateInstance();
    ILayout* box = IWndShape::CreateInstance(window);
    box->GetRect() = {50, 50, 60, 60};
    box->SetFloatType(static_cast<eFloatType>(3));
    root->AddChild(box);
    RecordedWindowPosEvents().clear();

    root->UpdateSize(0, 0, 500, 500);

    EXPECT_TRUE(MovedWindows().empty());
    EXPECT_EQ(RECT({7, 8, 16, 18}), ChildRectInParent(window));
    EXPECT_EQ(RECT({50, 50, 60, 60}), box->GetRect());
    ILayout::DeleteInstance(root);
}

TEST_F(WndShapeTest, WithoutAWindowItBehavesAsAPlainBox)
{
    ILayout* plain = ILayout::CreateInstance();
    ILayout* shape = IWndShape::CreateInstance(nullptr);
    for (ILayout* root : {plain, shape}) {
        ILayout* right = ILayout::CreateInstance();
        right->GetRect() = {0, 0, 10, 10};
        right->SetFloatType(eFloatRight);
        root->AddChild(right);
        root->UpdateSize(0, 0, 40, 40);
    }

    MemoryCanvas plainCanvas(60, 60);
    MemoryCanvas shapeCanvas(60, 60);
    plainCanvas.Fill(kWhite);
    shapeCanvas.Fill(kWhite);
    plain->Draw(plainCanvas.dc());
    shape->Draw(shapeCanvas.dc());

    EXPECT_EQ(plain->GetRect(), shape->GetRect());
    EXPECT_EQ(kDefaultBg, shapeCanvas.Pixel(0, 0));
    EXPECT_EQ(kDefaultBg, shapeCanvas.Pixel(35, 5));
    EXPECT_EQ(kWhite, shapeCanvas.Pixel(45, 45));
    for (int y = 0; y < 60; y += 3) {
        for (int x = 0; x < 60; x += 3)
            ASSERT_EQ(plainCanvas.Pixel(x, y), shapeCanvas.Pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(MovedWindows().empty());
    ILayout::DeleteInstance(plain);
    ILayout::DeleteInstance(shape);
}

TEST_F(WndShapeTest, DrawPaintsNothingWhenAWindowIsHosted)
{
    HWND window = m_parent.CreateChild();
    ILayout* box = IWndShape::CreateInstance(window);
    ILayout* child = ILayout::CreateInstance();
    child->GetRect() = {5, 5, 15, 15};
    child->SetFloatType(eFloatAbsolute);
    box->AddChild(child);
    box->UpdateSize(0, 0, 30, 30);
    MemoryCanvas canvas(40, 40);
    canvas.Fill(kWhite);

    box->Draw(canvas.dc());

    EXPECT_TRUE(canvas.AllPixels(kWhite));
    child->Draw(canvas.dc());
    EXPECT_EQ(kDefaultBg, canvas.Pixel(10, 10)) << "the child alone would paint";
    ILayout::DeleteInstance(box);
}

TEST_F(WndShapeTest, DestroyingBoxesLeavesTheirWindowsAliveAndVisible)
{
    HWND alone = m_parent.CreateChild();
    HWND nested = m_parent.CreateChild();
    ILayout::DeleteInstance(IWndShape::CreateInstance(alone));
    ILayout* root = ILayout::CreateInstance();
    ILayout* box = IWndShape::CreateInstance(nested);
    root->AddChild(box);
    ILayout::DeleteInstance(root);
    {
        IWndShape onStack(alone);
    }

    for (HWND window : {alone, nested}) {
        EXPECT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsWindowVisible(window));
    }
}

TEST_F(WndShapeTest, ADeadWindowIsMovedWithoutComplaint)
{
    HWND window = m_parent.CreateChild();
    DestroyWindow(window);
    ILayout* box = IWndShape::CreateInstance(window);

    box->UpdateSize(1, 2, 3, 4);

    EXPECT_EQ(RECT({1, 2, 3, 4}), box->GetRect());
    ILayout::DeleteInstance(box);
}
