#include "config/CommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

ArgumentMap Parse(std::vector<const wchar_t*> argv)
{
    return ParseArguments(argv.data(), static_cast<int>(argv.size()));
}

std::string Transformed(std::string text, int (*change)(int))
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [change](char c) { return static_cast<char>(change(static_cast<unsigned char>(c))); });
    return text;
}

int Split(const char* text, std::array<std::string, 4>& pieces)
{
    return SplitAtDots(text, pieces);
}

}  // namespace

TEST(ParseArguments, SwitchAndValueMakeOnePair)
{
    ArgumentMap map = Parse({L"Zorvane.exe", L"/ip", L"1.2.3.4"});
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"1.2.3.4", map[L"ip"]);
}

TEST(ParseArguments, AnyFirstCharacterIsDropped)
{
    EXPECT_EQ(L"1", Parse({L"p", L"-ip", L"1"}).at(L"ip"));
    EXPECT_EQ(L"1", Parse({L"p", L"xip", L"1"}).at(L"ip"));
    ArgumentMap empty = Parse({L"p", L"", L"v"});
    ASSERT_EQ(1u, empty.size());
    EXPECT_EQ(L"v", empty.at(L""));
    ArgumentMap mixed = Parse({L"p", L"-ip", L"1.2.3.4", L"", L"v", L"/IP"});
    ASSERT_EQ(2u, mixed.size());
    EXPECT_EQ(L"1.2.3.4", mixed.at(L"ip"));
    EXPECT_EQ(L"v", mixed.at(L""));
}

TEST(ParseArguments, LetterCaseIsKept)
{
    ArgumentMap map = Parse({L"p", L"/IP", L"1.2.3.4"});
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(0u, map.count(L"ip"));
    EXPECT_EQ(L"1.2.3.4", map.at(L"IP"));
}

TEST(ParseArguments, RepeatedKeyNeitherInsertsNorConsumes)
{
    // The second /ip is skipped; y is then read as the empty key and, being last, dropped.
    ArgumentMap map = Parse({L"p", L"/ip", L"x", L"/ip", L"y"});
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"x", map.at(L"ip"));

    // Here the argument after the repeated key becomes a key of its own with a value.
    ArgumentMap next = Parse({L"p", L"/ip", L"x", L"/ip", L"/port", L"37"});
    ASSERT_EQ(2u, next.size());
    EXPECT_EQ(L"x", next.at(L"ip"));
    EXPECT_EQ(L"37", next.at(L"port"));
}

TEST(ParseArguments, TrailingKeyIsDropped)
{
    EXPECT_TRUE(Parse({L"p", L"/ip"}).empty());
    ArgumentMap map = Parse({L"p", L"/a", L"1", L"/b"});
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"1", map.at(L"a"));
}

TEST(ParseArguments, ProgramPathIsNotLookedAt)
{
    EXPECT_TRUE(Parse({L"/ip"}).empty());
    EXPECT_TRUE(Parse({}).empty());
    ArgumentMap map = Parse({L"/x", L"/ip", L"1"});
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"1", map.at(L"ip"));
}

TEST(SplitAtDots, FourPiecesInOrder)
{
    std::array<std::string, 4> pieces;
    ASSERT_EQ(4, Split("1.2.3.4", pieces));
    EXPECT_EQ((std::array<std::string, 4>{"1", "2", "3", "4"}), pieces);
    ASSERT_EQ(4, Split("..10...20.3.4..", pieces));
    EXPECT_EQ((std::array<std::string, 4>{"10", "20", "3", "4"}), pieces);
}

TEST(SplitAtDots, FifthPieceStopsAtFour)
{
    std::array<std::string, 4> pieces;
    ASSERT_EQ(4, Split("1.2.3.4.5", pieces));
    EXPECT_EQ((std::array<std::string, 4>{"1", "2", "3", "4"}), pieces);
    EXPECT_EQ(4, Split("a.b.c.d.e.f.g", pieces));
    EXPECT_EQ("d", pieces[3]);
}

TEST(SplitAtDots, FewerPiecesLeaveTheRestEmpty)
{
    std::array<std::string, 4> pieces{"old", "old", "old", "old"};
    ASSERT_EQ(2, Split("1..2", pieces));
    EXPECT_EQ((std::array<std::string, 4>{"1", "2", "", ""}), pieces);
    EXPECT_EQ(0, Split("", pieces));
    EXPECT_EQ(0, Split("....", pieces));
    EXPECT_EQ((std::array<std::string, 4>{}), pieces);
    EXPECT_EQ(1, Split("abc", pieces));
    EXPECT_EQ("abc", pieces[0]);
    EXPECT_EQ(0, Split(nullptr, pieces));
}

