// srv.xml created at start-up and the autostart command read from it.
#include "ConfigTestSupport.h"
#include "config/ConfigXml.h"

#include <gtest/gtest.h>

namespace {

std::string FileWithCfg(const std::string& cfg)
{
    return SrvXmlAround(cfg + "<srv><url>a</url><ip>1.1.1.1</ip></srv>");
}

// The number of srv elements and the last one's first child's text; nothing when the file
// does not parse.
std::optional<std::pair<int, std::string>> RowsOf(const std::string& path)
{
    ParserCleanupAtEnd cleanup;
    const XmlDocHolder doc = ParseConfigFile(path);
    std::pair<int, std::string> read;
    for (const xmlNode* row = doc ? xmlDocGetRootElement(doc.get())->children : nullptr; row; row = row->next) {
        if (IsElementNamed(row, "srv"))
            read = {read.first + 1, ElementText(row->children)};
    }
    return doc ? std::optional(read) : std::nullopt;
}

// The unit of the one X replaced by the first half of a surrogate pair, alone (little-endian).
std::string UnpairedSurrogateIn(std::string utf16)
{
    return utf16.replace(utf16.find(std::string("X\0", 2)), 2, std::string("\0\xD8", 2));
}

}  // namespace

TEST(DefaultServers, SevenNistServersTheFirstOfWhichIsTheDefaultAddress)
{
    ServerRows defaults;
    for (const auto& server : DefaultServers)
        defaults.emplace_back(server.host, server.address);
    EXPECT_EQ(kDefaultServers, defaults);
    EXPECT_STREQ("129.6.15.28", FirstDefaultAddress());
    EXPECT_EQ("\"C:\\时间\\Zorvane.exe\" /ip 129.6.15.28", DefaultAutorunCommand("C:\\时间\\Zorvane.exe"));
}

// A fresh folder, a missing folder chain (created first), an empty file left by an earlier
// start: each gets the default file in its saved form.
TEST(DefaultConfig, AFolderWithoutTheFileGetsTheDefaultInItsSavedForm)
{
    const std::pair<std::string, bool> places[] = {{"srv.xml", false}, {"程序\\时间\\配置\\srv.xml", false},
                                                   {"srv.xml", true}};
    for (const auto& place : places) {
        TempDir dir;
        const std::string path = dir.path() + place.first;
        ASSERT_TRUE(!place.second || WriteFileBytes(path, ""));
        EXPECT_TRUE(place.second ? WriteDefaultConfig(path.c_str()) : CreateLikeStartUp(path));
        std::string command;
        const bool quiet = AnswerMessageBoxesDuring([&] { command = LoadAutorunCommand(path.c_str()); }).empty();
        EXPECT_EQ(std::make_tuple(DefaultFileText(Utf8OfGbk(OwnCommand())), false, true, OwnCommand()),
                  std::make_tuple(ReadFileBytes(path), FileExists(path + ".tmp"), quiet, command)) << place.first;
    }
}

TEST(DefaultConfig, ExistingFileIsNeverReplaced)
{
    SrvXmlFolder folder;
    const std::string broken = "<srv_root><srv>not closed";
    ASSERT_TRUE(folder.Write(broken));
    CreateLikeStartUp(folder.path);
    EXPECT_TRUE(EnsureConfigFile(folder.path.c_str()));
    EXPECT_FALSE(WriteDefaultConfig(folder.path.c_str())) << "a file with contents is left alone";
    EXPECT_EQ(broken, folder.Read());
    EXPECT_FALSE(WriteDefaultConfig(""));
    EXPECT_FALSE(WriteDefaultConfig(nullptr));
}

// The first child of cfg counts whatever its name; letter case of the path does not matter.
TEST(AutorunCommand, OwnCommandAsStoredNoCfgEmptyAnythingElseTheDefault)
{
    const std::string own = OwnCommand("10.0.0.7");
    std::string lowerCase = own;
    CharLowerA(&lowerCase[0]);
    const std::string other = "\"" + ExePath() + "\" -ip 10.0.0.8";
    const std::pair<std::string, std::string> cases[] = {
        {"<cfg><autorun><![CDATA[" + own + "]]></autorun></cfg>", own},
        {"<cfg><autorun>" + lowerCase + " /x a&amp;b</autorun></cfg>", lowerCase + " /x a&b"},
        {"<cfg><start>" + other + "</start><autorun>x</autorun></cfg>", other},
        {"<config><autorun>x</autorun></config>", ""},
        {"<cfg><autorun>\"C:\\Windows\\notepad.exe\" /ip 1.2.3.4</autorun></cfg>", OwnCommand()},
        {"<cfg><autorun>\"" + ExePath() + "\"</autorun></cfg>", OwnCommand()},
        {"<cfg><autorun>\"" + ExePath() + "\" /IP 1.2.3.4</autorun></cfg>", OwnCommand()},
        {"<cfg><autorun></autorun></cfg>", OwnCommand()},
        {"<cfg><autorun/></cfg>", OwnCommand()},
        {"<cfg/>", OwnCommand()},
    };
    SrvXmlFolder folder;
    for (const auto& cfg : cases) {
        ASSERT_TRUE(folder.Write(FileWithCfg(cfg.first)));
        EXPECT_EQ(cfg.second, folder.LoadCommand()) << cfg.first;
    }
}

