#include "ConfigTestSupport.h"
#include "config/TextEncoding.h"
#include "config/iconv_adapter.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// A stored command converted to GBK: whether it was whole, and the text.
std::pair<bool, std::string> GbkOfStored(const std::string& utf8)
{
    const ConvertedText converted = StoredCommandInGbk(utf8);
    return {converted.complete, converted.text};
}

// Narrow literals are GBK at run time; u8 literals stay UTF-8.
const char* const ChinesePathGbk = "C:\\程序\\时间同步\\Zorvane.exe";
const char* const ChinesePathUtf8 = u8"C:\\程序\\时间同步\\Zorvane.exe";

// The whole output buffer after a conversion into the first capacity bytes of 64 'x'.
std::string BufferAfter(const char* to, const char* from, const char* input, size_t inputLength,
                        size_t capacity, int expectedResult)
{
    std::string output(64, 'x');
    EXPECT_EQ(expectedResult, ConvertText(to, from, input, inputLength, &output[0], capacity));
    return output;
}

// text, then zeros up to capacity, then the untouched rest.
std::string Filled(const std::string& text, size_t capacity)
{
    return text + std::string(capacity - text.size(), '\0') + std::string(64 - capacity, 'x');
}

}  // namespace

// The output is zero-filled within the capacity offered and holds what was converted before
// a stop: an invalid byte, a full output. Nothing is touched without a converter; an absent
// input only flushes.
TEST(ConvertText, ConvertsWithinTheCapacityAndKeepsWhatCameBeforeAStop)
{
    const std::string gbkPath = ChinesePathGbk, utf8Path = ChinesePathUtf8;
    EXPECT_EQ(Filled(utf8Path, 40), BufferAfter("UTF-8", "GBK", gbkPath.c_str(), gbkPath.size(), 40, 0));
    EXPECT_EQ(Filled(gbkPath, 40), BufferAfter("GBK", "UTF-8", utf8Path.c_str(), utf8Path.size(), 40, 0));
    EXPECT_EQ(Filled("ab", 16), BufferAfter("GBK", "UTF-8", "ab\xFF" "cd", 5, 16, -1));
    // "中文" is three UTF-8 bytes each: four bytes of room hold only the first.
    EXPECT_EQ(Filled(u8"中", 4), BufferAfter("UTF-8", "GBK", "中文", 4, 4, -1));
    EXPECT_EQ(Filled(u8"中文", 6), BufferAfter("UTF-8", "GBK", "中文", 4, 6, 0));
    EXPECT_EQ(std::string(64, 'x'), BufferAfter("UTF-16", "GBK", "ab", 2, 8, -1));
    EXPECT_EQ(Filled("", 8), BufferAfter("UTF-8", "GBK", nullptr, 0, 8, 0));
}

// iconv's contract: both sides advanced past what was done, a stop before the sequence that
// is incomplete (EINVAL), invalid (EILSEQ) or does not fit (E2BIG).
TEST(IconvAdapter, ConvertsAndStopsAsIconvDoes)
{
    // To, from, the input, room for output, the error (0: converted), bytes consumed, the output.
    const std::tuple<const char*, const char*, std::string, size_t, int, size_t, std::string> runs[] = {
        {"UTF-8", "GBK", "A中B", 64, 0, 4, u8"A中B"},
        {"UTF-8", "GBK", "A\xD6", 64, EINVAL, 1, "A"},
        {"GBK", "UTF-8", "A\xE4\xB8", 64, EINVAL, 1, "A"},
        {"UTF-8", "GBK", "A\xD6\x30" "B", 64, EILSEQ, 1, "A"},
        {"GBK", "UTF-8", "A\xE4\xB8" "B", 64, EILSEQ, 1, "A"},  // broken inside the text: invalid
        {"GBK", "UTF-8", u8"A\U0001F600", 64, EILSEQ, 1, "A"},  // no GBK form
        {"UTF-8", "GBK", "A中", 3, E2BIG, 1, "A"},
    };
    for (const auto& [to, from, input, room, error, consumed, output] : runs) {
        const IconvCall call = CallIconv(to, from, input, room);
        const size_t result = error == 0 ? 0u : static_cast<size_t>(-1);
        EXPECT_EQ(std::make_tuple(result, error, true, consumed, output),
                  std::make_tuple(call.result, call.result == 0 ? 0 : call.error, call.pointersAgree, call.consumed,
                                  call.output))
            << input;
    }
}

