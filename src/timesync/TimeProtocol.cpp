#include "timesync/TimeProtocol.h"

#include "framework/Trace.h"
#include "timesync/ClockSetting.h"
#include "timesync/Log.h"
#include "timesync/SyncConnection.h"
#include "timesync/MainWindowIds.h"

#include <commctrl.h>

SOCKET g_timeSocket;
sockaddr_in g_serverAddr;
uint32_t g_timeValue;
int g_syncTicks;
bool g_commandLineMode;

namespace {

// FD_CLOSE as well: without it a server that closes before sending four bytes leaves no
// trace, and the sync would wait for the timeout.
constexpr long kSyncEvents = FD_READ | FD_CONNECT | FD_CLOSE;
constexpr int kAddressBufferSize = 32;
constexpr int kAddressColumn = 1;
constexpr int kItemTextSize = 260;
constexpr int kExitSyncDone = 0;
constexpr int kExitSyncFailed = 1;
constexpr u_short kTimeProtocolPort = 37;
constexpr UINT kSyncTimerPeriodMs = 1000;
// The timeout fires on the tick that makes the count exceed this.
constexpr int kSyncTickLimit = 300;

SyncConnection s_connection;
HWND s_timerWindow = nullptr;  // window whose IDT_SYNC runs for the current sync

HWND LogBoxOf(HWND mainWindow)
{
    return GetDlgItem(mainWindow, IDC_LOG);
}

void EndProgramIfCommandLine(int exitCode)
{
    if (g_commandLineMode)
        PostQuitMessage(exitCode);
}

void StopSyncTimer()
{
    if (s_timerWindow)
        KillTimer(s_timerWindow, IDT_SYNC);
    s_timerWindow = nullptr;
}

void StartSyncTimer(HWND mainWindow)
{
    StopSyncTimer();
    g_syncTicks = 0;
    SetTimer(mainWindow, IDT_SYNC, kSyncTimerPeriodMs, nullptr);
    s_timerWindow = mainWindow;
}

void CloseConnection()
{
    s_connection.Close();
    g_timeSocket = INVALID_SOCKET;
}

void EndSync()
{
    StopSyncTimer();
    CloseConnection();
}

// The address text of the first selected row, at most 31 bytes; empty when there is none.
bool ReadSelectedAddress(HWND serverList, char (&address)[kAddressBufferSize])
{
    address[0] = '\0';
    const LRESULT row = SendMessageA(serverList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                     MAKELPARAM(LVNI_SELECTED, 0));
    if (row < 0)
        return false;
    char text[kItemTextSize] = {};
    LVITEMA item = {};
    item.iSubItem = kAddressColumn;
    item.pszText = text;
    item.cchTextMax = kItemTextSize;
    SendMessageA(serverList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    lstrcpynA(address, text, kAddressBufferSize);
    return address[0] != '\0';
}

void FillServerAddress(const char* address)
{
    g_serverAddr = sockaddr_in{};
    g_serverAddr.sin_family = AF_INET;
    g_serverAddr.sin_port = htons(kTimeProtocolPort);
    g_serverAddr.sin_addr.s_addr = inet_addr(address);  // INADDR_NONE for bad text, used as is
}

// A non-blocking connect that returned 0 has not failed; its FD_CONNECT still comes.
int StartConnect(SOCKET socket)
{
    if (connect(socket, reinterpret_cast<const sockaddr*>(&g_serverAddr), sizeof g_serverAddr) == 0)
        return WSAEWOULDBLOCK;
    return WSAGetLastError();
}

enum class ReadState { Waiting, Complete, Failed };

struct ReadResult {
    ReadState state;
    int error;
};

// Takes what has arrived of the four bytes; g_timeValue gets the value once all are in.
// A connection that ends before all four arrived is a failure, reported as WSAEDISCON.
ReadResult ReceiveTimeBytes(bool peerClosed)
{
    while (!s_connection.HasWholeValue()) {
        const int count = s_connection.ReceiveMissingBytes();
        if (count > 0)
            continue;
        if (count == 0)
            return {ReadState::Failed, WSAEDISCON};
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            return {ReadState::Failed, error};
        return peerClosed ? ReadResult{ReadState::Failed, WSAEDISCON}
                          : ReadResult{ReadState::Waiting, 0};
    }
    g_timeValue = s_connection.Value();
    return {ReadState::Complete, 0};
}

void OnConnectEvent(HWND mainWindow, int error)
{
    HWND logBox = LogBoxOf(mainWindow);
    AppendLog(logBox, "\r\n");
    if (error) {
        AppendLog(logBox, "连接错误： #%i.", error);
        CloseConnection();  // the timer goes on: from the list this sync ends in the timeout
        if (g_commandLineMode) {
            StopSyncTimer();
            EndProgramIfCommandLine(kExitSyncFailed);
        }
        return;
    }
    AppendLog(logBox, "已成功连接到时间服务器\r\n\r\n");
    AppendLog(logBox, "正在接受数据，请稍候...");
}

void ReportReceivedValue(HWND mainWindow)
{
    AppendLog(LogBoxOf(mainWindow), "接受的时间为从1900年1月1日起 %u 秒 \r\n", g_timeValue);
    SetClockFromTimeValue(mainWindow);
    EndProgramIfCommandLine(kExitSyncDone);
}

// FD_READ, and FD_CLOSE (peerClosed): a partial value waits quietly for the rest, with the
// timer still running so that a server trickling too slowly times out.
void OnReadEvent(HWND mainWindow, int error, bool peerClosed)
{
    TracePhase("readevent");
    const ReadResult result = error ? ReadResult{ReadState::Failed, error}
                                    : ReceiveTimeBytes(peerClosed);
    if (result.state == ReadState::Waiting)
        return;
    EndSync();
    AppendLog(LogBoxOf(mainWindow), "\r\n");
    if (result.state == ReadState::Complete) {
        ReportReceivedValue(mainWindow);
        return;
    }
    AppendLog(LogBoxOf(mainWindow), "FD_READ 错误! #%i.", result.error);
    EndProgramIfCommandLine(kExitSyncFailed);
}

// Notifications of sockets closed before may still wait in the queue, and the new socket may
// get one of their handle values. PeekMessage also handles messages that other threads and
// processes send meanwhile, which may start a sync themselves; before this sync has begun
// anything that is harmless.
void DiscardQueuedNotifications(HWND mainWindow)
{
    MSG stale;
    while (PeekMessageA(&stale, mainWindow, WM_TIMESOCKET, WM_TIMESOCKET, PM_REMOVE)) {
    }
}

void StartSocketLayer(SyncConnection& attempt, HWND logBox)
{
    WSADATA winsock = {};
    attempt.StartWinsock(winsock);
    AppendLog(logBox, "\r\nStarted up %hs\r\n\r\n", winsock.szDescription);
}

// The running sync's socket is closed only once the new one exists, so the new handle
// cannot take over its value: a notification of the old one that comes late can never
// pass for one of the new.
bool ReplaceSocket(SyncConnection& attempt, HWND logBox)
{
    const SOCKET socket = attempt.OpenSocket();
    const int createError = WSAGetLastError();
    CloseConnection();
    g_timeSocket = socket;
    if (socket == INVALID_SOCKET) {
        AppendLog(logBox, "Socket 创建失败! #%i\r\n\r\n", createError);
        return false;
    }
    AppendLog(logBox, "Socket %i  已经成功创建!\r\n\r\n", static_cast<int>(socket));
    return true;
}

bool SelectSyncEvents(SyncConnection& attempt, HWND logBox, HWND notifyWindow)
{
    if (attempt.SelectEvents(notifyWindow, WM_TIMESOCKET, kSyncEvents))
        return true;
    AppendLog(logBox, "WSAAsyncSelect 错误： #%i.\r\n\r\n", WSAGetLastError());
    return false;
}

bool BeginConnect(const SyncConnection& attempt, HWND logBox, const char* address)
{
    FillServerAddress(address);
    const int error = StartConnect(attempt.Socket());
    if (error != WSAEWOULDBLOCK) {
        AppendLog(logBox, "连接错误： #%i.\r\n\r\n", error);
        return false;
    }
    AppendLog(logBox, "正在连接: %hs...", address);
    return true;
}

bool IsCurrentSocket(WPARAM socket)
{
    return s_connection.IsOpen() && static_cast<SOCKET>(socket) == s_connection.Socket();
}

}  // namespace

bool StartSyncFromList(HWND mainWindow, HWND serverList, HWND logBox)
{
    char address[kAddressBufferSize];
    if (!ReadSelectedAddress(serverList, address))
        return false;
    DiscardQueuedNotifications(mainWindow);
    SetDlgItemTextA(mainWindow, IDC_LOG, "");
    ConnectTimeServer(logBox, mainWindow, address);
    StartSyncTimer(mainWindow);  // also after a failed start: that sync ends in the timeout
    return true;
}

bool ConnectTimeServer(HWND logBox, HWND notifyWindow, const char* address)
{
    StopSyncTimer();
    g_timeValue = 0;
    SyncConnection attempt;  // closes itself on every failure below
    StartSocketLayer(attempt, logBox);
    if (!ReplaceSocket(attempt, logBox))
        return false;
    if (!SelectSyncEvents(attempt, logBox, notifyWindow) || !BeginConnect(attempt, logBox, address)) {
        g_timeSocket = INVALID_SOCKET;
        return false;
    }
    s_connection.TakeOver(attempt);
    return true;
}

void OnTimeSocket(HWND mainWindow, WPARAM wParam, LPARAM lParam)
{
    if (!IsCurrentSocket(wParam))
        return;
    const int error = WSAGETSELECTERROR(lParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_CONNECT:
        OnConnectEvent(mainWindow, error);
        break;
    case FD_READ:
        OnReadEvent(mainWindow, error, false);
        break;
    case FD_CLOSE:
        OnReadEvent(mainWindow, error, true);
        break;
    default:
        break;
    }
}

void OnSyncTimer(HWND mainWindow, WPARAM wParam)
{
    if (wParam != IDT_SYNC || mainWindow != s_timerWindow)
        return;
    ++g_syncTicks;
    HWND logBox = LogBoxOf(mainWindow);
    AppendLog(logBox, ".");
    if (g_syncTicks <= kSyncTickLimit)
        return;
    EndSync();  // a late answer no longer reaches the clock
    SetWindowTextA(logBox, "网络连接失败！");
    EndProgramIfCommandLine(kExitSyncFailed);
}

void StartCommandLineSync(HWND mainWindow, const char* address)
{
    if (!ConnectTimeServer(nullptr, mainWindow, address)) {
        EndProgramIfCommandLine(kExitSyncFailed);
        return;
    }
    StartSyncTimer(mainWindow);
}
