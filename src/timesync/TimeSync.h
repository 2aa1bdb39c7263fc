// The sync's state: its timer and ticks (its flow: TimeProtocol.h; its socket: SyncConnection.h).
#pragma once

#include "timesync/SyncConnection.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// What the program exposes of its sync, one set for the whole program, all zero at start.
// g_timeSocket and g_syncTicks mirror the TimeSync below (the program has one, its main
// window's); g_serverAddr holds the address of the last connection attempt, g_timeValue the
// last value received, which the clock is set from; start-up sets g_commandLineMode.
extern SOCKET g_timeSocket;
extern sockaddr_in g_serverAddr;
extern uint32_t g_timeValue;
extern int g_syncTicks;
extern bool g_commandLineMode;

enum class ReadState { Waiting, Complete, Failed };

struct ReadResult {
    ReadState state;
    int error;  // the socket layer's code of a failure
};

// The running sync of one window: its connection, the window whose sync timer runs and the
// ticks counted since the sync began. The window that receives the sync's notifications owns
// it, so its connection and timer end with the window object at the latest.
class TimeSync {
public:
    TimeSync() = default;
    ~TimeSync() { End(); }
    TimeSync(const TimeSync&) = delete;
    TimeSync& operator=(const TimeSync&) = delete;

    // The one-second IDT_SYNC on the window, counting its ticks from 0.
    void StartTimer(HWND window);
    void StopTimer();
    // Counts a tick of the running sync timer; false, and nothing counted, for any other timer.
    bool CountTick(HWND window, WPARAM timerId);
    int Ticks() const { return m_ticks; }

    // Whether a notification that names this socket is one of the open connection.
    bool IsCurrentSocket(WPARAM socket) const;
    // Takes what has arrived of the four bytes; g_timeValue gets the value once all are in.
    // A connection that ends before all four arrived is a failure, reported as WSAEDISCON.
    ReadResult Receive(bool peerClosed);
    void CloseConnection();
    // The attempt's connection becomes the sync's; the one before is closed.
    void TakeOver(SyncConnection& attempt);
    // Timer stopped, connection closed.
    void End();

private:
    SyncConnection m_connection;
    HWND m_timerWindow = nullptr;
    int m_ticks = 0;
};
