#pragma once

#include <cstddef>

// The shortcut's path is built in a zero-filled buffer of this many bytes.
constexpr size_t kShortcutPathBufferSize = 1300;

extern const char kShortcutFileName[];

// True when the narrow (ANSI code page) path ends with a backslash of its own, not with the
// second byte of a double-byte character that happens to be 0x5C.
bool EndsWithBackslash(const char* path);

// Turns the folder path held in buffer into the path of the shortcut file in that folder,
// followed by a second zero so it can serve as a one-entry file list. Gives false and leaves
// the buffer empty for an empty folder or when the result does not fit.
bool AppendShortcutFileName(char* buffer, size_t capacity);
