// The sync's socket and its socket layer (its flow: TimeProtocol.h; its state: TimeSync.h).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// The socket-layer resources of one sync: its WSAStartup, its socket and the window that
// receives its notifications. Close releases all of them once, so no path leaks the socket
// or leaves WSAStartup unbalanced. Nothing here handles window messages: a message sent from
// another thread or process could otherwise start a new sync in the middle of a Close.
class SyncConnection {
public:
    SyncConnection() = default;
    ~SyncConnection() { Close(); }
    SyncConnection(const SyncConnection&) = delete;
    SyncConnection& operator=(const SyncConnection&) = delete;

    // Starts the socket layer (version 2.0); data is left zeroed when that fails.
    bool StartWinsock(WSADATA& data);
    // A TCP socket over IPv4, or INVALID_SOCKET.
    SOCKET OpenSocket();
    bool SelectEvents(HWND notifyWindow, UINT message, long events);

    SOCKET Socket() const { return m_socket; }
    bool IsOpen() const { return m_socket != INVALID_SOCKET; }

    // Receives what is still missing of the four-byte time value, never more; recv's result.
    int ReceiveMissingBytes();
    bool HasWholeValue() const { return m_receivedBytes == kValueSize; }
    // The four bytes received, in host order.
    uint32_t Value() const;

    // Closes whatever this one holds and takes over what other holds.
    void TakeOver(SyncConnection& other);
    void Close();

private:
    static constexpr int kValueSize = 4;

    bool m_winsockStarted = false;
    SOCKET m_socket = INVALID_SOCKET;
    HWND m_notifyWindow = nullptr;
    char m_valueBytes[kValueSize] = {};  // network order, as they come off the wire
    int m_receivedBytes = 0;
};