// Each reader shows the message, the command and the list stay empty, the file as it was.
TEST(BrokenOrMissingFile, ShowsTheMessageAndStaysAsItWas)
{
    SrvXmlFolder folder;
    const std::string brokenFiles[] = {
        "<?xml version=\"1.0\"?>\n<srv_root><cfg><autorun>x</cfg>",
        FileWithCfg("<cfg><autorun>\xE4\xB8</autorun></cfg>"),  // cut UTF-8
        "\xFF\xFE<",                                            // UTF-16 cut inside a unit
        Utf16WithMark(FileWithCfg(""), false) + "<",            // an odd length: not read short
        Utf16WithMark(FileWithCfg(""), true) + "<",
        UnpairedSurrogateIn(Utf16WithMark(FileWithCfg("<cfg><autorun>X</autorun></cfg>"), false)),
        SrvXmlAround("<cfg><autorun>x</autorun></cfg><srv><url>a</url><ip>1.1.1.1</ip></srv><srv>"),
        "",  // no file at all
    };
    for (const std::string& broken : brokenFiles) {
        ASSERT_TRUE(broken.empty() ? DeleteFileA(folder.path.c_str()) != FALSE : folder.Write(broken));
        EXPECT_EQ((BothReads{"", {}, {kNotParsedBox, kNotParsedBox}}.Tied()), folder.LoadBoth().Tied());
        EXPECT_EQ(std::make_pair(broken, !broken.empty()), std::make_pair(folder.Read(), FileExists(folder.path)));
    }
}

TEST(AutorunCommand, AFileWithAByteOrderMarkReadsAsWithoutIt)
{
    SrvXmlFolder folder;
    const std::string own = OwnCommand("10.0.0.7");
    // A character beyond ASCII, and one beyond 16 bits (a surrogate pair in UTF-16) that GBK lacks.
    const ServerRows rows = {{u8"时间.example", "10.0.0.1"}, {u8"a\U0001F600b.example", "10.0.0.2"}};
    const ServerRows shown = {{"时间.example", "10.0.0.1"}, {"a?b.example", "10.0.0.2"}};
    const std::string plain = SavedSrvXml(AutorunElement(Utf8OfGbk(own)), rows);
    // A second mark, as an editor leaves that puts its own in front of a marked text, is taken
    // as the library takes one mark in front of a text.
    const std::string marks = "\xEF\xBB\xBF";
    for (const std::string& marked : {marks + plain, Utf16WithMark(plain, false), Utf16WithMark(plain, true),
                                      marks + marks + plain, Utf16WithMark(marks + plain, true)}) {
        ASSERT_TRUE(folder.Write(marked));
        // A read never rewrites the file; a store writes it without the mark, servers kept.
        EXPECT_EQ(std::tie(own, shown, marked), std::make_tuple(folder.LoadCommand(), folder.LoadRows(), folder.Read()));
        EXPECT_TRUE(folder.Store(own));
        EXPECT_EQ(plain, folder.Read());
    }
}

// A run of blanks just within the library's bound for one text, 10,000,000 bytes, is read
// whole in a marked file as in any other: here UTF-16 of 19 MB.
TEST(AutorunCommand, ALargeMarkedFileIsReadWhole)
{
    SrvXmlFolder folder;
    const std::string own = OwnCommand("10.0.0.7");
    const std::string plain = FileWithCfg("<cfg><autorun>" + Utf8OfGbk(own) + "</autorun></cfg>");
    ASSERT_TRUE(folder.Write(Utf16WithMark(plain + std::string(9500000, ' '), false)));
    EXPECT_EQ(own, folder.LoadCommand());
}

// Files of real rows (every tenth beyond ASCII), far beyond what 100,000 servers need and
// beyond 32 MiB in each form: a marked file gives what the same text without a mark gives.
// 35 MB of rows parse; their first half, or a name beyond the library's bound for one text, not.
TEST(MarkedFile, ReadsAsTheSameTextWithoutAMarkAtAnySize)
{
    ServerRows rows;
    for (int n = 0; n < 420000; ++n)
        rows.emplace_back((n % 10 ? "time-" : u8"时间\U0001F600-") + std::to_string(n) + ".zone.example.com", "10.0.0.1");
    const std::string whole = SavedSrvXml(AutorunElement("x"), rows);
    ASSERT_GT(whole.size(), 32u << 20);
    const std::pair<std::string, std::optional<std::pair<int, std::string>>> cases[] = {
        {whole, std::pair(static_cast<int>(rows.size()), rows.back().first)},
        {whole.substr(0, whole.size() / 2), std::nullopt},
        {SavedSrvXml(AutorunElement("x"), {{std::string(10000001, 'h'), "10.0.0.1"}}), std::nullopt},
    };
    rows = {};
    SrvXmlFolder folder;
    for (const auto& [text, expected] : cases) {
        for (int form = 0; form < 4; ++form) {  // no mark, UTF-8, UTF-16 little- and big-endian
            const std::string prefix = form == 1 ? "\xEF\xBB\xBF" : "";
            ASSERT_TRUE(folder.Write(form < 2 ? prefix + text : Utf16WithMark(text, form == 3)));
            EXPECT_EQ(expected, RowsOf(folder.path)) << "form " << form << ", " << text.size() << " bytes";
        }
    }
}
