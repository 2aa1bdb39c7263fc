// The tests' time server on port 37 of one loopback address, and the scripts it follows.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// One thing the server does on an accepted connection.
struct ServerStep {
    enum Kind {
        Send,              // send bytes (a failed send ends the connection)
        // The four bytes of the current second, sent as soon as it has begun: a client that
        // sets the clock to it within half a second moves the clock by less than that, which
        // Wine allows, however long the connection took.
        SendCurrentTime,
        Pause,             // wait milliseconds
        Close,             // graceful close
        Reset,             // close with SO_LINGER 0: the client sees a reset
        AwaitClientClose,  // read until the client closes (or the server stops)
        AwaitRelease,      // wait until Release() (or the server stops)
    };
    Kind kind;
    std::string bytes;
    DWORD milliseconds = 0;
};
using ServerScript = std::vector<ServerStep>;

// A scriptable RFC 868 server on port 37 of one loopback address, on its own thread in the
// test process. Connections are served one after another, each with the whole script; a
// connection still open when the script ends is closed gracefully. For "no listener at all",
// connect to an address on which no TimeServer runs.
class TimeServer {
public:
    TimeServer(const char* address, ServerScript script);
    ~TimeServer();  // stops the thread and closes every socket
    TimeServer(const TimeServer&) = delete;
    TimeServer& operator=(const TimeServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    const std::string& Address() const { return m_address; }
    int AcceptedCount() const { return m_accepted.load(); }
    // Connections that the client ended (seen while awaiting its close, or as a failed send).
    int ClientClosedCount() const { return m_clientClosed.load(); }
    bool WaitForAccepted(int count, DWORD timeoutMs) const { return WaitForCount(m_accepted, count, timeoutMs); }
    bool WaitForClientClosed(int count, DWORD timeoutMs) const { return WaitForCount(m_clientClosed, count, timeoutMs); }
    // Connections whose script has ended.
    bool WaitForFinished(int count, DWORD timeoutMs) const { return WaitForCount(m_finished, count, timeoutMs); }
    // Lets AwaitRelease steps go on.
    void Release() { m_released = true; }

private:
    void Run();
    void Serve(SOCKET connection);
    bool RunStep(SOCKET& connection, const ServerStep& step);
    bool SendAll(SOCKET connection, const std::string& bytes);
    bool AwaitClientClose(SOCKET connection);
    static bool WaitForCount(const std::atomic<int>& counter, int count, DWORD timeoutMs);

    std::string m_address;
    ServerScript m_script;
    bool m_winsockStarted = false;
    SOCKET m_listener = INVALID_SOCKET;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_released{false};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_clientClosed{0};
    std::atomic<int> m_finished{0};
    std::thread m_thread;
};

// Seconds since 1900-01-01 00:00:00 UTC of the current system time.
uint32_t CurrentTimeValue();

namespace TimeScripts {
// Sends bytes, then waits for the client to close (so the test can see that it did).
inline ServerScript SendThenAwaitClose(const std::string& bytes)
{
    return {{ServerStep::Send, bytes}, {ServerStep::AwaitClientClose, {}}};
}
inline ServerScript CurrentTime() { return {{ServerStep::SendCurrentTime, {}}, {ServerStep::AwaitClientClose, {}}}; }
// The pieces one after another with the step (a pause, say) between them, then waits for the
// client to close.
ServerScript InPieces(const std::vector<std::string>& pieces, const ServerStep& between);
// The bytes one at a time, pausing between them.
ServerScript Trickle(const std::string& bytes, DWORD pauseMs);
ServerScript TwoBytesThenClose();
// One megabyte that starts with the given bytes.
ServerScript Megabyte(const std::string& firstBytes);
// Accepts and never sends; the connection ends when the client closes it.
inline ServerScript Silent() { return {{ServerStep::AwaitClientClose, {}}}; }
// Sends only after Release(), then waits for the client to close.
inline ServerScript SendAfterRelease(const std::string& bytes)
{
    return {{ServerStep::AwaitRelease, {}}, {ServerStep::Send, bytes}, {ServerStep::AwaitClientClose, {}}};
}
}  // namespace TimeScripts
