// The own-command check that decides whether a stored autostart command is kept.
#include "ConfigTestSupport.h"
#include "config/CommandArguments.h"
#include "config/SyncCommand.h"

#include <gtest/gtest.h>

TEST(ParseArguments, KeysLoseTheirFirstCharacterAndTakeTheNextArgument)
{
    const wchar_t* argv[] = {L"prog", L"/ip", L"x", L"/ip", L"y"};
    ArgumentMap repeated = ParseArguments(argv, 5);
    ASSERT_EQ(1u, repeated.size()) << "the repeated switch consumes nothing; y is a dropped last key";
    EXPECT_EQ(L"x", repeated[L"ip"]);

    const wchar_t* other[] = {L"prog", L"-ip", L"1.2.3.4", L"", L"v", L"/IP"};
    ArgumentMap map = ParseArguments(other, 6);
    ASSERT_EQ(2u, map.size());
    EXPECT_EQ(L"1.2.3.4", map[L"ip"]);
    EXPECT_EQ(L"v", map[L""]);
}

TEST(IsOwnSyncCommandLine, OwnExecutableInAnyCaseWithAnIpSwitch)
{
    std::string exe = ExePath();
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + exe + "\" /ip 1.2.3.4").c_str()));
    std::string upper = exe;
    CharUpperA(&upper[0]);
    EXPECT_TRUE(IsOwnSyncCommandLine(("\"" + upper + "\" -ip 1.2.3.4").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + exe + "\"").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + exe + "\" /ipx 1.2.3.4").c_str()));
    EXPECT_FALSE(IsOwnSyncCommandLine("\"C:\\Windows\\notepad.exe\" /ip 1.2.3.4"));
    EXPECT_FALSE(IsOwnSyncCommandLine(""));
    EXPECT_FALSE(IsOwnSyncCommandLine(nullptr));
}
