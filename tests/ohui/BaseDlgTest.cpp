#include "OhuiTestSupport.h"

#include "ohui/CBaseDlg.h"
#include "ohui/WindowClassName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

namespace {

const COLORREF kGreen = RGB(0, 160, 0);
const RECT kPlacement = {0, 0, 750, 450};
const HINSTANCE kInstance = GetModuleHandleA(nullptr);

// A derived window that records what reaches its WndProc and lets tests look inside.
class ProbeDlg : public CBaseDlg {
public:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_SETTEXT)
            titlesSet.push_back(reinterpret_cast<const char*>(lParam));
        if (message == WM_CREATE)
            hwndAtCreate = m_hWnd;
        if (message == WM_SYSCOMMAND) {
            // Answered here, so no modal move loop starts inside a test.
            sysCommands.push_back(wParam);
            return 0;
        }
        return CBaseDlg::WndProc(message, wParam, lParam);
    }

    void Draw(HDC dc) override
    {
        ++draws;
        CBaseDlg::Draw(dc);
    }

    HWND CreateWith(WNDPROC procedure, const char* className, HWND parent = nullptr)
    {
        return Create(procedure, className, parent, kInstance);
    }

    bool created() const { return m_bCreated; }
    HBRUSH brush() const { return m_hBgBrush; }
    HFONT font() const { return m_hFont; }
    RECT& rect() { return m_rect; }

    std::vector<UINT> seen;
    std::vector<WPARAM> sysCommands;
    std::vector<std::string> titlesSet;
    HWND hwndAtCreate = nullptr;
    int draws = 0;
};

// A window created as the application creates its main window, gone with the test.
class BaseDlgWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = dlg->Create(nullptr, kInstance);
        ASSERT_TRUE(window);
    }

    std::unique_ptr<ProbeDlg> dlg = std::make_unique<ProbeDlg>();
    HWND window = nullptr;
    const HBRUSH brush = dlg->brush();  // made with the object
    const HFONT font = dlg->font();
};

bool IsClassRegistered(const std::string& name)
{
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    return GetClassInfoExA(kInstance, name.c_str(), &info) != 0;
}

// "{8-4-4-4-12}" in hex, the third group in lower case and every other in capitals.
bool IsGuidClassName(const std::string& name)
{
    static const std::regex guid(
        "\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    return std::regex_match(name, guid);
}

// Every field CreateFontA takes, the face name as text.
auto FontFields(const LOGFONTA& f)
{
    return std::make_tuple(f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight,
                           f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet,
                           f.lfOutPrecision, f.lfClipPrecision, f.lfQuality,
                           f.lfPitchAndFamily, std::string(f.lfFaceName));
}

// Everything that reached the window, whether bound to its object yet or not.
std::vector<UINT> windowMessages;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    windowMessages.push_back(message);
    return CBaseDlg::STWndProc(window, message, wParam, lParam);
}

size_t IndexOf(const std::vector<UINT>& messages, UINT message)
{
    return std::find(messages.begin(), messages.end(), message) - messages.begin();
}

}  // namespace

// --- A new object ----------------------------------------------------------------------

TEST(BaseDlg, DrawFillsItsRectangleWithTheBackgroundBrush)
{
    ProbeDlg dlg;
    dlg.rect() = {10, 10, 30, 30};
    MemoryCanvas canvas(40, 40);

    dlg.Draw(canvas.dc());
    EXPECT_EQ((std::vector<COLORREF>{kDefaultBg, kDefaultBg, kWhite, kWhite}),
              canvas.Pixels({{10, 10}, {29, 29}, {30, 30}, {5, 5}}));

    HBRUSH old = dlg.brush();
    dlg.SetBgColor(static_cast<int>(kGreen));
    EXPECT_EQ(std::make_pair(false, kDefaultBg), std::make_pair(IsLive(old), canvas.Pixel(20, 20))) << "no repaint";
    dlg.Draw(canvas.dc());
    EXPECT_EQ(kGreen, canvas.Pixel(20, 20));
}

