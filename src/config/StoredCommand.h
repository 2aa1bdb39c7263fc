#pragma once

// srv.xml: the autostart command, as start-up reads it back and as a click of the box keeps it.

#include "config/ConfigXml.h"
#include "config/TextEncoding.h"

#include <optional>
#include <string>

// The command read from the file, in GBK.
ConvertedText StoredCommandInGbk(const std::string& utf8);

// Parses the file on its own and frees it. The stored command in GBK; the default command
// when it is missing or not this program's own sync command, empty when the file has no cfg
// element. A file that cannot be parsed shows "Document srv.xml not parsed successfully." and
// gives an empty command.
std::string LoadAutorunCommand(const char* path);

// The element whose first child, of any name, start-up takes the command from: the root's
// first child named cfg. Null when there is none.
xmlNode* FindConfigElement(const xmlDoc* doc);

// Why srv.xml does not hold a command as start-up reads it back.
struct CommandNotKept {
    enum Reason {
        NotParsed,    // there but not well-formed: never rewritten
        NotStorable,  // not whole GBK, or with a control character XML cannot hold
        SaveRefused,  // saveError gives the system's code
    };
    Reason reason = NotParsed;
    DWORD saveError = ERROR_SUCCESS;
};

// Puts the command where start-up reads it (an autorun element made first child of cfg, and
// cfg first child of the root, where they are missing) and into every autorun element, then
// saves the file. A file that is gone is written again as the default file holding this
// command. Nothing when the file now holds the command, also when it did before and the save
// was refused.
std::optional<CommandNotKept> KeepAutorunCommand(const char* directory, const char* command);

// True when the file now holds the command (KeepAutorunCommand without the reason). The
// window calls KeepAutorunCommand, whose reason it shows.
bool StoreAutorunCommand(const char* directory, const char* command);

// Every //srv_root/cfg/autorun element; null when there is none.
XPathObjectHolder FindAutorunNodes(xmlDoc* document);

// Sets the command as the text of every autorun element; false when there is none or the
// command cannot be stored whole.
bool UpdateAutorunCommand(xmlDoc* document, const char* command);
