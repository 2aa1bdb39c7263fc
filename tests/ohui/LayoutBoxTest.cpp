#include "OhuiTestSupport.h"
#include "ProbeLayout.h"

#include "ohui/ILayout.h"
#include "ohui/IWndShape.h"

#include <gtest/gtest.h>

#include <vector>

using namespace OHUI;

namespace {

const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kBlue = RGB(0, 0, 200);
const BoxState kInitialState = {nullptr,        kDefaultBg, nullptr,  eFloatNone,
                                RECT{0, 0, 0, 0}, Padding{}, 0.0f, 0.0f};

HFONT AnyFont()
{
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                       0, "Tahoma");
}

}  // namespace

// --- State of a box ------------------------------------------------------------------

TEST(LayoutBox, StartsWithTheInitialValues)
{
    ProbeLayout box;
    EXPECT_EQ(kInitialState, box.state());
    EXPECT_TRUE(box.children().empty());
}

TEST(LayoutBox, SettersStoreWhatTheyAreGiven)
{
    ProbeLayout box;
    box.SetFloatType(static_cast<eFloatType>(-4));
    box.UpdatePadding(1, -2, 3, -4);
    box.SetWidth(0.25f);
    box.SetHeight(120.5f);
    box.GetRect() = {5, 6, 7, 8};

    const BoxState stored = {nullptr, kDefaultBg, nullptr, -4, RECT{5, 6, 7, 8},
                             Padding{1, -2, 3, -4}, 0.25f, 120.5f};
    EXPECT_EQ(stored, box.state());
    EXPECT_EQ(-4, box.GetFloatType());
}

TEST(LayoutBox, MarginsAndAFontlessSetFontChangeNothing)
{
    ProbeLayout box;
    box.UpdatePadding(1, 2, 3, 4);
    box.GetRect() = {5, 6, 7, 8};
    const BoxState before = box.state();
    HBRUSH brush = box.brush();

    box.UpdateMarging(100, 200, 300, 400);
    box.SetFont("宋体");

    EXPECT_EQ(before, box.state());
    EXPECT_EQ(brush, box.brush());
}

TEST(LayoutBox, SetFontReleasesTheHeldFont)
{
    ProbeLayout box;
    HFONT font = AnyFont();
    box.GiveFont(font);

    box.SetFont("宋体");

    EXPECT_EQ(nullptr, box.font());
    EXPECT_FALSE(IsLive(font));
}

TEST(LayoutBox, SetBgColorReplacesAndReleasesTheBrush)
{
    ProbeLayout box;
    HBRUSH first = box.brush();

    box.SetBgColor(static_cast<int>(kRed));

    EXPECT_EQ(kRed, SolidColourOf(box.brush()));
    EXPECT_FALSE(IsLive(first));
}

TEST(LayoutBox, InitResetsEverythingButTheChildrenAndReleasesWhatItHeld)
{
    ProbeLayout parent;
    ProbeLayout* box = new ProbeLayout;
    parent.AddChild(box);
    ILayout* child = ILayout::CreateInstance();
    box->AddChild(child);
    box->SetBgColor(static_cast<int>(kRed));
    HBRUSH redBrush = box->brush();
    HFONT font = AnyFont();
    box->GiveFont(font);
    box->SetFloatType(eFloatRight);
    box->GetRect() = {1, 2, 3, 4};
    box->UpdatePadding(1, 2, 3, 4);
    box->SetWidth(9.0f);
    box->SetHeight(9.0f);

    box->__init__();

    EXPECT_EQ(kInitialState, box->state());
    EXPECT_FALSE(IsLive(redBrush));
    EXPECT_FALSE(IsLive(font));
    EXPECT_EQ(std::vector<ILayout*>{child}, box->children());
}

TEST(LayoutBox, AddChildAppendsInOrderSetsTheParentAndIgnoresNull)
{
    ProbeLayout root;
    ProbeLayout* first = new ProbeLayout;
    ProbeLayout* second = new ProbeLayout;

    root.AddChild(first);
    root.AddChild(nullptr);
    root.AddChild(second);

    EXPECT_EQ((std::vector<ILayout*>{first, second}), root.children());
    EXPECT_EQ(&root, first->parent());
    EXPECT_EQ(&root, second->parent());
}

// --- Ownership ----------------------------------------------------------------------

