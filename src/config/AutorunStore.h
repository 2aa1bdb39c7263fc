#pragma once

// srv.xml: replacing the stored autostart command.

#include "config/ConfigXml.h"

#include <optional>

// Why srv.xml does not hold a command as start-up reads it back.
struct CommandNotKept {
    enum Reason {
        NotParsed,    // missing or not well-formed: never rewritten
        NotStorable,  // not whole GBK, or with a control character XML cannot hold
        SaveRefused,  // saveError gives the system's code
    };
    Reason reason = NotParsed;
    DWORD saveError = ERROR_SUCCESS;
};

// Puts the command where start-up reads it (an autorun element made first child of cfg, and
// cfg first child of the root, where they are missing) and into every autorun element, then
// saves the file. Nothing when the file now holds the command, also when it did before and the
// save was refused.
std::optional<CommandNotKept> KeepAutorunCommand(const char* directory, const char* command);

// True when the file now holds the command (KeepAutorunCommand without the reason).
bool StoreAutorunCommand(const char* directory, const char* command);

// Every //srv_root/cfg/autorun element; null when there is none.
XPathObjectHolder FindAutorunNodes(xmlDoc* document);

// Sets the command as the text of every autorun element; false when there is none or the
// command cannot be stored whole.
bool UpdateAutorunCommand(xmlDoc* document, const char* command);
