#include "config/ConfigText.h"
#include "config/TextEncoding.h"
#include "config/iconv_adapter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// Narrow literals are GBK at run time; u8 literals stay UTF-8.
const char* const ChinesePathGbk = "C:\\程序\\时间同步\\Zorvane.exe";
const char* const ChinesePathUtf8 = u8"C:\\程序\\时间同步\\Zorvane.exe";

struct Conversion {
    int result;
    std::string text;
};

Conversion Convert(const char* to, const char* from, const std::string& input, size_t capacity)
{
    char output[512];
    std::memset(output, 'x', sizeof output);
    int result = ConvertText(to, from, input.c_str(), input.size(), output, capacity);
    return {result, std::string(output, std::strlen(output) < capacity ? std::strlen(output) : capacity)};
}

}  // namespace

TEST(ConvertText, ChinesePathRoundTripsBetweenGbkAndUtf8)
{
    char utf8[256];
    ASSERT_EQ(0, ConvertText("UTF-8", "GBK", ChinesePathGbk, std::strlen(ChinesePathGbk), utf8, sizeof utf8));
    EXPECT_STREQ(ChinesePathUtf8, utf8);
    char gbk[256];
    ASSERT_EQ(0, ConvertText("GBK", "UTF-8", utf8, std::strlen(utf8), gbk, sizeof gbk));
    EXPECT_STREQ(ChinesePathGbk, gbk);
}

TEST(ConvertText, InvalidUtf8ByteStopsTheTextThereAndKeepsItTerminated)
{
    char output[32];
    std::memset(output, 'x', sizeof output);
    std::string input = "ab\xFF" "cd";
    EXPECT_EQ(-1, ConvertText("GBK", "UTF-8", input.c_str(), input.size(), output, 16));
    EXPECT_STREQ("ab", output);
    for (int i = 2; i < 16; ++i)
        EXPECT_EQ('\0', output[i]) << i;
    EXPECT_EQ('x', output[16]) << "only the capacity offered is filled";
}

TEST(ConvertText, FullOutputKeepsWhatFitted)
{
    // "中文" is three UTF-8 bytes each: four bytes of room hold only the first.
    Conversion c = Convert("UTF-8", "GBK", "中文", 4);
    EXPECT_EQ(-1, c.result);
    EXPECT_EQ(u8"中", c.text);
    EXPECT_EQ(0, Convert("UTF-8", "GBK", "中文", 6).result);
}

TEST(ConvertText, UnknownEncodingLeavesTheOutputUntouched)
{
    char output[8];
    std::memset(output, 'x', sizeof output);
    EXPECT_EQ(-1, ConvertText("UTF-16", "GBK", "ab", 2, output, sizeof output));
    EXPECT_EQ(0, std::memcmp(output, "xxxxxxxx", 8));
}

TEST(ConvertText, AbsentInputOnlyFlushes)
{
    char output[8];
    std::memset(output, 'x', sizeof output);
    EXPECT_EQ(0, ConvertText("UTF-8", "GBK", nullptr, 0, output, sizeof output));
    EXPECT_EQ(std::string(8, '\0'), std::string(output, 8));
}

namespace {

struct IconvRun {
    size_t result;
    int error;
    size_t consumed;
    std::string output;
};

IconvRun RunIconv(const char* to, const char* from, const std::string& input, size_t room)
{
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(reinterpret_cast<iconv_t>(-1), cd);
    std::string in = input;
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char out[64] = {};
    char* outPtr = out;
    size_t outLeft = room;
    errno = 0;
    size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    int error = errno;
    EXPECT_EQ(static_cast<size_t>(inPtr - &in[0]), in.size() - inLeft) << "input pointer and count agree";
    EXPECT_EQ(static_cast<size_t>(outPtr - out), room - outLeft) << "output pointer and count agree";
    iconv_close(cd);
    return {result, error, in.size() - inLeft, std::string(out, outPtr)};
}

}  // namespace

TEST(IconvAdapter, ConvertsAndAdvancesBothSides)
{
    IconvRun r = RunIconv("UTF-8", "GBK", "A中B", 64);
    EXPECT_EQ(0u, r.result);
    EXPECT_EQ(4u, r.consumed);
    EXPECT_EQ(u8"A中B", r.output);
}

TEST(IconvAdapter, StopsBeforeAnIncompleteSequenceAtTheEnd)
{
    IconvRun gbk = RunIconv("UTF-8", "GBK", "A\xD6", 64);
    EXPECT_EQ(static_cast<size_t>(-1), gbk.result);
    EXPECT_EQ(EINVAL, gbk.error);
    EXPECT_EQ(1u, gbk.consumed);
    EXPECT_EQ("A", gbk.output);

    IconvRun utf8 = RunIconv("GBK", "UTF-8", "A\xE4\xB8", 64);
    EXPECT_EQ(EINVAL, utf8.error);
    EXPECT_EQ(1u, utf8.consumed);
    EXPECT_EQ("A", utf8.output);
}

