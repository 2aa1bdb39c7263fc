#include "timesync/TimeProtocol.h"

#include "ServerListColumns.h"
#include "framework/Trace.h"
#include "resource.h"
#include "timesync/ClockSetting.h"
#include "timesync/Log.h"
#include "timesync/SyncConnection.h"
#include "timesync/SyncMessageAndTimer.h"
#include "timesync/TimeSync.h"

#include <commctrl.h>

#include <string>

namespace {

// FD_CLOSE as well: without it a server that closes before sending four bytes leaves no
// trace, and the sync would wait for the timeout.
constexpr long kSyncEvents = FD_READ | FD_CONNECT | FD_CLOSE;
constexpr size_t kAddressBufferSize = 32;
constexpr int kExitSyncDone = 0;
constexpr int kExitSyncFailed = 1;
constexpr u_short kTimeProtocolPort = 37;
// The timeout fires on the tick that makes the count exceed this.
constexpr int kSyncTickLimit = 300;

HWND LogBoxOf(HWND mainWindow)
{
    return GetDlgItem(mainWindow, IDC_LOG);
}

void EndProgramIfCommandLine(int exitCode)
{
    if (g_commandLineMode)
        PostQuitMessage(exitCode);
}

// The address text of the first selected row, at most 31 bytes; empty when there is none.
std::string SelectedAddress(const CListCtrl& serverList)
{
    const int row = serverList.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return std::string();
    return serverList.GetItemText(row, kAddressColumn).substr(0, kAddressBufferSize - 1);
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

void OnConnectEvent(TimeSync& sync, HWND mainWindow, int error)
{
    HWND logBox = LogBoxOf(mainWindow);
    AppendLog(logBox, "\r\n");
    if (error) {
        AppendLog(logBox, "连接错误： #%i.", error);
        sync.CloseConnection();  // the timer goes on: from the list this sync ends in the timeout
        if (g_commandLineMode) {
            sync.StopTimer();
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
void OnReadEvent(TimeSync& sync, HWND mainWindow, int error, bool peerClosed)
{
    TracePhase("readevent");
    const ReadResult result = error ? ReadResult{ReadState::Failed, error}
                                    : sync.Receive(peerClosed);
    if (result.state == ReadState::Waiting)
        return;
    sync.End();
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
bool ReplaceSocket(TimeSync& sync, SyncConnection& attempt, HWND logBox)
{
    const SOCKET socket = attempt.OpenSocket();
    const int createError = WSAGetLastError();
    sync.CloseConnection();
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

}  // namespace

bool StartSyncFromList(TimeSync& sync, HWND mainWindow, const CListCtrl& serverList, HWND logBox)
{
    const std::string address = SelectedAddress(serverList);
    if (address.empty())
        return false;
    DiscardQueuedNotifications(mainWindow);
    SetDlgItemTextA(mainWindow, IDC_LOG, "");
    ConnectTimeServer(sync, logBox, mainWindow, address.c_str());
    sync.StartTimer(mainWindow);  // also after a failed start: that sync ends in the timeout
    return true;
}

bool ConnectTimeServer(TimeSync& sync, HWND logBox, HWND notifyWindow, const char* address)
{
    sync.StopTimer();
    SyncConnection attempt;  // closes itself on every failure below
    StartSocketLayer(attempt, logBox);
    if (!ReplaceSocket(sync, attempt, logBox) || !SelectSyncEvents(attempt, logBox, notifyWindow) ||
        !BeginConnect(attempt, logBox, address))
        return false;
    sync.TakeOver(attempt);
    return true;
}

void OnTimeSocket(TimeSync& sync, HWND mainWindow, WPARAM wParam, LPARAM lParam)
{
    if (!sync.IsCurrentSocket(wParam))
        return;
    const int error = WSAGETSELECTERROR(lParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_CONNECT:
        OnConnectEvent(sync, mainWindow, error);
        break;
    case FD_READ:
        OnReadEvent(sync, mainWindow, error, false);
        break;
    case FD_CLOSE:
        OnReadEvent(sync, mainWindow, error, true);
        break;
    default:
        break;
    }
}

void OnSyncTimer(TimeSync& sync, HWND mainWindow, WPARAM wParam)
{
    if (!sync.CountTick(mainWindow, wParam))
        return;
    HWND logBox = LogBoxOf(mainWindow);
    AppendLog(logBox, ".");
    if (sync.Ticks() <= kSyncTickLimit)
        return;
    sync.End();  // a late answer no longer reaches the clock
    SetWindowTextA(logBox, "网络连接失败！");
    EndProgramIfCommandLine(kExitSyncFailed);
}

void StartCommandLineSync(TimeSync& sync, HWND mainWindow, const char* address)
{
    if (!ConnectTimeServer(sync, nullptr, mainWindow, address)) {
        EndProgramIfCommandLine(kExitSyncFailed);
        return;
    }
    sync.StartTimer(mainWindow);
}
