#pragma once

// The autostart value under HKLM\Software\Microsoft\Windows\CurrentVersion\Run.
bool IsAutorunValuePresent(const char* valueName);
bool SetAutorunValue(const char* valueName, const char* command, bool enable);

// "Zorvane v1.0.lnk" in the user's desktop folder.
void UpdateDesktopShortcut(const char* targetPath, bool create);
bool IsDesktopShortcutPresent(const char* targetPath);
