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

namespace {

// Notepad saves UTF-8 with a byte-order mark, and "Unicode" as UTF-16 with one.
std::string Utf16WithMark(const std::string& utf8, bool bigEndian)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : wide) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace

TEST(AutorunCommand, AFileWithAByteOrderMarkReadsAsWithoutIt)
{
    TempDir dir;
    const std::string path = dir.file("srv.xml");
    const std::string own = "\"" + ExePath() + "\" /ip 10.0.0.7";
    const ServerRows rows = {{"a.example", "10.0.0.1"}, {"b.example", "10.0.0.2"}};
    const std::string plain = SavedSrvXml(AutorunElement(Utf8OfGbk(own)), rows);
    for (const std::string& marked : {"\xEF\xBB\xBF" + plain, Utf16WithMark(plain, false), Utf16WithMark(plain, true)}) {
        ASSERT_TRUE(WriteFileBytes(path, marked));
        ServerListView view;
        EXPECT_EQ(own, LoadAnswering(path));
        EXPECT_TRUE(AnswerMessageBoxesDuring([&] { LoadServerList(dir.path().c_str(), view.handle()); }).empty());
        EXPECT_EQ(rows, view.AllRows());
        EXPECT_EQ(marked, ReadFileBytes(path)) << "a read never rewrites the file";
        EXPECT_TRUE(StoreAutorunCommand(dir.path().c_str(), own.c_str()));
        EXPECT_EQ(plain, ReadFileBytes(path)) << "stored without the mark, servers kept";
    }
}
