#include "support/WaitFor.h"

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(pollMs);
    }
    return true;
}
