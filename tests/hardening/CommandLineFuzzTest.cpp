// Random command lines and addresses, from a fixed seed, through the command-line rules:
// nothing throws or crashes, and what the rules promise holds for every case. What a case
// must give follows from how it was made, not from the rules under test.
#include "config/CommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kCases = 4000;
constexpr unsigned kSeed = 20240611;

class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }
    bool OneIn(int n) { return Below(n) == 0; }

    // A double-byte GBK character; its trail byte may be 0x5C, the backslash.
    std::string GbkCharacter()
    {
        static const unsigned char trails[] = {0x40, 0x5C, 0x7E, 0x80, 0xA1, 0xFE};
        std::string c(1, static_cast<char>(0x81 + Below(0x7E)));
        c.push_back(static_cast<char>(OneIn(2) ? trails[Below(6)] : 0xA1 + Below(0x5E)));
        return c;
    }

    // Without "plain", blanks and quotes too, which move the boundaries of arguments.
    std::string Piece(int maxLength, bool plain = false)
    {
        static const char alphabet[] = "aZ09.-/\\:_*?<>|%&^!,;= \t\"";
        std::string text;
        const int length = Below(maxLength + 1);
        while (static_cast<int>(text.size()) < length)
            text += OneIn(6) ? GbkCharacter() : std::string(1, alphabet[Below(sizeof alphabet - (plain ? 4 : 1))]);
        return text;
    }

    // A switch is any one character and its key: "ip" in any letter case, or anything else.
    std::string Lead() { return std::vector<std::string>{"/", "-", "x", "\xD6\xD0", "\\", "i"}[Below(6)]; }
    std::string Key() { return std::vector<std::string>{"ip", "IP", "Ip", "iP", "ipx", "", Piece(6, true)}[Below(7)]; }

    std::string Token()
    {
        static const char* const switches[] = {"/ip", "-ip", "/IP", "/", "-", "\"\"", "/ip\"", "\\\"/ip",
                                               "/x", "//ip", "\"/ip 1.2.3.4\"", "ip"};
        switch (Below(6)) {
        case 0:
            return switches[Below(sizeof switches / sizeof *switches)];
        case 1:
            return "\"" + Piece(12) + (OneIn(3) ? "" : "\"");
        case 2:
            return OneIn(8) ? std::string(1000 + Below(3000), 'x') + Piece(4) : Piece(30);
        case 3:
            return Address();
        default:
            return Piece(8);
        }
    }

    std::string Address()
    {
        std::string text;
        for (int i = Below(7); i > 0; --i) {
            text += std::string(Below(3), '.');
            text += OneIn(5) ? Piece(3) : std::to_string(Below(1000));
        }
        return text + std::string(Below(2), '.');
    }

    std::string CommandLine(std::string line)
    {
        for (int i = Below(7); i > 0; --i)
            line += (OneIn(4) ? "\t" : " ") + Token();
        return line;
    }

    // A program path, quoted or not, of GBK or plain characters.
    std::string Program()
    {
        std::string path = OneIn(2) ? "C:\\Tools\\" : "\\\\server\\share\\dir\\";
        path += Piece(20) + (OneIn(2) ? ".exe" : "") + (OneIn(5) ? ".bak" : "");
        return OneIn(2) ? "\"" + path + "\"" : path;
    }

private:
    std::mt19937 m_random;
};

