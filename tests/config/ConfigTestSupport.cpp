#include "ConfigTestSupport.h"

#include "config/iconv_adapter.h"

#include <gtest/gtest.h>

#include <cerrno>

std::string Utf16WithMark(const std::string& utf8, bool bigEndian)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    bytes.reserve(bytes.size() + 2 * wide.size());
    for (wchar_t unit : wide) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::string SrvXmlFolder::LoadCommand(bool boxExpected)
{
    std::string command;
    boxes = AnswerMessageBoxesDuring([&] { command = LoadAutorunCommand(path.c_str()); });
    EXPECT_TRUE(boxExpected || boxes.empty()) << boxes.front().text;
    return command;
}

ServerRows SrvXmlFolder::LoadRows(bool boxExpected, int show)
{
    ServerListView view;
    ShowWindow(view.handle(), show);
    boxes = AnswerMessageBoxesDuring([&] { LoadServerList(dir.path().c_str(), view.handle()); });
    EXPECT_TRUE(boxExpected || boxes.empty()) << boxes.front().text;
    EXPECT_EQ(show == SW_SHOW, (GetWindowLongA(view.handle(), GWL_STYLE) & WS_VISIBLE) != 0)
        << (show == SW_SHOW ? "a shown list hidden" : "a hidden list shown");
    return view.AllRows();
}

bool SrvXmlFolder::Store(const std::string& command)
{
    bool stored = false;
    boxes = AnswerMessageBoxesDuring([&] { stored = StoreAutorunCommand(dir.path().c_str(), command.c_str()); });
    return stored;
}

std::optional<CommandNotKept> SrvXmlFolder::Keep(const std::string& command)
{
    std::optional<CommandNotKept> notKept;
    boxes = AnswerMessageBoxesDuring([&] { notKept = KeepAutorunCommand(dir.path().c_str(), command.c_str()); });
    return notKept;
}

BothReads SrvXmlFolder::LoadBoth()
{
    BothReads result;
    result.command = LoadCommand(true);
    std::vector<MessageBoxInfo> shown = boxes;
    result.rows = LoadRows(true);
    shown.insert(shown.end(), boxes.begin(), boxes.end());
    for (const MessageBoxInfo& box : shown)
        result.boxes.push_back(box.caption + ": " + box.text);
    return result;
}

IconvCall CallIconv(const char* to, const char* from, const std::string& input, size_t room)
{
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(reinterpret_cast<iconv_t>(-1), cd) << from << " -> " << to;
    std::string in = input;
    std::vector<char> out(room + 1);
    char *inPtr = &in[0], *outPtr = out.data();
    size_t inLeft = in.size(), outLeft = room;
    errno = 0;
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    iconv_close(cd);
    const bool agree = static_cast<size_t>(inPtr - &in[0]) == in.size() - inLeft &&
                       static_cast<size_t>(outPtr - out.data()) == room - outLeft;
    return {result, error, in.size() - inLeft, std::string(out.data(), outPtr), agree};
}
