#pragma once

#include "config/ShortcutError.h"

// "Zorvane v1.0.lnk" in the user's desktop folder. True when the file was saved, or is no
// longer there after a deletion; otherwise *error (when asked for) says why.
bool UpdateDesktopShortcut(const char* targetPath, bool create, ShortcutError* error = nullptr);
bool IsDesktopShortcutPresent(const char* targetPath);

// What a deletion came to, judged by the file: gone is success whatever the shell answered
// (there may have been nothing to delete); still there is a failure, with the shell's reason,
// or ERROR_ACCESS_DENIED when the shell answered success all the same.
ShortcutError DeletionOutcome(const ShortcutError& shellAnswer, bool fileRemains);
