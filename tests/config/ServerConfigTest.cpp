// srv.xml created at start-up and the autostart command read from it.
#include "ConfigTestSupport.h"
#include "config/ServerConfig.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <iterator>

namespace {

// What the main window does at construction: create the file only when it is missing.
void CreateLikeStartUp(const std::string& path)
{
    if (!PathFileExistsA(path.c_str()) && EnsureConfigFile(path.c_str()))
        WriteDefaultConfig(path.c_str());
}

std::string OwnDefaultCommand()
{
    return "\"" + ExePath() + "\" /ip 129.6.15.28";
}

std::string FileWithCfg(const std::string& cfg)
{
    return SrvXmlAround(cfg + "<srv><url>a</url><ip>1.1.1.1</ip></srv>");
}

// Loads the command while answering any message box; boxes come back through the pointer.
std::string LoadAnswering(const std::string& path, std::vector<MessageBoxInfo>* boxes = nullptr)
{
    std::string command;
    std::vector<MessageBoxInfo> shown =
        AnswerMessageBoxesDuring([&] { command = LoadAutorunCommand(path.c_str()); });
    if (boxes)
        *boxes = shown;
    else
        EXPECT_TRUE(shown.empty()) << shown.front().text;
    return command;
}

}  // namespace

TEST(DefaultServers, SevenNistServersTheFirstOfWhichIsTheDefaultAddress)
{
    ASSERT_EQ(kDefaultServers.size(), std::size(DefaultServers));
    for (size_t row = 0; row < kDefaultServers.size(); ++row) {
        EXPECT_EQ(kDefaultServers[row].first, DefaultServers[row].host);
        EXPECT_EQ(kDefaultServers[row].second, DefaultServers[row].address);
    }
    EXPECT_STREQ("129.6.15.28", FirstDefaultAddress());
    EXPECT_EQ("\"C:\\时间\\Zorvane.exe\" /ip 129.6.15.28", DefaultAutorunCommand("C:\\时间\\Zorvane.exe"));
}

TEST(DefaultConfig, FreshFolderGetsTheDefaultFileInItsSavedForm)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    CreateLikeStartUp(path);
    EXPECT_EQ(DefaultFileText(Utf8OfGbk(OwnDefaultCommand())), ReadFileBytes(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));
    EXPECT_EQ(OwnDefaultCommand(), LoadAnswering(path));
}

TEST(DefaultConfig, MissingFolderChainIsCreatedFirst)
{
    TempDir dir;
    std::string path = dir.path() + "程序\\时间\\配置\\srv.xml";
    CreateLikeStartUp(path);
    EXPECT_EQ(DefaultFileText(Utf8OfGbk(OwnDefaultCommand())), ReadFileBytes(path));
}

TEST(DefaultConfig, ExistingFileIsNeverReplaced)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    const std::string broken = "<srv_root><srv>not closed";
    ASSERT_TRUE(WriteFileBytes(path, broken));
    CreateLikeStartUp(path);
    EXPECT_TRUE(EnsureConfigFile(path.c_str()));
    EXPECT_FALSE(WriteDefaultConfig(path.c_str())) << "a file with contents is left alone";
    EXPECT_EQ(broken, ReadFileBytes(path));
    EXPECT_FALSE(WriteDefaultConfig(""));
    EXPECT_FALSE(WriteDefaultConfig(nullptr));
}

TEST(DefaultConfig, EmptyFileLeftByAnEarlierStartGetsTheDefault)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    ASSERT_TRUE(WriteFileBytes(path, ""));
    EXPECT_TRUE(WriteDefaultConfig(path.c_str()));
    EXPECT_EQ(DefaultFileText(Utf8OfGbk(OwnDefaultCommand())), ReadFileBytes(path));
}

TEST(AutorunCommand, OwnCommandIsReadAsStoredInCdataOrCharacterData)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    std::string own = "\"" + ExePath() + "\" /ip 10.0.0.7";
    ASSERT_TRUE(WriteFileBytes(path, FileWithCfg("<cfg><autorun><![CDATA[" + own + "]]></autorun></cfg>")));
    EXPECT_EQ(own, LoadAnswering(path));

    std::string lowerCase = own;
    CharLowerA(&lowerCase[0]);
    std::string escaped = lowerCase + " /x a&amp;b";
    ASSERT_TRUE(WriteFileBytes(path, FileWithCfg("<cfg><autorun>" + escaped + "</autorun></cfg>")));
    EXPECT_EQ(lowerCase + " /x a&b", LoadAnswering(path)) << "letter case of the path does not matter";
}

TEST(AutorunCommand, FirstChildOfCfgCountsWhateverItsName)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    std::string own = "\"" + ExePath() + "\" -ip 10.0.0.8";
    ASSERT_TRUE(WriteFileBytes(path, FileWithCfg("<cfg><start>" + own + "</start><autorun>x</autorun></cfg>")));
    EXPECT_EQ(own, LoadAnswering(path));
}

TEST(AutorunCommand, NoCfgGivesAnEmptyCommand)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    ASSERT_TRUE(WriteFileBytes(path, FileWithCfg("<config><autorun>x</autorun></config>")));
    EXPECT_EQ("", LoadAnswering(path));
}

TEST(AutorunCommand, AnythingButAnOwnSyncCommandGivesTheDefault)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    const std::string cases[] = {
        "<cfg><autorun>\"C:\\Windows\\notepad.exe\" /ip 1.2.3.4</autorun></cfg>",
        "<cfg><autorun>\"" + ExePath() + "\"</autorun></cfg>",
        "<cfg><autorun>\"" + ExePath() + "\" /IP 1.2.3.4</autorun></cfg>",
        "<cfg><autorun></autorun></cfg>",
        "<cfg><autorun/></cfg>",
        "<cfg/>",
    };
    for (const std::string& cfg : cases) {
        ASSERT_TRUE(WriteFileBytes(path, FileWithCfg(cfg)));
        EXPECT_EQ(OwnDefaultCommand(), LoadAnswering(path)) << cfg;
    }
}

TEST(AutorunCommand, BrokenOrMissingFileShowsTheMessageAndStaysAsItWas)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    const std::string brokenFiles[] = {
        "<?xml version=\"1.0\"?>\n<srv_root><cfg><autorun>x</cfg>",
        FileWithCfg("<cfg><autorun>\xE4\xB8</autorun></cfg>"),  // cut UTF-8
    };
    std::vector<MessageBoxInfo> boxes;
    for (const std::string& broken : brokenFiles) {
        ASSERT_TRUE(WriteFileBytes(path, broken));
        EXPECT_EQ("", LoadAnswering(path, &boxes));
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Document srv.xml not parsed successfully.", boxes[0].text);
        EXPECT_EQ("test_config", boxes[0].caption);
        EXPECT_EQ(broken, ReadFileBytes(path));
    }

    EXPECT_EQ("", LoadAnswering(dir.file("missing.xml"), &boxes));
    EXPECT_EQ(1u, boxes.size());
    EXPECT_FALSE(FileExists(dir.file("missing.xml")));
}
