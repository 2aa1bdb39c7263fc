#pragma once

// srv.xml: the autostart command as the file keeps it, read back in GBK.

#include "config/ConfigXml.h"
#include "config/TextEncoding.h"

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