TEST(BaseDlg, GuidTextHasItsThirdGroupInLowerCase)
{
    GUID guid = {0xABCDEF01, 0xBCDE, 0xCDEF, {0xDE, 0xF0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F}};
    EXPECT_EQ("{ABCDEF01-BCDE-cdef-DEF0-1A2B3C4D5E6F}", OHUI::FormatGuidClassName(guid));
    GUID small = {0x1, 0x2, 0x3, {0, 1, 2, 3, 4, 5, 6, 7}};
    EXPECT_EQ("{00000001-0002-0003-0001-020304050607}", OHUI::FormatGuidClassName(small));
}

// --- Creating the window ------------------------------------------------------------

TEST_F(BaseDlgWindow, MakesAHiddenTitledWindowUnderItsOwnGuidClassAt750By450)
{
    // The handle is bound before WM_CREATE reaches the object.
    EXPECT_EQ(std::make_tuple(window, window, true, GetDesktopWindow(), reinterpret_cast<LONG>(dlg.get())),
              std::make_tuple(dlg->GetHwnd(), dlg->hwndAtCreate, dlg->created(), dlg->GetParent(),
                              GetWindowLongA(window, GWL_USERDATA)));
    EXPECT_TRUE(IsGuidClassName(ClassNameOf(window))) << ClassNameOf(window);
    // The title is set again after creation.
    EXPECT_EQ(std::make_tuple(std::string("新建工程"), std::vector<std::string>{"新建工程"}, FALSE, kPlacement,
                              (LONG)WS_OVERLAPPEDWINDOW),
              std::make_tuple(WindowTextOf(window), dlg->titlesSet, IsWindowVisible(window),
                              RectOf(GetWindowRect, window), GetWindowLongA(window, GWL_STYLE) & 0x00FFFFFF));

    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(kInstance, ClassNameOf(window).c_str(), &info));
    EXPECT_EQ(std::make_tuple(static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_PARENTDC), &CBaseDlg::STWndProc, 0, 0,
                              true, true),
              std::make_tuple(info.style, info.lpfnWndProc, info.cbClsExtra, info.cbWndExtra, info.hCursor != nullptr,
                              info.hIcon != nullptr));

    HWND parent = GetAncestor(window, GA_PARENT);
    ParentWindow other;
    dlg->SetParent(other.hwnd());
    EXPECT_EQ(other.hwnd(), dlg->GetParent());
    EXPECT_EQ(parent, GetAncestor(window, GA_PARENT)) << "the window system is not told";
}

TEST_F(BaseDlgWindow, EveryWindowGetsAClassOfItsOwn)
{
    ProbeDlg second;
    ASSERT_TRUE(second.Create(nullptr, kInstance));

    const std::string name = ClassNameOf(second.GetHwnd());
    EXPECT_TRUE(IsGuidClassName(name)) << name;
    EXPECT_NE(ClassNameOf(window), name);
}

// The public Create makes it client-sized at the origin after a size change; the protected one
// returns it as it is and registers no class.
TEST_F(BaseDlgWindow, ASecondCreateOfALiveWindowMakesNoNewOne)
{
    RECT client = RectOf(GetClientRect, window);
    ASSERT_FALSE(IsRectEmpty(&client));
    EXPECT_EQ(client, dlg->GetRect()) << "the placement's WM_SIZE stored the client area";
    std::string className = ClassNameOf(window);
    int windows = CountOwnWindows();
    SetWindowPos(window, nullptr, 40, 50, 750, 450, SWP_NOZORDER);

    EXPECT_EQ(window, dlg->Create(nullptr, kInstance));

    EXPECT_EQ(std::make_tuple(windows, className, client),
              std::make_tuple(CountOwnWindows(), ClassNameOf(window), RectOf(GetWindowRect, window)));

    EXPECT_EQ(window, dlg->CreateWith(RecordingProcedure, "OhuiNeverRegistered"));
    EXPECT_EQ(std::make_tuple(windows, false, client),
              std::make_tuple(CountOwnWindows(), IsClassRegistered("OhuiNeverRegistered"),
                              RectOf(GetWindowRect, window)));
}

