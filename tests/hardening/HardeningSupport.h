#pragma once

// What the hardening tests share besides tests/support: what the system holds on behalf of
// a process, and the client connections to the test servers.

#include "support/DrivenZorvane.h"
#include "support/SyncTranscript.h"
#include "support/WaitFor.h"

#include <windows.h>

// What the system holds for a process, each from a source that Wine 8 really fills:
// GetGuiResources and GetProcessHandleCount are stubs there (always 0).
struct ProcessHoldings {
    int handles = -1;          // entries of the system handle table owned by the process
    int windows = -1;          // its windows, top-level and children (USER objects)
    int unixDescriptors = -1;  // open descriptors of its Unix process (/proc/<pid>/fd)
    int connections = -1;      // TCP connections to port 37 of 127.0.4.x held open by anyone
};

ProcessHoldings MeasureHoldings(const ZorvaneProcess& process);

// Open TCP connections (client side: remote port 37 in 127.0.4.0/24) in the states that
// hold a socket of a client that has not closed it: SYN_SENT, ESTABLISHED, CLOSE_WAIT.
int OpenTimeConnections();
