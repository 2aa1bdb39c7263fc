#pragma once

// srv.xml: replacing the stored autostart command.

#include "config/ConfigXml.h"

// True when the file now holds the command. A file that cannot be parsed or saved is left
// as it was; saveError receives the system's code for a save it refused, else ERROR_SUCCESS.
bool StoreAutorunCommand(const char* directory, const char* command, DWORD* saveError = nullptr);

// Every //srv_root/cfg/autorun element; null when there is none.
XPathObjectHolder FindAutorunNodes(xmlDoc* document);

// Sets the command as the text of every autorun element; false when there is none or the
// command cannot be stored whole.
bool UpdateAutorunCommand(xmlDoc* document, const char* command);
