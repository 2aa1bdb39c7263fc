#pragma once

// The autostart command inside a parsed srv.xml document (used by the store and its tests).

#include "config/ConfigXml.h"

// Every //srv_root/cfg/autorun element; null when there is none.
XPathObjectHolder FindAutorunNodes(xmlDoc* document);

// Sets the command as the text of every autorun element; false when there is none or the
// command cannot be stored whole.
bool UpdateAutorunCommand(xmlDoc* document, const char* command);
