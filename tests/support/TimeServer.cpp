#include "support/TimeServer.h"

#include "support/SyncTranscript.h"
#include "support/WaitFor.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <utility>

namespace {

constexpr u_short kTimePort = 37;
constexpr DWORD kPollSliceMs = 20;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000;
// 1601-01-01 to 1900-01-01 in seconds.
constexpr uint64_t kSeconds1601To1900 = 9435484800ULL;
constexpr linger kAbortiveClose = {1, 0};  // the client sees a reset

// Waits up to one poll slice for the socket to become readable (read) or writable.
bool WaitReady(SOCKET socket, bool read)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval slice = {0, static_cast<long>(kPollSliceMs * 1000)};
    const int ready = read ? select(0, &set, nullptr, nullptr, &slice)
                           : select(0, nullptr, &set, nullptr, &slice);
    return ready > 0;
}

void SetNonBlocking(SOCKET socket)
{
    u_long on = 1;
    ioctlsocket(socket, FIONBIO, &on);
}

}  // namespace

uint32_t CurrentTimeValue()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t units = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<uint32_t>(units / kFileTimeUnitsPerSecond - kSeconds1601To1900);
}

TimeServer::TimeServer(const char* address, ServerScript script)
    : m_address(address), m_script(std::move(script))
{
    WSADATA data;
    m_winsockStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET)
        return;
    BOOL reuse = TRUE;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
               sizeof reuse);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(kTimePort);
    local.sin_addr.s_addr = inet_addr(address);
    if (bind(m_listener, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR ||
        listen(m_listener, SOMAXCONN) == SOCKET_ERROR) {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return;
    }
    SetNonBlocking(m_listener);
    m_thread = std::thread(&TimeServer::Run, this);
}

TimeServer::~TimeServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    if (m_winsockStarted)
        WSACleanup();
}

bool TimeServer::WaitForCount(const std::atomic<int>& counter, int count, DWORD timeoutMs)
{
    return WaitFor([&] { return counter.load() >= count; }, timeoutMs);
}

void TimeServer::Run()
{
    while (!m_stop) {
        if (!WaitReady(m_listener, true))
            continue;
        SOCKET connection = accept(m_listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
            continue;
        ++m_accepted;
        Serve(connection);
        ++m_finished;
    }
}

void TimeServer::Serve(SOCKET connection)
{
    SetNonBlocking(connection);
    for (const ServerStep& step : m_script) {
        if (m_stop || !RunStep(connection, step))
            break;
    }
    if (connection != INVALID_SOCKET)
        closesocket(connection);
}

// False ends the connection's script.
bool TimeServer::RunStep(SOCKET& connection, const ServerStep& step)
{
    switch (step.kind) {
    case ServerStep::Send:
        return SendAll(connection, step.bytes);
    case ServerStep::SendCurrentTime: {
        const uint32_t second = CurrentTimeValue();
        WaitFor([&] { return m_stop || CurrentTimeValue() != second; }, 1100, 1);
        const u_long networkOrder = htonl(CurrentTimeValue());
        return SendAll(connection, std::string(reinterpret_cast<const char*>(&networkOrder), 4));
    }
    case ServerStep::Pause:
        WaitFor([&] { return m_stop.load(); }, step.milliseconds, kPollSliceMs);
        return !m_stop;
    case ServerStep::AwaitRelease:
        WaitFor([&] { return m_stop || m_released; }, INFINITE, kPollSliceMs);
        return !m_stop;
    case ServerStep::AwaitClientClose:
        return AwaitClientClose(connection);
    case ServerStep::Reset:
        setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&kAbortiveClose),
                   sizeof kAbortiveClose);
        [[fallthrough]];
    case ServerStep::Close:
        closesocket(connection);
        connection = INVALID_SOCKET;
        return false;
    }
    return false;
}

bool TimeServer::SendAll(SOCKET connection, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size() && !m_stop) {
        const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - sent, 65536));
        const int count = send(connection, bytes.data() + sent, chunk, 0);
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            ++m_clientClosed;  // reset or aborted by the client
            return false;
        }
        WaitReady(connection, false);
    }
    return sent == bytes.size();
}

bool TimeServer::AwaitClientClose(SOCKET connection)
{
    char ignored[512];
    while (!m_stop) {
        if (!WaitReady(connection, true))
            continue;
        const int count = recv(connection, ignored, sizeof ignored, 0);
        if (count == 0 || (count < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) {
            ++m_clientClosed;
            return true;
        }
    }
    return false;
}

namespace TimeScripts {

ServerScript InPieces(const std::vector<std::string>& pieces, const ServerStep& between)
{
    ServerScript script;
    for (const std::string& piece : pieces) {
        if (!script.empty())
            script.push_back(between);
        script.push_back({ServerStep::Send, piece});
    }
    script.push_back({ServerStep::AwaitClientClose, {}});
    return script;
}

ServerScript Trickle(const std::string& bytes, DWORD pauseMs)
{
    std::vector<std::string> pieces;
    for (char byte : bytes)
        pieces.emplace_back(1, byte);
    return InPieces(pieces, {ServerStep::Pause, {}, pauseMs});
}

ServerScript TwoBytesThenClose()
{
    return {{ServerStep::Send, kValue2015.substr(0, 2)}, {ServerStep::Close, {}}};
}

ServerScript Megabyte(const std::string& firstBytes)
{
    std::string bytes = firstBytes;
    bytes.resize(1024 * 1024, '\x5A');
    return SendThenAwaitClose(bytes);
}

}  // namespace TimeScripts
