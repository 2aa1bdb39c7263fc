// Waiting for a condition, or for a window's answer, instead of sleeping.
#pragma once

#include <windows.h>

#include <functional>

// Polls until the condition holds; false when the time ran out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000, DWORD pollMs = 10);

// A WM_NULL answered in time: the window's thread has handled every message this thread sent
// or posted to it before (messages are taken in the order they were sent).
bool RoundTrip(HWND window, DWORD timeoutMs = 2000);
