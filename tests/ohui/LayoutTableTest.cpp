// The main window's layout tree, built as the window builds it, laid out for its
// rectangle 0, 0, 750, 450.
#include "OhuiTestSupport.h"

#include "ohui/ILayout.h"
#include "ohui/IWndShape.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

using namespace OHUI;

namespace {

struct BoxRow {
    const char* name;
    int parent;  // row index, -1 for the root
    bool hostsWindow;
    RECT given;
    int floatType;
    RECT placed;
};

// Rows in creation order, which is also the order of appending to each parent.
const BoxRow kMainWindowBoxes[] = {
    {"root", -1, false, {0, 0, 750, 450}, 0, {0, 0, 750, 450}},
    {"A", 0, false, {0, 0, 820, 320}, 0, {0, 0, 820, 320}},
    {"B", 1, true, {0, 0, 420, 300}, 1, {0, 0, 420, 300}},
    {"C", 1, true, {421, 0, 821, 300}, 1, {421, 0, 821, 300}},
    {"D", 0, false, {0, 340, 820, 380}, 0, {0, 340, 820, 380}},
    {"E", 4, true, {190, 0, 250, 30}, 1, {190, 340, 250, 370}},
    {"F", 5, false, {70, -10, 690, 150}, 1, {260, 330, 880, 490}},
    {"G", 6, true, {0, 0, 600, 20}, 0, {260, 330, 860, 350}},
    {"H", 6, false, {0, 22, 530, 42}, 0, {260, 352, 790, 372}},
    {"I", 6, true, {0, 44, 300, 64}, 0, {260, 374, 560, 394}},
    {"J", 8, true, {0, 0, 350, 20}, 1, {260, 352, 610, 372}},
    {"K", 8, true, {360, 0, 520, 20}, 1, {620, 352, 780, 372}},
};

const RECT kWindowRect = {0, 0, 750, 450};

void Attach(std::vector<ILayout*>& boxes, const BoxRow& row, ILayout* box)
{
    box->SetFloatType(static_cast<eFloatType>(row.floatType));
    if (row.parent >= 0)
        boxes[row.parent]->AddChild(box);
    boxes.push_back(box);
}

}  // namespace

TEST(MainWindowLayout, PlainBoxesReachTheTablesPositions)
{
    std::vector<ILayout*> boxes;
    for (const BoxRow& row : kMainWindowBoxes) {
        ILayout* box = ILayout::CreateInstance();
        box->GetRect() = row.given;
        Attach(boxes, row, box);
    }

    boxes[0]->UpdateSize(kWindowRect.left, kWindowRect.top, kWindowRect.right,
                         kWindowRect.bottom);

    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(kMainWindowBoxes[i].name);
        EXPECT_EQ(kMainWindowBoxes[i].placed, boxes[i]->GetRect());
    }
    ILayout::DeleteInstance(boxes[0]);
}

TEST(MainWindowLayout, HostedWindowsLandAtTheTablesPositions)
{
    ParentWindow parent;
    ASSERT_TRUE(parent.hwnd());
    std::vector<ILayout*> boxes;
    std::vector<HWND> windows(std::size(kMainWindowBoxes), nullptr);
    for (size_t i = 0; i < std::size(kMainWindowBoxes); ++i) {
        const BoxRow& row = kMainWindowBoxes[i];
        if (row.parent < 0) {
            boxes.push_back(ILayout::CreateInstance());
            continue;
        }
        if (row.hostsWindow)
            windows[i] = parent.CreateChild();
        ILayout* box = IWndShape::CreateInstance(windows[i]);
        // The builder gives the offset by placing the box, which moves its window at once.
        box->UpdateSize(row.given.left, row.given.top, row.given.right, row.given.bottom);
        if (windows[i]) {
            EXPECT_EQ(row.given, WindowRectInParent(windows[i])) << row.name;
        }
        Attach(boxes, row, box);
    }

    boxes[0]->UpdateSize(kWindowRect.left, kWindowRect.top, kWindowRect.right,
                         kWindowRect.bottom);

    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(kMainWindowBoxes[i].name);
        EXPECT_EQ(kMainWindowBoxes[i].placed, boxes[i]->GetRect());
        if (windows[i]) {
            EXPECT_EQ(kMainWindowBoxes[i].placed, WindowRectInParent(windows[i]));
        }
    }

    ILayout::DeleteInstance(boxes[0]);
    for (HWND window : windows) {
        if (window) {
            EXPECT_TRUE(IsWindow(window)) << "the tree does not own the windows";
        }
    }
}
