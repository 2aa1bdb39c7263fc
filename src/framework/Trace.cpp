#include "framework/Trace.h"

#ifdef ZORVANE_TRACE
#include <windows.h>

#include <cstdio>
#include <cstdlib>

void TracePhase(const char* phase)
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const double ms = 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
    const char* path = std::getenv("ZORVANE_TRACE_FILE");
    FILE* out = path ? std::fopen(path, "a") : stderr;
    if (!out)
        return;
    std::fprintf(out, "trace %s %.3f\n", phase, ms);
    if (out != stderr)
        std::fclose(out);
}

namespace {
// Runs with the C++ start-up, after the DLLs are loaded and before WinMain.
const bool kStartTraced = (TracePhase("crtinit"), true);

// The executable's first code: the loader calls its TLS callbacks once every DLL it imports
// has started, before the entry point and the C runtime's start-up.
void NTAPI TraceLoaded(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        TracePhase("loaded");
}
}  // namespace

extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK zorvaneTraceLoaded =
    TraceLoaded;
#endif
