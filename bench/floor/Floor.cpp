// The least a Win32 program can do to set the clock from an RFC 868 server the way
// Zorvane's command line does: Winsock, a hidden window for WSAAsyncSelect, a non-blocking
// connect, four bytes, SetSystemTime, exit. The lower bound of bench/run.sh.
// Usage: Floor.exe /ip <IPv4 address>
#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "floor/FloorSync.h"
#include "framework/Trace.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != floorsync::kSocketMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    floorsync::OnSocketEvent(lParam);
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
    TracePhase("winmain");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FloorSync";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FloorSync", "", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window || !floorsync::StartSync(window, AddressArgument(commandLine)))
        return 1;
    TracePhase("connecting");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    closesocket(floorsync::g_socket);
    WSACleanup();
    TracePhase("exit");
    return static_cast<int>(message.wParam);
}