TEST_F(BaseDlgWindow, AGivenClassNameIsUsedOnceAndMustFit)
{
    const std::string fits(63, 'q'), tooLong = std::string(63, 'z') + "Z";
    ProbeDlg named, sameName, longName;
    ParentWindow parent;

    HWND namedWindow = named.CreateWith(CBaseDlg::STWndProc, fits.c_str(), parent.hwnd());
    ASSERT_TRUE(namedWindow);
    EXPECT_EQ(std::make_tuple(fits, parent.hwnd(), std::string("新建工程")),
              std::make_tuple(ClassNameOf(namedWindow), named.GetParent(), WindowTextOf(namedWindow)));

    EXPECT_EQ(nullptr, sameName.CreateWith(CBaseDlg::STWndProc, fits.c_str()));
    EXPECT_EQ(nullptr, sameName.GetHwnd());

    // Refused whole rather than registered under its first 63 characters.
    EXPECT_EQ(nullptr, longName.CreateWith(CBaseDlg::STWndProc, tooLong.c_str()));
    EXPECT_EQ(std::make_tuple(HWND(), false, false, size_t(0)),
              std::make_tuple(longName.GetHwnd(), IsClassRegistered(tooLong), IsClassRegistered(tooLong.substr(0, 63)),
                              longName.seen.size()));
}

TEST_F(BaseDlgWindow, MessagesBeforeWmCreateGetOnlyTheDefaultProcessing)
{
    windowMessages.clear();
    ProbeDlg recorded;

    ASSERT_TRUE(recorded.CreateWith(RecordingProcedure, nullptr));

    const size_t create = IndexOf(windowMessages, WM_CREATE);
    ASSERT_LT(create, windowMessages.size());
    for (UINT early : {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE})
        EXPECT_LT(IndexOf(windowMessages, early), create) << early;
    // The object saw exactly what came from WM_CREATE on, WM_CREATE first.
    EXPECT_EQ(std::vector<UINT>(windowMessages.begin() + create, windowMessages.end()), recorded.seen);
    EXPECT_EQ(recorded.seen.size(), IndexOf(recorded.seen, WM_NCCREATE));
}

TEST_F(BaseDlgWindow, AWindowOfTheClassMadeWithoutAnObjectGetsDefaultProcessing)
{
    HWND stranger = CreateWindowExA(0, ClassNameOf(window).c_str(), "stranger", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                    100, nullptr, nullptr, kInstance, nullptr);

    ASSERT_TRUE(stranger);
    EXPECT_EQ(0, GetWindowLongA(stranger, GWL_USERDATA));
    EXPECT_TRUE(DestroyWindow(stranger));
}

// --- Messages ------------------------------------------------------------------------

TEST_F(BaseDlgWindow, SizeTakesTheClientRectangleUnlessMinimisedOrEmpty)
{
    const RECT marker = {1, 2, 3, 4};

    dlg->rect() = marker;
    SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(700, 400));
    EXPECT_EQ(marker, dlg->GetRect());

    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    RECT empty = RectOf(GetClientRect, window);
    ASSERT_TRUE(IsRectEmpty(&empty));
    EXPECT_EQ(marker, dlg->GetRect()) << "an empty client area is not taken";

    SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = RectOf(GetClientRect, window);
    EXPECT_FALSE(IsRectEmpty(&client));
    EXPECT_EQ(client, dlg->GetRect());
}

// A left button press starts a move by the caption.
TEST_F(BaseDlgWindow, EraseAnswersOneAndPaintsNothingPaintDrawsAndAnswersZero)
{
    MemoryCanvas canvas(50, 50);

    EXPECT_EQ(1, SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0));
    EXPECT_TRUE(canvas.AllPixels(kWhite));

    int draws = dlg->draws;
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(0, SendMessageA(window, WM_PAINT, 0, 0));
    EXPECT_EQ(draws + 1, dlg->draws);

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(std::vector<WPARAM>{0xF012}, dlg->sysCommands);
}

