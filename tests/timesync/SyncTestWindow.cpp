#include "SyncTestWindow.h"

#include "support/WaitFor.h"

#include <commctrl.h>

namespace {

// Marks the ticks a test posts, as against those of the real timer.
constexpr LPARAM kPostedTick = 0x7E57;

constexpr UINT kMarkMessage = WM_APP + 0x7E5;

}  // namespace

SyncTestWindow::SyncTestWindow()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // Any class will do: its window procedure is replaced before the first test message.
    m_window = CreateWindowExA(0, "STATIC", "sync test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    m_serverList.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, {0, 0, 300, 400}, m_window,
                        kServerListId);
    m_logBox.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    {300, 0, 600, 400}, m_window, kLogId);
    m_serverList.InsertColumn(0, "host", LVCFMT_LEFT, 150);
    m_serverList.InsertColumn(1, "ip", LVCFMT_LEFT, 150);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
}

LRESULT CALLBACK SyncTestWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SyncTestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case kMarkMessage:
        ++self->m_marksHandled;
        return 0;
    case kTimeSocketMessage:
        self->m_readNotices += WSAGETSELECTEVENT(lParam) == FD_READ;
        OnTimeSocket(self->m_sync, window, wParam, lParam);
        return 0;
    case WM_TIMER:
        ++self->m_realTicks;
        if (self->m_realTicksThrough)
            OnSyncTimer(self->m_sync, window, wParam);
        return 0;
    default:
        if (self && self->m_otherMessages)
            self->m_otherMessages(message, wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int SyncTestWindow::AddServer(const char* host, const char* address)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(m_serverList);
    item.pszText = const_cast<char*>(host);
    const int row = ListView_InsertItem(m_serverList, &item);
    ListView_SetItemText(m_serverList, row, 1, const_cast<char*>(address));
    return row;
}

bool SyncTestWindow::StartSync(int row)
{
    RemoteListSelect(m_serverList, row);
    const bool started = StartSyncFromList(m_sync, m_window, m_serverList, m_logBox);
    m_lastSocket = g_timeSocket;
    return started;
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
            OnSyncTimer(m_sync, m_window, message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool SyncTestWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    return WaitFor([&] {
        PumpPending();
        return done();
    }, timeoutMs);
}

bool SyncTestWindow::Settled()
{
    const int mark = ++m_marksPosted;
    PostMessageA(m_window, kMarkMessage, 0, 0);
    return PumpUntil([&] { return m_marksHandled == mark; });
}

::testing::AssertionResult SyncTestWindow::PumpUntilLogEndsWith(const std::string& tail, DWORD timeoutMs)
{
    if (PumpUntil([&] { return EndsWith(LogText(), tail); }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "log:\n" << LogText();
}

void SyncTestWindow::PostTicks(int count)
{
    for (int i = 0; i < count; ++i)
        PostMessageA(m_window, WM_TIMER, kSyncTimerId, kPostedTick);
    PumpPending();
}

TimeServer* SyncWindowTest::Serve(const char* address, const ServerScript& script)
{
    servers.push_back(std::make_unique<TimeServer>(address, script));
    EXPECT_TRUE(servers.back()->IsListening()) << address;
    return servers.back().get();
}

::testing::AssertionResult SyncWindowTest::SocketLayerReleased()
{
    servers.clear();
    if (WSACleanup() == 0)
        return ::testing::AssertionFailure() << "a start-up of the socket layer was left over";
    const int error = WSAGetLastError();
    if (error != WSANOTINITIALISED)
        return ::testing::AssertionFailure() << "WSACleanup failed with " << error;
    return ::testing::AssertionSuccess();
}