TEST(IconvAdapter, OpensOnlyGbkAndUtf8)
{
    for (const auto& names : {std::make_pair("UTF-16LE", "GBK"), std::make_pair("UTF-8", "LATIN1")}) {
        errno = 0;
        EXPECT_EQ(reinterpret_cast<iconv_t>(-1), iconv_open(names.first, names.second)) << names.second;
        EXPECT_EQ(EINVAL, errno) << names.second;
    }
    iconv_t cd = iconv_open("gbk", "utf-8");
    ASSERT_NE(reinterpret_cast<iconv_t>(-1), cd);
    EXPECT_EQ(0u, iconv(cd, nullptr, nullptr, nullptr, nullptr)) << "flush of a stateless encoding";
    EXPECT_EQ(0, iconv_close(cd));
}

TEST(BufferConversion, DefaultCommandIsCutBetweenCharacters)
{
    // "ab中" is five UTF-8 bytes; a buffer of five keeps one for the terminator.
    EXPECT_EQ("ab", DefaultCommandInUtf8("ab中", 5));
    EXPECT_EQ(u8"ab中", DefaultCommandInUtf8("ab中", 6));
    std::string longCommand = "\"C:\\" + std::string(300, 'a') + "\\时间.exe\" /ip 129.6.15.28";
    EXPECT_EQ(longCommand.substr(0, 259), DefaultCommandInUtf8(longCommand, 260));
}

// ASCII reads the same in both, and a zero byte ends the text.
TEST(BufferConversion, WholeTextsFitWhateverTheirCharacters)
{
    // The euro sign: one byte in code page 936, three in UTF-8.
    const std::string euros(50, '\x80'), utf8Euros = Repeated<std::string>(u8"\u20AC", 50);
    EXPECT_EQ(std::optional(utf8Euros), WholeUtf8OfGbk(euros));
    EXPECT_EQ(std::make_pair(true, euros), GbkOfStored(utf8Euros));

    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    EXPECT_EQ(std::make_pair(true, ascii), GbkOfStored(ascii));
    EXPECT_EQ("host", StoredCommandInGbk(std::string("host\0name", 9)).text);
    EXPECT_EQ(std::make_pair(true, std::string("a.时间.example")), GbkOfStored(u8"a.时间.example"));
}

TEST(NarrowAndWide, ShortLongAndEmptyTextsEitherWay)
{
    ASSERT_EQ(936u, GetACP()) << "tests run with the Chinese code page";
    const std::pair<std::string, std::wstring> texts[] = {
        {ChinesePathGbk, L"C:\\程序\\时间同步\\Zorvane.exe"},
        {"时间乗A", {0x65F6, 0x95F4, 0x4E57, 0x41}},  // 乗 is 0x81 0x5C: a trail byte that is a backslash
        {"C:\\用户\\桌面\\Zorvane v1.0.lnk", L"C:\\\x7528\x6237\\\x684C\x9762\\Zorvane v1.0.lnk"},
        {Repeated<std::string>("时a", 200), Repeated<std::wstring>(L"时a", 200)},
        {Repeated<std::string>("同", 300), std::wstring(300, L'同')},
        {"", L""},
    };
    for (const auto& [narrow, wide] : texts) {
        EXPECT_EQ(std::optional<std::wstring>(wide), WideOfNarrow(narrow.c_str()));
        EXPECT_EQ(std::optional<std::string>(narrow), NarrowOfWide(wide.c_str()));
    }
    EXPECT_FALSE(WideOfNarrow(nullptr));
    EXPECT_FALSE(NarrowOfWide(nullptr));
}

// Names and addresses are shown in GBK; a character GBK lacks shows as '?' and the text goes on.
TEST(DisplayText, ACharacterGbkLacksBecomesOneQuestionMark)
{
    EXPECT_EQ("a?b", GbkForDisplay(u8"a\U0001F600b")) << "four bytes, one character";
    EXPECT_EQ("时?间", GbkForDisplay(u8"时\uD55C间")) << "three bytes, one character";
    EXPECT_EQ("??.example", GbkForDisplay(u8"\U0001F600\U0001F600.example"));
    EXPECT_EQ("10.0.0.1", GbkForDisplay("10.0.0.1"));
}
