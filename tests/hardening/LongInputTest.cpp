// Inputs longer than the buffers that take them, against the real program: an address cell,
// the autostart command, the process command line and a program name beyond the path limits.
#include "support/DrivenZorvaneTest.h"
#include "support/RemoteControls.h"
#include "support/TimeServer.h"
#include "support/WaitFor.h"

#include <string>
#include <tuple>

namespace {

// A fixed start, then the cycle's characters by position, so any cut shows.
std::string LongCommand(size_t length, const std::string& cycle)
{
    std::string text = "\"C:\\Tools\\LongCmd.exe\" /ip 1.2.3.4 ";
    while (text.size() < length)
        text.push_back(cycle[text.size() % cycle.size()]);
    return text;
}

const std::string kBareToken = "LongToken" + std::string(989, 't');  // 998: all the box hands over
const std::string kLongestName = "LongName" + std::string(247, 'n');  // 255: the longest that fits

class LongInput : public DrivenZorvaneTest {
protected:
    LongInput() : DrivenZorvaneTest({"LongCmd", kBareToken, "LongExt", kLongestName}) {}
};

}  // namespace

TEST_F(LongInput, FortyCharacterAddressCellConnectsWithItsFirst31Bytes)
{
    // The 31 bytes end in spaces, which the address conversion stops at; the cut shows in
    // the log line, which carries the text the connection used.
    const std::string kept = "127.0.5.1" + std::string(22, ' ');
    const std::string cell = kept + "#TAILBYTE";
    ASSERT_EQ(std::make_pair(40u, 31u), std::make_pair(cell.size(), kept.size()));
    TimeServer server("127.0.5.1", TimeScripts::SendThenAwaitClose(kValue2015));
    ASSERT_TRUE(server.IsListening());
    ASSERT_TRUE(LaunchAndSync({{"long.test", cell}}));
    EXPECT_EQ(cell, RemoteListItemText(app->Control(kServerListId), 0, 1)) << "the list shows the whole cell";
    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    EXPECT_EQ(OpeningLines(kept, SocketNamedIn(app->Log())) + ConnectedLines() + ValueLines(kValue2015Seconds) +
                  kClockRefused,
              app->Log());
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST_F(LongInput, AutostartCommandIsCutAt998Characters)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.2"}}));
    const std::string before = SrvXml();

    const std::string exact = LongCommand(998, "0123456789abcdefghij");
    const std::string longer = LongCommand(1200, "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_NE(exact, longer.substr(0, 998)) << "the two texts must differ within the cut";
    for (const std::string& command : {exact, longer}) {
        SCOPED_TRACE(std::to_string(command.size()) + " characters");
        ASSERT_TRUE(SetWindowTextA(app->Control(kCommandEditId), command.c_str()));
        ASSERT_EQ(command, WindowTextOf(app->Control(kCommandEditId))) << "the edit box holds all of it";
        app->Click(kAutostartCheckId);
        RegistryValue value;
        ASSERT_TRUE(WaitFor([&] { return (value = ReadRunValue("LongCmd")).found; }, 3000));
        EXPECT_EQ(std::make_pair(DWORD(REG_SZ), command.substr(0, 998) + '\0'), std::make_pair(value.type, value.data));

        // Unticked: the value goes, however long, quietly.
        EXPECT_TRUE(ClickedQuietly(kAutostartCheckId));
        ASSERT_TRUE(app->Answers());
        EXPECT_FALSE(app->Checked(kAutostartCheckId));
        EXPECT_FALSE(ReadRunValue("LongCmd").found);
    }

    EXPECT_EQ(before, SrvXml()) << "another program's command";
    EXPECT_TRUE(app->Answers());
}

TEST_F(LongInput, CommandLinesNear32000CharactersShowUsageAndEndWithZero)
{
    const std::string cases[] = {
        // One address of 31,990 characters, all digits but only three pieces.
        "/ip 1.2." + std::string(31986, '3'),
        // Three arguments after the program, the address very long: one argument too many.
        "/ip 1.2.3." + std::string(16000, '4') + " " + std::string(15000, 'x'),
        // A well-formed switch with a long address that is no number at all.
        "-ip 127.0.5." + std::string(31900, 'z'),
    };
    for (const std::string& arguments : cases) {
        SCOPED_TRACE("arguments of " + std::to_string(arguments.size()) + " characters");
        ExpectUsageAndExitZero(arguments);
    }
}

// Each command names no program the registry can take: a bare token of all the 998 characters
// the box hands over, an extension or a file name beyond the runtime's limits. No value is
// written, not even the key's unnamed default one; a name of 255 characters still works.
TEST_F(LongInput, NamesBeyondTheLimitsWriteNoValueSpareTheDefaultAndTheWindowGoesOn)
{
    const std::string defaultText = "LongInputDefault";
    RegistryValueGuard guard(HKEY_LOCAL_MACHINE, kRunKey, "");
    ASSERT_TRUE(WriteRunValue("", defaultText + '\0'));
    const std::string fileName = "LongName" + std::string(292, 'n');
    ASSERT_EQ(300u, fileName.size());
    const std::string commands[] = {
        kBareToken,
        "\"C:\\Tools\\LongExt." + std::string(300, 'e') + "\" /ip 1.2.3.4",
        "\"C:\\Tools\\" + fileName + ".exe\" /ip 1.2.3.4",
    };
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.4"}}));
    for (const std::string& command : commands) {
        SCOPED_TRACE(command.substr(0, 20));
        ASSERT_TRUE(SetWindowTextA(app->Control(kCommandEditId), command.c_str()));
        const std::string refusal = app->MessageAfterClicking(kAutostartCheckId);
        EXPECT_EQ(0u, refusal.find("没有更改开机自启：无法从命令框中的命令行得出程序名。")) << refusal;
        ASSERT_TRUE(app->Answers());
        EXPECT_FALSE(app->Checked(kAutostartCheckId)) << "no value was written, so the box is not ticked";
    }
    const RegistryValue unnamed = ReadRunValue("");
    const auto values = RunValues();
    ASSERT_EQ(1u, values.count("")) << "the enumeration sees the unnamed value";
    EXPECT_EQ(std::make_tuple(true, defaultText + '\0', defaultText + '\0'),
              std::make_tuple(unnamed.found, unnamed.data, values.at("")));
    for (const auto& value : values) {
        for (const char* part : {"LongToken", "LongExt", "LongName"})
            EXPECT_EQ(std::string::npos, value.second.find(part)) << "value \"" << value.first << "\"";
        EXPECT_NE(0u, value.first.rfind("LongName", 0)) << "value named " << value.first;
    }

    // The same click writes a value when the token is the longest name that fits.
    ASSERT_TRUE(SetWindowTextA(app->Control(kCommandEditId), kLongestName.c_str()));
    app->Click(kAutostartCheckId);
    RegistryValue value;
    ASSERT_TRUE(WaitFor([&] { return (value = ReadRunValue(kLongestName.c_str())).found; }, 3000));
    EXPECT_EQ(std::make_pair(kLongestName + '\0', true), std::make_pair(value.data, app->Checked(kAutostartCheckId)));
}
