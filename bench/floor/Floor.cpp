// The least a Win32 program can do to set the clock from an RFC 868 server the way
// Zorvane's command line does: Winsock, a hidden window for WSAAsyncSelect, a non-blocking
// connect, four bytes, SetSystemTime, exit. The yardstick of bench/run.sh.
// Usage: Floor.exe /ip <IPv4 address>
#include <winsock2.h>
#include <windows.h>

#include <cstring>

namespace {

constexpr UINT kSocketMessage = WM_USER + 11;
// Seconds from 1601-01-01 (FILETIME) to 1900-01-01 (RFC 868).
constexpr unsigned long long kSeconds1601To1900 = 9435484800ULL;

SOCKET g_socket = INVALID_SOCKET;
unsigned char g_bytes[4];
int g_received = 0;

void SetClock()
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
bool ReceiveBytes()
{
    while (g_received < 4) {
        int count = recv(g_socket, reinterpret_cast<char*>(g_bytes) + g_received, 4 - g_received, 0);
        if (count <= 0)
            return false;
        g_received += count;
    }
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kSocketMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    const int event = WSAGETSELECTEVENT(lParam);
    if (g_received == 4)
        return 0;  // done already; the quit message is on its way
    if (WSAGETSELECTERROR(lParam)) {
        PostQuitMessage(1);
    } else if (event == FD_READ || event == FD_CLOSE) {
        if (ReceiveBytes()) {
            SetClock();
            PostQuitMessage(0);
        } else if (event == FD_CLOSE) {
            PostQuitMessage(1);
        }
    }
    return 0;
}

const char* AddressArgument(const char* commandLine)
{
    const char* space = std::strrchr(commandLine, ' ');
    return space ? space + 1 : commandLine;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return 1;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FloorSync";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FloorSync", "", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(37);
    server.sin_addr.s_addr = inet_addr(AddressArgument(commandLine));
    g_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    WSAAsyncSelect(g_socket, window, kSocketMessage, FD_CONNECT | FD_READ | FD_CLOSE);
    connect(g_socket, reinterpret_cast<sockaddr*>(&server), sizeof server);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    closesocket(g_socket);
    WSACleanup();
    return static_cast<int>(message.wParam);
}