std::wstring Wide(const std::string& gbk)
{
    const int length = MultiByteToWideChar(936, 0, gbk.c_str(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, gbk.c_str(), static_cast<int>(gbk.size()), &wide[0], length);
    return wide;
}

// How many pieces the text has between dots, a run of dots counting as one, up to four; those four.
std::pair<int, std::array<std::string, 4>> FirstFourPieces(const std::string& text)
{
    std::pair<int, std::array<std::string, 4>> pieces;
    std::istringstream between(text);
    for (std::string piece; pieces.first < 4 && std::getline(between, piece, '.');) {
        if (!piece.empty())
            pieces.second[pieces.first++] = piece;
    }
    return pieces;
}

// The argument is one character followed by the key; a missing or empty one names the empty key.
bool NamesKey(const wchar_t* argument, const std::wstring& key)
{
    const std::wstring text = argument ? argument : L"";
    return text.empty() ? key.empty() : text.size() == key.size() + 1 && text.compare(1, key.size(), key) == 0;
}

std::optional<std::wstring> ValueOf(const ArgumentMap& map, const std::string& key)
{
    const auto entry = map.find(Wide(key));
    return entry == map.end() ? std::nullopt : std::optional<std::wstring>(entry->second);
}

std::string OtherCase(std::string text)
{
    for (char& c : text)
        c ^= std::isalpha(static_cast<unsigned char>(c)) ? 0x20 : 0;  // an ASCII letter's case bit
    return text;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

// Two switches whose keys the line is made of, then anything: the shell's own split
// (CommandLineToArgvW) says where the arguments after them begin and end.
TEST(CommandLineFuzz, EachSwitchTakesTheArgumentAfterIt)
{
    Generator random(kSeed);
    for (int n = 0; n < kCases; ++n) {
        const std::string first = random.Key();
        const std::string second = random.OneIn(3) ? random.Key() : random.OneIn(2) ? first : OtherCase(first);
        const std::string firstValue = "1" + random.Piece(8, true);
        const std::string secondValue = "2v" + random.Piece(8, true);  // no key starts with "v"
        const std::string secondSwitch = " " + random.Lead() + second + " " + secondValue;
        const std::string firstSwitch = random.Lead() + first + " " + firstValue;
        const std::string program = "\"C:\\Tools\\" + random.Piece(20, true) + ".exe\" ";
        const std::string line = random.CommandLine(program + firstSwitch + secondSwitch);
        ArgumentVector argv(Wide(line).c_str());
        ASSERT_TRUE(argv.IsValid()) << line;
        const ArgumentMap map = ParseArguments(argv.Values(), argv.Count());
        SCOPED_TRACE("case " + std::to_string(n) + ": " + line);
        ASSERT_LE(static_cast<int>(map.size()), (argv.Count() - 1) / 2);
        const wchar_t* const* const end = argv.Values() + argv.Count();
        for (const auto& entry : map) {
            auto isEntry = [&](auto key, auto value) { return NamesKey(key, entry.first) && entry.second == value; };
            ASSERT_NE(end, std::adjacent_find(argv.Values() + 1, end, isEntry)) << "no key followed by its value";
        }
        // A second switch that repeats the first exactly is skipped, and its value read as the switch "v...".
        const bool repeated = Wide(second) == Wide(first);
        const auto next = argv.Count() > 5 ? std::optional<std::wstring>(argv.Values()[5]) : std::nullopt;
        ASSERT_EQ(std::make_pair(std::optional(Wide(firstValue)), repeated ? next : Wide(secondValue)),
                  std::make_pair(ValueOf(map, first), ValueOf(map, repeated ? secondValue.substr(1) : second)));
    }
}

TEST(CommandLineFuzz, ArgumentVectorsWithHolesAndOddCounts)
{
    Generator random(kSeed + 1);
    for (int n = 0; n < kCases; ++n) {
        std::vector<std::wstring> storage;
        const int count = random.Below(9);
        for (int i = 0; i < count; ++i)
            storage.push_back(Wide(random.Token()));
        std::vector<const wchar_t*> argv;
        for (const std::wstring& argument : storage)
            argv.push_back(random.OneIn(10) ? nullptr : argument.c_str());
        const ArgumentMap map = ParseArguments(argv.data(), count);
        ASSERT_LE(static_cast<int>(map.size()), count / 2) << "case " << n;
        for (const auto& entry : map) {
            const auto namesTheKey = [&](const wchar_t* argument) { return NamesKey(argument, entry.first); };
            ASSERT_TRUE(std::any_of(argv.begin() + 1, argv.end(), namesTheKey)) << "case " << n;
        }
    }
    EXPECT_TRUE(ParseArguments(nullptr, 0).empty());
}

TEST(CommandLineFuzz, DotSplittingAndAddressAcceptance)
{
    Generator random(kSeed + 2);
    int accepted = 0;
    for (int n = 0; n < kCases; ++n) {
        std::string text = random.OneIn(3) ? random.Piece(40) : random.Address();
        if (random.OneIn(50))
            text += std::string(5000, random.OneIn(2) ? '.' : '7');
        SCOPED_TRACE("case " + std::to_string(n) + ": " + text);
        std::array<std::string, 4> pieces;
        const int count = SplitAtDots(text.c_str(), pieces);
        ASSERT_EQ(FirstFourPieces(text), std::make_pair(count, pieces));

        const bool fourDigitPieces = count == 4 && std::all_of(pieces.begin(), pieces.end(), AllDigits);
        ASSERT_EQ(fourDigitPieces, IsAcceptedAddress(text.c_str()));
        accepted += fourDigitPieces ? 1 : 0;
    }
    EXPECT_GT(accepted, kCases / 50) << "the generator must reach accepted addresses too";
    std::array<std::string, 4> pieces;
    EXPECT_EQ(0, SplitAtDots(nullptr, pieces));
    EXPECT_FALSE(IsAcceptedAddress(nullptr));
}

// The value name: a file name without folder, quotes or the extension of a simple name.
TEST(CommandLineFuzz, ProgramNameIsABareFileName)
{
    Generator random(kSeed + 3);
    int named = 0;
    for (int n = 0; n < kCases; ++n) {
        std::string line, expected;
        bool simple = random.OneIn(3);
        if (simple) {
            std::string name;
            while (name.size() < 1 + static_cast<size_t>(random.Below(300)))
                name += random.OneIn(4) ? random.GbkCharacter() : std::string(1, 'a' + random.Below(26));
            // _MAX_FNAME holds 255 characters and the terminator.
            expected = Wide(name).size() < _MAX_FNAME ? name : "";
            line = random.CommandLine("\"C:\\" + std::string(1 + random.Below(3), 'd') + "\\" + name + ".exe\"");
        } else {
            line = random.CommandLine(random.Program());
        }
        SCOPED_TRACE("case " + std::to_string(n) + ": " + line);
        const std::string result = ProgramNameOfCommand(line.c_str());
        const std::wstring wide = Wide(result);
        ArgumentVector argv(Wide(line).c_str());
        const std::wstring first = argv.Values()[0];
        ASSERT_EQ(std::wstring::npos, wide.find_first_of(L"\\/")) << result;
        // An unquoted first argument keeps quotes inside it as characters of the name.
        ASSERT_TRUE(first.find(L'"') != std::wstring::npos || wide.find(L'"') == std::wstring::npos) << result;
        ASSERT_LT(wide.size(), static_cast<size_t>(_MAX_FNAME));
        ASSERT_TRUE(!simple || result == expected) << result << " for " << expected;
        ASSERT_TRUE(result.empty() || first.find(wide) != std::wstring::npos);
        named += result.empty() ? 0 : 1;
    }
    EXPECT_GT(named, kCases / 4);
    // A lone lead byte has no UTF-16 form: no name, and no exception either.
    EXPECT_NO_THROW(ProgramNameOfCommand("\"C:\\a\\b\x81\""));
}

// The "ip" switch comes first, in its own letter case or another, or not at all; nothing after
// it spells "ip".
TEST(CommandLineFuzz, OwnSyncCommandNeedsThisProgramAndTheIpSwitch)
{
    Generator random(kSeed + 4);
    const std::string own = ExePath();
    const std::string ownName = own.substr(own.find_last_of('\\') + 1);
    int ownCount = 0;
    for (int n = 0; n < kCases; ++n) {
        // This program, in other letter case, another file beside it, its name elsewhere, any program.
        const int kind = random.Below(5);
        const std::string programs[] = {own, OtherCase(own), own + ".other", "C:\\Tools\\" + ownName, random.Program()};
        const std::string program = kind == 4 ? programs[4] : "\"" + programs[kind] + "\"";
        const char* const switches[] = {" /ip", " -ip", " -IP", " /Ip", ""};
        const int switchKind = random.Below(5);
        std::string line = program + switches[switchKind] + " 1" + random.Address();
        for (int i = random.Below(6); i > 0; --i) {
            std::string token = random.Token();
            line += token.find("ip") == std::string::npos ? " " + token : "";
        }
        SCOPED_TRACE("case " + std::to_string(n) + ": " + line);
        const bool result = IsOwnSyncCommandLine(line.c_str());
        ASSERT_EQ(kind <= 1 && switchKind <= 1, result);
        ownCount += result ? 1 : 0;
    }
    EXPECT_GT(ownCount, kCases / 10);
    EXPECT_FALSE(IsOwnSyncCommandLine(nullptr));
    EXPECT_FALSE(IsOwnSyncCommandLine(""));
    EXPECT_NO_THROW(IsOwnSyncCommandLine("\"\x81"));
}
