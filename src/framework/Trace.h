#pragma once

// Start-up phases for bench/phases.py. Built in only with the CMake option ZORVANE_TRACE
// (off by default); otherwise every call compiles to nothing.
#ifdef ZORVANE_TRACE
// Appends "trace <phase> <QueryPerformanceCounter in ms>" to the file named by the
// environment variable ZORVANE_TRACE_FILE, or to stderr without it.
void TracePhase(const char* phase);
#else
inline void TracePhase(const char*) {}
#endif
