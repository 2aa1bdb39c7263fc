#include "SyncTestWindow.h"

#include "support/MainWindowFacts.h"
#include "timesync/TimeProtocol.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const char* const kWindowClass = "ZorvaneSyncTestWindow";
// Marks the ticks a test posts, as against those of the real timer.
constexpr LPARAM kPostedTick = 0x7E57;

void RegisterTestClass()
{
    static bool registered = false;
    if (registered)
        return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    registered = true;
}

void AddColumn(HWND list, int index, const char* title)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 150;
    column.pszText = const_cast<char*>(title);
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

SyncTestWindow::SyncTestWindow()
{
    RegisterTestClass();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    m_window = CreateWindowExA(0, kWindowClass, "sync test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                               nullptr, nullptr, instance, nullptr);
    m_serverList = CreateWindowExA(0, WC_LISTVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                                   300, 400, m_window, reinterpret_cast<HMENU>(kServerListId),
                                   instance, nullptr);
    m_logBox = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                   ES_AUTOVSCROLL,
                               300, 0, 300, 400, m_window, reinterpret_cast<HMENU>(kLogId),
                               instance, nullptr);
    AddColumn(m_serverList, 0, "host");
    AddColumn(m_serverList, 1, "ip");
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
}

SyncTestWindow::~SyncTestWindow()
{
    DestroyWindow(m_window);
}

LRESULT CALLBACK SyncTestWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SyncTestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case kTimeSocketMessage:
        OnTimeSocket(window, wParam, lParam);
        return 0;
    case WM_TIMER:
        self->OnTimer(wParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void SyncTestWindow::OnTimer(WPARAM wParam)
{
    ++m_realTicks;
    if (m_realTicksThrough)
        OnSyncTimer(m_window, wParam);
}

std::string SyncTestWindow::LogText() const
{
    const int length = GetWindowTextLengthA(m_logBox);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(m_logBox, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void SyncTestWindow::SetLogText(const std::string& text)
{
    SetWindowTextA(m_logBox, text.c_str());
}

int SyncTestWindow::AddServer(const char* host, const char* address)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(m_serverList, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(host);
    const int row = static_cast<int>(
        SendMessageA(m_serverList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(address);
    SendMessageA(m_serverList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return row;
}

void SyncTestWindow::SelectRow(int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_serverList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_serverList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool SyncTestWindow::StartSync(int row)
{
    SelectRow(row);
    const bool started = StartSyncFromList(m_window, m_serverList, m_logBox);
    m_lastSocket = g_timeSocket;
    return started;
}

SOCKET SyncTestWindow::StartSyncWith(const char* address)
{
    EXPECT_TRUE(StartSync(AddServer("time.test", address)));
    return g_timeSocket;
}

::testing::AssertionResult SyncTestWindow::EndsWithFullSync(const std::string& address, unsigned value)
{
    const bool ended(PumpUntilLogEndsWith(kClockRefused));
    const std::string expected =
        OpeningLines(address, m_lastSocket) + ConnectedLines() + ValueLines(value) + kClockRefused;
    if (ended && LogText() == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "log:\n" << LogText() << "\nexpected:\n" << expected;
}

void SyncTestWindow::PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            m_quitCode = static_cast<int>(message.wParam);
            continue;
        }
        // DispatchMessage would take a tick's lParam for a timer procedure and drop it.
        if (message.message == WM_TIMER && message.hwnd == m_window &&
            message.lParam == kPostedTick) {
            OnSyncTimer(m_window, message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool SyncTestWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPending();
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

::testing::AssertionResult SyncTestWindow::PumpUntilLogEndsWith(const std::string& tail, DWORD timeoutMs)
{
    if (PumpUntil([&] { return EndsWith(LogText(), tail); }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "log:\n" << LogText();
}

void SyncTestWindow::PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

void SyncTestWindow::PostTicks(int count)
{
    for (int i = 0; i < count; ++i)
        PostMessageA(m_window, WM_TIMER, kSyncTimerId, kPostedTick);
    PumpPending();
}
