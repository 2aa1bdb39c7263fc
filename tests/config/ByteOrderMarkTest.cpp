// A marked srv.xml turned into its text piece by piece, as it is read.
#include "ConfigTestSupport.h"
#include "config/ByteOrderMark.h"

#include <gtest/gtest.h>

namespace {

// The text of the bytes handed over in pieces of the size; nothing when they are no text.
std::optional<std::string> TextInPieces(const std::string& bytes, size_t piece)
{
    MarkedText marked;
    std::string text;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!marked.Add(std::string_view(bytes).substr(at, piece), text))
            return std::nullopt;
    }
    return marked.End(text) ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

// In pieces of every size, so each unit, pair and mark is cut somewhere: the text, with the
// mark and a second one behind it dropped. Nothing for no mark, a unit cut at the end, a pair's
// first half at the end or before another unit, or a second half alone, nor after that.
TEST(MarkedText, ReadsAsTheWholeFileWhereverThePiecesEnd)
{
    const std::string text = u8"<a>时\U0001F600b</a>", mark = "\xEF\xBB\xBF";
    const std::string little = Utf16WithMark(text, false);
    const std::string pair = Utf16WithMark(u8"\U0001F600", false).substr(2), firstHalf = pair.substr(0, 2);
    const std::pair<std::string, std::optional<std::string>> files[] = {
        {mark + text, text}, {little, text}, {Utf16WithMark(text, true), text}, {mark, ""},
        {mark + mark + text, text}, {Utf16WithMark(mark + text, false), text},
        {Utf16WithMark(mark + mark + text, true), mark + text},
        {text, std::nullopt}, {"\xEF\xBB", std::nullopt}, {little + "x", std::nullopt},
        {little + firstHalf, std::nullopt}, {little + firstHalf + std::string("x\0", 2), std::nullopt},
        {little + pair.substr(2) + pair, std::nullopt},
    };
    for (const auto& [bytes, expected] : files) {
        for (size_t piece = 1; piece <= bytes.size(); ++piece)
            EXPECT_EQ(expected, TextInPieces(bytes, piece)) << "pieces of " << piece;
    }
    MarkedText marked;
    std::string read;
    EXPECT_FALSE(marked.Add(little + pair.substr(2), read));
    EXPECT_FALSE(marked.Add(little, read)) << "no text once there was none";
}