TEST(IsAcceptedAddress, FourDigitPiecesPass)
{
    EXPECT_TRUE(IsAcceptedAddress("1.2.3.4"));
    EXPECT_TRUE(IsAcceptedAddress("..1.2.3.4.."));
    EXPECT_TRUE(IsAcceptedAddress("999.0.0.1"));
    EXPECT_TRUE(IsAcceptedAddress("1.2.3.4.5"));
    EXPECT_TRUE(IsAcceptedAddress("1.2.3.4.x"));  // only the first four pieces are looked at
}

TEST(IsAcceptedAddress, OtherTextFails)
{
    EXPECT_FALSE(IsAcceptedAddress("1.2.3"));
    EXPECT_FALSE(IsAcceptedAddress("1.2.3.a"));
    EXPECT_FALSE(IsAcceptedAddress("1.2.3.-4"));
    EXPECT_FALSE(IsAcceptedAddress("a.b.c.d"));
    EXPECT_FALSE(IsAcceptedAddress("1.2.3. 4"));
    EXPECT_FALSE(IsAcceptedAddress(""));
    EXPECT_FALSE(IsAcceptedAddress(nullptr));
}

TEST(IsOwnSyncCommandLine, OwnPathWithIpSwitchInAnyCase)
{
    const std::string path = ExePath();
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + path + "\" /ip 1.2.3.4").c_str()));
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + Transformed(path, toupper) + "\" /ip 1.2.3.4").c_str()));
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + Transformed(path, tolower) + "\" -ip 1.2.3.4").c_str()));
    std::string upper = path;
    CharUpperA(&upper[0]);
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + upper + "\" -ip 1.2.3.4").c_str()));
    // The value is not examined here.
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + path + "\" /ip nonsense").c_str()));
}

TEST(IsOwnSyncCommandLine, AnythingElseIsFalse)
{
    const std::string path = ExePath();
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + path + "\"").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + path + "\" /ip").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + path + "\" /IP 1.2.3.4").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + path + "\" /ipx 1.2.3.4").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine("\"C:\\Windows\\notepad.exe\" /ip 1.2.3.4"));
    EXPECT_FALSE(IsOwnSyncCommandLine("\"C:\\Tools\\test_app.exe\" /ip 1.2.3.4"));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + path + ".bak\" /ip 1.2.3.4").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(""));
    EXPECT_FALSE(IsOwnSyncCommandLine(nullptr));
}

TEST(ProgramNameOfCommand, FileNameWithoutDirectoryAndExtension)
{
    EXPECT_EQ("Clock", ProgramNameOfCommand("C:\\Tools\\Clock.exe"));
    EXPECT_EQ("Clock", ProgramNameOfCommand("\"C:\\Tools\\Clock.exe\" /ip 1.2.3.4"));
    EXPECT_EQ("x.y", ProgramNameOfCommand("\"C:/a b/x.y.exe\" /ip 1"));
    EXPECT_EQ("noext", ProgramNameOfCommand("noext /ip 1"));
    EXPECT_EQ("时钟", ProgramNameOfCommand("\"C:\\工具\\时钟.exe\" /ip 1.2.3.4"));
}

TEST(ProgramNameOfCommand, EmptyTextNamesThisExecutable)
{
    EXPECT_EQ("test_app", ProgramNameOfCommand(""));
}

TEST(ProgramNameOfCommand, NoFileNameGivesEmpty)
{
    EXPECT_EQ("", ProgramNameOfCommand("C:\\Tools\\"));
    EXPECT_EQ("", ProgramNameOfCommand("\"\" /ip 1.2.3.4"));
    EXPECT_EQ("", ProgramNameOfCommand(".exe"));
}

TEST(ProgramNameOfCommand, OverlongNamesGiveEmptyNotTruncated)
{
    const std::string longName(300, 'n');
    EXPECT_EQ("", ProgramNameOfCommand(("C:\\Tools\\" + longName + ".exe").c_str()));
    EXPECT_EQ("", ProgramNameOfCommand(("C:\\Tools\\Clock." + longName).c_str()));
    // A deep directory does not matter: only name and extension are kept.
    const std::string deep = "C:\\" + std::string(280, 'd') + "\\Clock.exe";
    EXPECT_EQ("Clock", ProgramNameOfCommand(deep.c_str()));
}