// --- Releasing and destroying -----------------------------------------------------------

TEST_F(BaseDlgWindow, WmDestroyReleasesFontAndBrushOnceAndKeepsTheHandle)
{
    const int added = GdiObjectsAddedBy([&] { DestroyWindow(window); });

    // WM_DESTROY does not clear the handle.
    EXPECT_EQ(std::make_tuple(-2, false, false, HBRUSH(), HFONT(), window),
              std::make_tuple(added, IsLive(brush), IsLive(font), dlg->brush(), dlg->font(), dlg->GetHwnd()));

    HBRUSH bystander = CreateSolidBrush(kGreen);
    EXPECT_EQ(0, GdiObjectsAddedBy([&] { dlg.reset(); }));
    EXPECT_TRUE(IsLive(bystander));
    DeleteObject(bystander);
}

// A new object: no window, the placement, and the font its controls will get.
TEST_F(BaseDlgWindow, ANewObjectHasNoWindowAndAWmDestroyBeforeWmCreateReleasesNothing)
{
    ProbeDlg fresh;
    EXPECT_EQ(std::make_tuple(false, HWND(), HWND(), kPlacement),
              std::make_tuple(fresh.created(), fresh.GetHwnd(), fresh.GetParent(), fresh.GetRect()));
    const LOGFONTA songTi = {-15, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, GB2312_CHARSET,
                             OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                             VARIABLE_PITCH | FF_DONTCARE, "\xCB\xCE\xCC\xE5"};  // 宋体 in GBK
    LOGFONTA given = {};
    ASSERT_EQ(OBJ_FONT, GetObjectType(fresh.font()));
    GetObjectA(fresh.font(), sizeof given, &given);
    EXPECT_EQ(FontFields(songTi), FontFields(given));
    const int added = GdiObjectsAddedBy([&] { fresh.WndProc(WM_DESTROY, 0, 0); });

    EXPECT_EQ(std::make_tuple(0, true, true), std::make_tuple(added, IsLive(fresh.brush()), IsLive(fresh.font())));
}

TEST_F(BaseDlgWindow, TheDestructorDestroysALiveWindow)
{
    dlg.reset();

    EXPECT_EQ(std::make_tuple(FALSE, false, false), std::make_tuple(IsWindow(window), IsLive(brush), IsLive(font)));
}

TEST_F(BaseDlgWindow, AfterTheUserClosedTheWindowOnlyTheProtectedCreateMakesANewOne)
{
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(window));
    int windows = CountOwnWindows();

    EXPECT_EQ(window, dlg->Create(nullptr, kInstance));
    EXPECT_EQ(std::make_tuple(windows, window), std::make_tuple(CountOwnWindows(), dlg->GetHwnd()));

    HWND again = dlg->CreateWith(CBaseDlg::STWndProc, nullptr);
    ASSERT_TRUE(again);
    EXPECT_NE(window, again);
    EXPECT_EQ(std::make_tuple(true, windows + 1), std::make_tuple(IsWindow(again) != FALSE, CountOwnWindows()));
}

TEST_F(BaseDlgWindow, ObjectsWithAndWithoutWindowsLeaveNoGdiObjectsBehind)
{
    delete new CBaseDlg;
    CBaseDlg().Create(nullptr, kInstance);  // warms up what a first window brings
    int start = CountGdiObjects();

    for (int i = 0; i < 1000; ++i)
        CBaseDlg().SetBgColor(i);
    EXPECT_EQ(start, CountGdiObjects()) << "never created";

    for (int i = 0; i < 20; ++i) {
        CBaseDlg created;
        ASSERT_TRUE(created.Create(nullptr, kInstance));
        created.SetBgColor(i);
    }
    EXPECT_EQ(start, CountGdiObjects()) << "destroyed by the destructor";

    for (int i = 0; i < 20; ++i) {
        CBaseDlg closed;
        ASSERT_TRUE(DestroyWindow(closed.Create(nullptr, kInstance)));
    }
    EXPECT_EQ(start, CountGdiObjects()) << "destroyed before the object";
}
