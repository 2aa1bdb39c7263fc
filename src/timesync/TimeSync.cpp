#include "timesync/TimeSync.h"

#include "timesync/SyncMessageAndTimer.h"

SOCKET g_timeSocket;
sockaddr_in g_serverAddr;
uint32_t g_timeValue;
int g_syncTicks;
bool g_commandLineMode;

namespace {

constexpr UINT kSyncTimerPeriodMs = 1000;

}  // namespace

void TimeSync::StartTimer(HWND window)
{
    StopTimer();
    m_ticks = g_syncTicks = 0;
    SetTimer(window, IDT_SYNC, kSyncTimerPeriodMs, nullptr);
    m_timerWindow = window;
}

void TimeSync::StopTimer()
{
    if (m_timerWindow)
        KillTimer(m_timerWindow, IDT_SYNC);
    m_timerWindow = nullptr;
}

bool TimeSync::CountTick(HWND window, WPARAM timerId)
{
    if (timerId != IDT_SYNC || window != m_timerWindow)
        return false;
    g_syncTicks = ++m_ticks;
    return true;
}

bool TimeSync::IsCurrentSocket(WPARAM socket) const
{
    return m_connection.IsOpen() && static_cast<SOCKET>(socket) == m_connection.Socket();
}

ReadResult TimeSync::Receive(bool peerClosed)
{
    while (!m_connection.HasWholeValue()) {
        const int count = m_connection.ReceiveMissingBytes();
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
    g_timeValue = m_connection.Value();
    return {ReadState::Complete, 0};
}

void TimeSync::CloseConnection()
{
    m_connection.Close();
    g_timeSocket = INVALID_SOCKET;
}

void TimeSync::TakeOver(SyncConnection& attempt)
{
    m_connection.TakeOver(attempt);
    g_timeSocket = m_connection.Socket();
}

void TimeSync::End()
{
    StopTimer();
    CloseConnection();
}
