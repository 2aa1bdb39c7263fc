// A process's kernel handles, counted from the system handle table.
#pragma once

#include <windows.h>

// The entries of the system handle table that the process owns (registry keys, files, events,
// sockets, threads...), or -1 when the table cannot be read. Under Wine 8 this is the one
// source that counts them: GetProcessHandleCount and GetGuiResources always answer 0 there.
int CountHandlesOf(DWORD processId);
