#pragma once

#include "config/ShortcutError.h"
#include "config/StoredCommand.h"

#include <windows.h>

#include <optional>
#include <string>

// What the message boxes of the two check boxes say when the system did not take a change.

// A step failed when it did not succeed, unless it was to remove something that is not there
// (any more): the system then holds what the user asked for.
bool IsFailureToReport(bool succeeded, bool wanted, bool presentAfter);

// The text for a failed "开机自启" click: an empty command, a command without a program name,
// or the registry's refusal with its reason. example is a command that would work.
std::string AutostartFailureText(const std::string& command, const std::string& valueName,
                                 bool enable, DWORD error, const std::string& example);

// The text for a "开机自启" click whose registry step went through while srv.xml could not
// keep the command: why, and what to do so that, done as said, the box ends as it is now and
// srv.xml holds the command.
std::string CommandNotKeptText(const std::string& command, const std::string& valueName, bool enable,
                               const CommandNotKept& notKept);

// The text for ticking "开机自启" with this program's command that start-up would answer with the
// usage box: the address it refuses, or arguments of another form than "/ip" and an address.
std::string UnusableCommandText(const std::optional<std::string>& address, const std::string& example);

// The text for a failed "创建桌面快捷方式" click, with the reason as far as it is known.
std::string ShortcutFailureText(bool create, const ShortcutError& error);

// The system's reason for an error code in plain Chinese, with the code.
std::string SystemReasonText(DWORD error);