TEST(LayoutOwnership, DeleteInstanceDestroysEveryBoxOfANestedTreeOnceInListOrder)
{
    ProbeLayout::Destroyed().clear();
    ProbeLayout::watchedAlive.clear();
    auto* root = new ProbeLayout;
    auto* a = new ProbeLayout;
    auto* b = new ProbeLayout;
    auto* c = new ProbeLayout;
    auto* d = new ProbeLayout;
    auto* e = new ProbeLayout;
    root->AddChild(a);
    root->AddChild(b);
    a->AddChild(c);
    a->AddChild(nullptr);
    a->AddChild(d);
    b->AddChild(e);
    ProbeLayout::watched = root->brush();

    ILayout::DeleteInstance(root);

    std::vector<const ILayout*> expected = {root, a, c, d, b, e};
    EXPECT_EQ(expected, ProbeLayout::Destroyed());
    // A box gives up its brush before its children go.
    EXPECT_EQ(std::vector<bool>({true, false, false, false, false, false}),
              ProbeLayout::watchedAlive);
    ProbeLayout::watched = nullptr;
}

TEST(LayoutOwnership, DeleteInstanceOfNullDoesNothing)
{
    ProbeLayout::Destroyed().clear();
    int before = CountGdiObjects();
    ILayout::DeleteInstance(nullptr);
    EXPECT_TRUE(ProbeLayout::Destroyed().empty());
    EXPECT_EQ(before, CountGdiObjects());
}

TEST(LayoutOwnership, DestroyingABoxReleasesItsBrushAndFont)
{
    auto* box = new ProbeLayout;
    HBRUSH brush = box->brush();
    HFONT font = AnyFont();
    box->GiveFont(font);

    ILayout::DeleteInstance(box);

    EXPECT_FALSE(IsLive(brush));
    EXPECT_FALSE(IsLive(font));
}

TEST(LayoutOwnership, TheGdiCounterSeesObjectsComeAndGo)
{
    int start = CountGdiObjects();
    HBRUSH brushes[5];
    for (HBRUSH& brush : brushes)
        brush = CreateSolidBrush(kBlue);
    EXPECT_EQ(start + 5, CountGdiObjects());
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    EXPECT_EQ(start, CountGdiObjects());
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
        ILayout::DeleteInstance(root);
    }
    EXPECT_EQ(start, CountGdiObjects());
}

// --- Painting -----------------------------------------------------------------------

TEST(LayoutDraw, FillsTheRectangleWithTheBrushThenPaintsChildrenInOrder)
{
    MemoryCanvas canvas(100, 100);
    canvas.Fill(kWhite);
    Tree root = Own(ILayout::CreateInstance());
    ILayout* first = ILayout::CreateInstance();
    ILayout* second = ILayout::CreateInstance();
    root->AddChild(first);
    root->AddChild(second);
    first->SetBgColor(static_cast<int>(kRed));
    second->SetBgColor(static_cast<int>(kBlue));
    root->GetRect() = {0, 0, 50, 50};
    first->GetRect() = {10, 10, 30, 30};
    second->GetRect() = {20, 20, 40, 40};

    root->Draw(canvas.dc());

    EXPECT_EQ(kDefaultBg, canvas.Pixel(5, 5));
    EXPECT_EQ(kDefaultBg, canvas.Pixel(49, 49));
    EXPECT_EQ(kWhite, canvas.Pixel(50, 50)) << "right and bottom are exclusive";
    EXPECT_EQ(kRed, canvas.Pixel(15, 15));
    EXPECT_EQ(kBlue, canvas.Pixel(25, 25)) << "later siblings paint over earlier ones";
    EXPECT_EQ(kBlue, canvas.Pixel(35, 35));
}

TEST(LayoutDraw, NewColourShowsAtTheNextDraw)
{
    MemoryCanvas canvas(20, 20);
    Tree box = Own(ILayout::CreateInstance());
    box->GetRect() = {0, 0, 20, 20};
    box->Draw(canvas.dc());
    EXPECT_TRUE(canvas.AllPixels(kDefaultBg));

    box->SetBgColor(static_cast<int>(kRed));
    EXPECT_TRUE(canvas.AllPixels(kDefaultBg)) << "nothing is repainted by SetBgColor";
    box->Draw(canvas.dc());
    EXPECT_TRUE(canvas.AllPixels(kRed));
}
