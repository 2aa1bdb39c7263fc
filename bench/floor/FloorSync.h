#pragma once
// The sync of both floor programs, as Zorvane's command line does it: a non-blocking connect
// whose events come to a window as kSocketMessage, four bytes, SetSystemTime, the quit message
// (0 after the value, 1 on an error).
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "framework/Trace.h"

namespace floorsync {

constexpr UINT kSocketMessage = WM_USER + 11;
// Seconds from 1601-01-01 (FILETIME) to 1900-01-01 (RFC 868).
constexpr unsigned long long kSeconds1601To1900 = 9435484800ULL;

inline SOCKET g_socket = INVALID_SOCKET;
inline unsigned char g_bytes[4];
inline int g_received = 0;

inline void SetClock()
{
    unsigned long value = (unsigned long)g_bytes[0] << 24 | g_bytes[1] << 16 | g_bytes[2] << 8 | g_bytes[3];
    ULARGE_INTEGER ticks;
    ticks.QuadPart = (value + kSeconds1601To1900) * 10000000ULL;
    FILETIME fileTime = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME systemTime;
    FileTimeToSystemTime(&fileTime, &systemTime);
    SetSystemTime(&systemTime);
}

// True once the four bytes are in.
inline bool ReceiveBytes()
{
    while (g_received < 4) {
        int count = recv(g_socket, reinterpret_cast<char*>(g_bytes) + g_received, 4 - g_received, 0);
        if (count <= 0)
            return false;
        g_received += count;
    }
    return true;
}

inline void OnSocketEvent(LPARAM lParam)
{
    const int event = WSAGETSELECTEVENT(lParam);
    if (g_received == 4)
        return;  // done already; the quit message is on its way
    if (WSAGETSELECTERROR(lParam)) {
        PostQuitMessage(1);
    } else if (event == FD_READ || event == FD_CLOSE) {
        TracePhase("readevent");
        if (ReceiveBytes()) {
            SetClock();
            PostQuitMessage(0);
        } else if (event == FD_CLOSE) {
            PostQuitMessage(1);
        }
    }
}

inline bool StartSync(HWND window, const std::string& address)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return false;
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(37);
    server.sin_addr.s_addr = inet_addr(address.c_str());
    g_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    WSAAsyncSelect(g_socket, window, kSocketMessage, FD_CONNECT | FD_READ | FD_CLOSE);
    connect(g_socket, reinterpret_cast<sockaddr*>(&server), sizeof server);
    return true;
}

}  // namespace floorsync
