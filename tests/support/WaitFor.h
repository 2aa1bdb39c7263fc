#pragma once

#include <windows.h>

#include <functional>

// Polls until the condition holds; false when the time ran out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000, DWORD pollMs = 10);
