#include "config/CommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

// The whole map each argument vector (program path first) gives.
TEST(ParseArguments, EachVectorGivesItsMap)
{
    const std::tuple<const char*, std::vector<const wchar_t*>, ArgumentMap> cases[] = {  // the rule, argv, the map
        {"switch and value make one pair", {L"Zorvane.exe", L"/ip", L"1.2.3.4"}, {{L"ip", L"1.2.3.4"}}},
        {"any first character is dropped", {L"p", L"-ip", L"1"}, {{L"ip", L"1"}}},
        {"any first character is dropped", {L"p", L"xip", L"1"}, {{L"ip", L"1"}}},
        {"an empty argument is the empty key", {L"p", L"", L"v"}, {{L"", L"v"}}},
        {"mixed", {L"p", L"-ip", L"1.2.3.4", L"", L"v", L"/IP"}, {{L"ip", L"1.2.3.4"}, {L"", L"v"}}},
        {"letter case is kept", {L"p", L"/IP", L"1.2.3.4"}, {{L"IP", L"1.2.3.4"}}},
        {"keys in other letter case are other keys", {L"p", L"/ip", L"x", L"/IP", L"y"}, {{L"ip", L"x"}, {L"IP", L"y"}}},
        // The second /ip is skipped; y is then read as the empty key and, being last, dropped.
        {"a repeated key neither inserts nor consumes", {L"p", L"/ip", L"x", L"/ip", L"y"}, {{L"ip", L"x"}}},
        {"the argument after a repeated key is a key of its own",
         {L"p", L"/ip", L"x", L"/ip", L"/port", L"37"}, {{L"ip", L"x"}, {L"port", L"37"}}},
        {"a trailing key is dropped", {L"p", L"/ip"}, {}},
        {"a trailing key is dropped", {L"p", L"/a", L"1", L"/b"}, {{L"a", L"1"}}},
        {"the program path is not looked at", {L"/ip"}, {}},
        {"the program path is not looked at", {}, {}},
        {"the program path is not looked at", {L"/x", L"/ip", L"1"}, {{L"ip", L"1"}}},
    };
    for (const auto& [rule, argv, expected] : cases)
        EXPECT_EQ(expected, ParseArguments(argv.data(), static_cast<int>(argv.size()))) << rule;
}

TEST(SplitAtDots, StrtoksRulesIntoAtMostFourPieces)
{
    using Pieces = std::array<std::string, 4>;
    const std::tuple<const char*, int, Pieces> cases[] = {  // the text, the count, the pieces (the rest stay empty)
        {"1.2.3.4", 4, {"1", "2", "3", "4"}},
        {"..10...20.3.4..", 4, {"10", "20", "3", "4"}},
        {"1.2.3.4.5", 4, {"1", "2", "3", "4"}},  // a fifth piece stops at four
        {"a.b.c.d.e.f.g", 4, {"a", "b", "c", "d"}},
        {"1..2", 2, {"1", "2"}},
        {"abc", 1, {"abc"}},
        {"", 0, {}},
        {"....", 0, {}},
        {nullptr, 0, {}},
    };
    for (const auto& [text, count, expected] : cases) {
        Pieces pieces{"old", "old", "old", "old"};
        EXPECT_EQ(count, SplitAtDots(text, pieces)) << (text ? text : "(null)");
        EXPECT_EQ(expected, pieces) << (text ? text : "(null)");
    }
}

TEST(IsAcceptedAddress, FourPiecesOfDigitsOnly)
{
    const std::pair<const char*, bool> cases[] = {
        {"1.2.3.4", true}, {"..1.2.3.4..", true}, {"999.0.0.1", true}, {"1.2.3.4.5", true},
        {"1.2.3.4.x", true},  // only the first four pieces are looked at
        {"1.2.3", false}, {"1.2.3.a", false}, {"1.2.3.-4", false}, {"a.b.c.d", false},
        {"1.2.3. 4", false}, {"", false}, {nullptr, false},
    };
    for (const auto& [text, accepted] : cases)
        EXPECT_EQ(accepted, IsAcceptedAddress(text)) << (text ? text : "(null)");
}

TEST(IsOwnSyncCommandLine, OnlyThisExecutableInAnyLetterCaseWithAnIpSwitch)
{
    const std::string path = ExePath();
    std::string upper = path, lower = path;
    CharUpperA(&upper[0]);
    CharLowerA(&lower[0]);
    const std::pair<std::string, bool> cases[] = {
        {"\"" + path + "\" /ip 1.2.3.4", true},
        {"\"" + upper + "\" /ip 1.2.3.4", true},
        {"\"" + lower + "\" -ip 1.2.3.4", true},
        {"\"" + upper + "\" -ip 1.2.3.4", true},
        {"\"" + path + "\" /ip nonsense", true},  // the value is not examined here
        {"\"" + path + "\"", false},
        {"\"" + path + "\" /ip", false},
        {"\"" + path + "\" /IP 1.2.3.4", false},
        {"\"" + path + "\" /ipx 1.2.3.4", false},
        {"\"C:\\Windows\\notepad.exe\" /ip 1.2.3.4", false},
        {"\"C:\\Tools\\test_app.exe\" /ip 1.2.3.4", false},
        {"\"" + path + ".bak\" /ip 1.2.3.4", false},
        {"", false},
    };
    for (const auto& [command, own] : cases)
        EXPECT_EQ(own, IsOwnSyncCommandLine(command.c_str())) << command;
    EXPECT_FALSE(IsOwnSyncCommandLine(nullptr));
}

TEST(ProgramNameOfCommand, TheFirstArgumentsFileNameWithoutFolderAndExtension)
{
    const std::string longName(300, 'n');
    const std::pair<std::string, std::string> cases[] = {  // command, name
        {"C:\\Tools\\Clock.exe", "Clock"},
        {"\"C:\\Tools\\Clock.exe\" /ip 1.2.3.4", "Clock"},
        {"\"C:/a b/x.y.exe\" /ip 1", "x.y"},
        {"noext /ip 1", "noext"},
        {"\"C:\\工具\\时钟.exe\" /ip 1.2.3.4", "时钟"},
        {"", "test_config"},  // an empty text names this executable
        {"C:\\Tools\\", ""},  // no file name
        {"\"\" /ip 1.2.3.4", ""},
        {".exe", ""},
        {"C:\\Tools\\" + longName + ".exe", ""},  // overlong names give empty, not truncated
        {"C:\\Tools\\Clock." + longName, ""},
        {"C:\\" + std::string(280, 'd') + "\\Clock.exe", "Clock"},  // a deep folder does not matter
    };
    for (const auto& [command, name] : cases)
        EXPECT_EQ(name, ProgramNameOfCommand(command.c_str())) << command.substr(0, 40);
}
