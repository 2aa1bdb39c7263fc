#include "timesync/SyncConnection.h"

#include <cstring>
#include <utility>

namespace {

constexpr WORD kWinsockVersion20 = MAKEWORD(2, 0);

}  // namespace

bool SyncConnection::StartWinsock(WSADATA& data)
{
    m_winsockStarted = WSAStartup(kWinsockVersion20, &data) == 0;
    if (!m_winsockStarted)
        data = WSADATA{};
    return m_winsockStarted;
}

SOCKET SyncConnection::OpenSocket()
{
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return m_socket;
}

bool SyncConnection::SelectEvents(HWND notifyWindow, UINT message, long events)
{
    m_notifyWindow = notifyWindow;
    return WSAAsyncSelect(m_socket, notifyWindow, message, events) != SOCKET_ERROR;
}

int SyncConnection::ReceiveMissingBytes()
{
    const int missing = kValueSize - m_receivedBytes;
    const int count = recv(m_socket, m_valueBytes + m_receivedBytes, missing, 0);
    if (count > 0)
        m_receivedBytes += count;
    return count;
}

uint32_t SyncConnection::Value() const
{
    uint32_t networkOrder = 0;
    std::memcpy(&networkOrder, m_valueBytes, sizeof networkOrder);
    return ntohl(networkOrder);
}

void SyncConnection::TakeOver(SyncConnection& other)
{
    Close();
    std::swap(m_winsockStarted, other.m_winsockStarted);
    std::swap(m_socket, other.m_socket);
    std::swap(m_notifyWindow, other.m_notifyWindow);
    std::swap(m_valueBytes, other.m_valueBytes);
    std::swap(m_receivedBytes, other.m_receivedBytes);
}

void SyncConnection::Close()
{
    if (m_socket != INVALID_SOCKET) {
        if (m_notifyWindow)
            WSAAsyncSelect(m_socket, m_notifyWindow, 0, 0);
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    if (m_winsockStarted)
        WSACleanup();
    m_winsockStarted = false;
    m_notifyWindow = nullptr;
    m_receivedBytes = 0;
}
