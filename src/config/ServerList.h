#pragma once

// srv.xml: the server rows of the main window's list view.

#include <windows.h>

#include <string>

// Parses the directory's srv.xml on its own and appends a row for every srv element with a
// name and an address. A file that cannot be parsed shows "Document srv.xml not parsed
// successfully." and adds no row.
void LoadServerList(const char* directory, HWND listView);

// A name or address as a row shows and uses it: without the XML white space around it that
// pretty-printing editors put there.
std::string WithoutSurroundingSpace(std::string text);