TEST(IconvAdapter, StopsBeforeAnInvalidSequence)
{
    IconvRun pair = RunIconv("UTF-8", "GBK", "A\xD6\x30" "B", 64);
    EXPECT_EQ(EILSEQ, pair.error);
    EXPECT_EQ(1u, pair.consumed);

    IconvRun cut = RunIconv("GBK", "UTF-8", "A\xE4\xB8" "B", 64);
    EXPECT_EQ(EILSEQ, cut.error) << "a sequence broken inside the text is invalid, not incomplete";
    EXPECT_EQ(1u, cut.consumed);

    IconvRun noGbkForm = RunIconv("GBK", "UTF-8", u8"A\U0001F600", 64);
    EXPECT_EQ(EILSEQ, noGbkForm.error);
    EXPECT_EQ("A", noGbkForm.output);
}

TEST(IconvAdapter, StopsWhenTheNextCharacterDoesNotFit)
{
    IconvRun r = RunIconv("UTF-8", "GBK", "A中", 3);
    EXPECT_EQ(static_cast<size_t>(-1), r.result);
    EXPECT_EQ(E2BIG, r.error);
    EXPECT_EQ(1u, r.consumed);
    EXPECT_EQ("A", r.output);
}

TEST(IconvAdapter, OpensOnlyGbkAndUtf8)
{
    errno = 0;
    EXPECT_EQ(reinterpret_cast<iconv_t>(-1), iconv_open("UTF-16LE", "GBK"));
    EXPECT_EQ(EINVAL, errno);
    errno = 0;
    EXPECT_EQ(reinterpret_cast<iconv_t>(-1), iconv_open("UTF-8", "LATIN1"));
    EXPECT_EQ(EINVAL, errno);
    iconv_t cd = iconv_open("gbk", "utf-8");
    ASSERT_NE(reinterpret_cast<iconv_t>(-1), cd);
    EXPECT_EQ(0u, iconv(cd, nullptr, nullptr, nullptr, nullptr)) << "flush of a stateless encoding";
    EXPECT_EQ(0, iconv_close(cd));
}

TEST(BufferConversion, DefaultCommandIsCutBetweenCharacters)
{
    // "ab中" is five UTF-8 bytes; a buffer of five keeps one for the terminator.
    EXPECT_EQ("ab", Utf8CommandForBuffer("ab中", 5));
    EXPECT_EQ(u8"ab中", Utf8CommandForBuffer("ab中", 6));
    std::string longCommand = "\"C:\\" + std::string(300, 'a') + "\\时间.exe\" /ip 129.6.15.28";
    std::string cut = Utf8CommandForBuffer(longCommand, 260);
    EXPECT_EQ(259u, cut.size());
    EXPECT_EQ(0, longCommand.compare(0, 259, cut));
}

TEST(BufferConversion, WholeTextsFitWhateverTheirCharacters)
{
    std::string euros(50, '\x80');  // one byte in code page 936, three in UTF-8
    ConvertedText utf8 = GbkToUtf8(euros);
    EXPECT_TRUE(utf8.complete);
    EXPECT_EQ(150u, utf8.text.size());
    ConvertedText back = Utf8ToGbk(utf8.text);
    EXPECT_TRUE(back.complete);
    EXPECT_EQ(euros, back.text);
}

TEST(BufferConversion, AsciiReadsTheSameInBothAndAZeroByteEndsTheText)
{
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    ConvertedText same = Utf8ToGbk(ascii);
    EXPECT_TRUE(same.complete);
    EXPECT_EQ(ascii, same.text);
    ConvertedText cut = Utf8ToGbk(std::string("host\0name", 9));
    EXPECT_EQ("host", cut.text);
    ConvertedText mixed = Utf8ToGbk(u8"a.时间.example");
    EXPECT_TRUE(mixed.complete);
    EXPECT_EQ("a.时间.example", mixed.text);
}

TEST(NarrowToWide, ShortAndLongTexts)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with the Chinese code page";
    EXPECT_STREQ(L"C:\\程序\\时间同步\\Zorvane.exe", NarrowToWide(ChinesePathGbk).c_str());
    std::string longText;
    std::wstring longWide;
    for (int i = 0; i < 200; ++i) {
        longText += "时a";
        longWide += L"时a";
    }
    NarrowToWide wide(longText.c_str());
    EXPECT_EQ(longWide, wide.c_str());
    EXPECT_STREQ(L"", NarrowToWide("").c_str());
    EXPECT_EQ(nullptr, NarrowToWide(nullptr).c_str());
}

TEST(WideToNarrow, ShortLongAndEmptyTexts)
{
    EXPECT_STREQ(ChinesePathGbk, WideToNarrow(L"C:\\程序\\时间同步\\Zorvane.exe").c_str());
    std::wstring longWide(300, L'同');
    std::string expected;
    for (int i = 0; i < 300; ++i)
        expected += "同";
    EXPECT_EQ(expected, WideToNarrow(longWide.c_str()).c_str());
    WideToNarrow empty(L"");
    ASSERT_NE(nullptr, empty.c_str());
    EXPECT_EQ(0u, std::strlen(empty.c_str()));
    EXPECT_EQ(nullptr, WideToNarrow(nullptr).c_str());
}
