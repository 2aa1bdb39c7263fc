// A marked srv.xml turned into its text piece by piece, as it is read.
#include "ConfigTestSupport.h"

#include "config/ConfigText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

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

// Each file in pieces of every size from one byte to the whole file.
void ExpectTextInEveryPieceSize(const std::string& bytes, const std::optional<std::string>& expected)
{
    for (size_t piece = 1; piece <= bytes.size(); ++piece)
        EXPECT_EQ(expected, TextInPieces(bytes, piece)) << "pieces of " << piece;
}

}  // namespace

// ASCII, a character of three UTF-8 bytes and one beyond 16 bits (a surrogate pair), each cut
// between pieces somewhere; a second mark is dropped with the first, a third is text.
TEST(MarkedText, EveryMarkReadsAsTheTextWhereverThePiecesEnd)
{
    const std::string text = u8"<a>时\U0001F600b</a>";
    const std::pair<std::string, std::string> files[] = {
        {kUtf8Mark + text, text},
        {Utf16WithMark(text, false), text},
        {Utf16WithMark(text, true), text},
        {kUtf8Mark + kUtf8Mark + text, text},
        {Utf16WithMark(kUtf8Mark + text, false), text},
        {Utf16WithMark(kUtf8Mark + kUtf8Mark + text, true), kUtf8Mark + text},
        {kUtf8Mark, ""},
        {Utf16WithMark("", true), ""},
    };
    for (const auto& [bytes, expected] : files)
        ExpectTextInEveryPieceSize(bytes, expected);
}

// No mark, a unit cut at the end, a pair's first half at the end, before another unit, or a
// second half alone: no text, also for the bytes handed over after that.
TEST(MarkedText, BytesThatAreNoMarkedTextGiveNone)
{
    const std::string pair = Utf16WithMark(u8"\U0001F600", false).substr(2);
    const std::string firstHalf = pair.substr(0, 2), secondHalf = pair.substr(2);
    const std::string files[] = {
        "<a/>",
        SrvXmlAround(""),
        "\xEF\xBB",
        Utf16WithMark("<a/>", false) + "x",
        Utf16WithMark("<a/>", false) + firstHalf,
        Utf16WithMark("<a/>", false) + firstHalf + std::string("x\0", 2),
        Utf16WithMark("<a/>", false) + secondHalf + firstHalf + secondHalf,
    };
    for (const std::string& bytes : files)
        ExpectTextInEveryPieceSize(bytes, std::nullopt);
    MarkedText marked;
    std::string text;
    EXPECT_FALSE(marked.Add(Utf16WithMark("<a>", false) + secondHalf, text));
    EXPECT_FALSE(marked.Add(Utf16WithMark("<a>", false), text)) << "no text once there was none";
    EXPECT_FALSE(marked.End(text));
}
