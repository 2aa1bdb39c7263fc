#pragma once

#include "config/StoredCommand.h"
#include "config/ConfigPaths.h"
#include "config/DefaultConfig.h"
#include "config/ServerList.h"
#include "config/ShortcutError.h"
#include "support/Dialogs.h"
#include "support/ServerListView.h"
#include "support/SrvXml.h"
#include "support/TempDir.h"

#include <windows.h>
#include <shlwapi.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The autostart command of this test program for the address (GBK); by default the one the
// program puts in a new srv.xml.
inline std::string OwnCommand(const std::string& address = "129.6.15.28")
{
    return "\"" + ExePath() + "\" /ip " + address;
}

// What the main window does at construction: create the file only when it is missing; false when that fails.
inline bool CreateLikeStartUp(const std::string& path)
{
    return PathFileExistsA(path.c_str()) || (EnsureConfigFile(path.c_str()) && WriteDefaultConfig(path.c_str()));
}

// The text in UTF-16 with its byte-order mark in front, as Notepad saves "Unicode".
std::string Utf16WithMark(const std::string& utf8, bool bigEndian);

// The message box a file that does not parse brings, as "caption: text".
const char* const kNotParsedBox = "test_config: Document srv.xml not parsed successfully.";

// Both readers of srv.xml, one after the other, as the window starts.
struct BothReads {
    std::string command;
    ServerRows rows;
    std::vector<std::string> boxes;  // "caption: text", the command's first
    auto Tied() const { return std::tie(command, rows, boxes); }
};

// A shortcut step's error as one comparable value.
inline std::pair<ShortcutError::Source, DWORD> Pair(const ShortcutError& error) { return {error.source, error.code}; }

// The part, times times over.
template <class Text>
Text Repeated(const Text& part, int times)
{
    Text all;
    while (times-- > 0)
        all += part;
    return all;
}

// A folder of the test's with srv.xml in it, and the program's operations on that file, each
// answering the message boxes it shows.
struct SrvXmlFolder {
    TempDir dir;
    const std::string path = dir.file("srv.xml");
    std::vector<MessageBoxInfo> boxes;  // those of the last load or store

    bool Write(const std::string& text) const { return WriteFileBytes(path, text); }
    std::string Read() const { return ReadFileBytes(path); }
    // Expect no message box unless told otherwise.
    std::string LoadCommand(bool boxExpected = false);
    // Into a list view shown or hidden (SW_SHOW, SW_HIDE), which loading leaves so.
    ServerRows LoadRows(bool boxExpected = false, int show = SW_HIDE);
    bool Store(const std::string& command);
    std::optional<CommandNotKept> Keep(const std::string& command);
    BothReads LoadBoth();
};

// One call of the iconv adapter with room bytes of output.
struct IconvCall {
    size_t result;
    int error;  // errno after the call
    size_t consumed;
    std::string output;
    bool pointersAgree;  // each pointer moved as far as its count went down
};
IconvCall CallIconv(const char* to, const char* from, const std::string& input, size_t room);
