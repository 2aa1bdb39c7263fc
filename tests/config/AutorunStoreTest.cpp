// Replacing the autostart command in srv.xml.
#include "ConfigTestSupport.h"
#include "config/AutorunDocument.h"
#include "config/ServerConfig.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

namespace {

const char* const UntidyFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<srv_root><cfg><autorun><![CDATA[\"C:\\old.exe\" /ip 1.1.1.1]]></autorun></cfg>\n"
    "      <srv><url>a.example</url>   <ip>10.0.0.1</ip></srv></srv_root>";

std::string ReformattedFile(const std::string& cfgElement)
{
    return SavedSrvXml(cfgElement, {{"a.example", "10.0.0.1"}});
}

bool StoreAnswering(const TempDir& dir, const std::string& command, std::vector<MessageBoxInfo>& boxes)
{
    bool stored = false;
    boxes = AnswerMessageBoxesDuring([&] { stored = StoreAutorunCommand(dir.path().c_str(), command.c_str()); });
    return stored;
}

XmlDocHolder ParseText(const std::string& text)
{
    return XmlDocHolder(xmlReadMemory(text.data(), static_cast<int>(text.size()), "srv.xml", "UTF-8",
                                      kConfigParseOptions));
}

}  // namespace

TEST(StoreAutorunCommand, CommandBecomesEscapedCharacterDataAndTheRestIsReformatted)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), UntidyFile));
    std::vector<MessageBoxInfo> boxes;
    EXPECT_TRUE(StoreAnswering(dir, "\"C:\\A&B\\<x>.exe\" /ip 1.2.3.4", boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(ReformattedFile("<autorun>\"C:\\A&amp;B\\&lt;x&gt;.exe\" /ip 1.2.3.4</autorun>"),
              ReadFileBytes(dir.file("srv.xml")));
    EXPECT_FALSE(FileExists(dir.file("srv.xml.tmp")));
}

TEST(StoreAutorunCommand, StoredCommandReadsBackUnchanged)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    ASSERT_TRUE(EnsureConfigFile(path.c_str()));
    ASSERT_TRUE(WriteDefaultConfig(path.c_str()));
    std::string command = "\"" + ExePath() + "\" /ip 10.2.3.4 /note a&amp;b<&>\"";
    std::vector<MessageBoxInfo> boxes;
    EXPECT_TRUE(StoreAnswering(dir, command, boxes));
    std::string read;
    boxes = AnswerMessageBoxesDuring([&] { read = LoadAutorunCommand(path.c_str()); });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(command, read);
}

TEST(StoreAutorunCommand, BrokenOrMissingFileIsLeftAloneWithoutMessage)
{
    TempDir dir;
    const std::string broken = "<?xml version=\"1.0\"?><srv_root><cfg><autorun>x</autorun></cfg>";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), broken));
    std::vector<MessageBoxInfo> boxes;
    EXPECT_FALSE(StoreAnswering(dir, "\"C:\\new.exe\" /ip 1.2.3.4", boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(broken, ReadFileBytes(dir.file("srv.xml")));

    TempDir empty;
    EXPECT_FALSE(StoreAnswering(empty, "\"C:\\new.exe\" /ip 1.2.3.4", boxes));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(FileExists(empty.file("srv.xml")));
}

TEST(StoreAutorunCommand, FailedSaveLeavesTheFileAsItWas)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), UntidyFile));
    // The file is written beside srv.xml first; a folder in that place makes the save fail.
    ASSERT_TRUE(CreateDirectoryA(dir.file("srv.xml.tmp").c_str(), nullptr));
    std::vector<MessageBoxInfo> boxes;
    EXPECT_FALSE(StoreAnswering(dir, "\"C:\\new.exe\" /ip 1.2.3.4", boxes));
    EXPECT_EQ(UntidyFile, ReadFileBytes(dir.file("srv.xml")));
}

TEST(StoreAutorunCommand, WithoutAutorunTheDocumentIsSavedAsRead)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"),
                               "<srv_root><cfg><start>x</start></cfg><srv><url>a.example</url><ip>10.0.0.1</ip></srv></srv_root>"));
    std::vector<MessageBoxInfo> boxes;
    EXPECT_FALSE(StoreAnswering(dir, "\"C:\\new.exe\" /ip 1.2.3.4", boxes));
    EXPECT_EQ(ReformattedFile("<start>x</start>"), ReadFileBytes(dir.file("srv.xml")));
}

TEST(StoreAutorunCommand, CommandThatXmlCannotHoldIsNotStored)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), UntidyFile));
    std::vector<MessageBoxInfo> boxes;
    EXPECT_FALSE(StoreAnswering(dir, "\"C:\\new.exe\" /ip 1.2.3.4\x01", boxes));
    EXPECT_FALSE(StoreAnswering(dir, "\"C:\\new\xD6", boxes)) << "cut GBK";
    EXPECT_EQ(ReformattedFile("<autorun><![CDATA[\"C:\\old.exe\" /ip 1.1.1.1]]></autorun>"),
              ReadFileBytes(dir.file("srv.xml")));
}

TEST(UpdateAutorunCommand, SetsEveryAutorunNode)
{
    XmlDocHolder doc = ParseText(
        "<srv_root><cfg><autorun>a</autorun></cfg><cfg><autorun>b<x/></autorun></cfg>"
        "<srv><autorun>not this</autorun></srv></srv_root>");
    ASSERT_TRUE(doc);
    EXPECT_TRUE(UpdateAutorunCommand(doc.get(), "\"C:\\时间.exe\" /ip 1.2.3.4"));
    XPathObjectHolder found(FindAutorunNodes(doc.get()));
    ASSERT_TRUE(found);
    ASSERT_EQ(2, found->nodesetval->nodeNr);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Utf8OfGbk("\"C:\\时间.exe\" /ip 1.2.3.4"), ElementText(found->nodesetval->nodeTab[i]));
    const xmlNode* other = xmlDocGetRootElement(doc.get())->last->children;
    EXPECT_EQ("not this", ElementText(other));
}

TEST(UpdateAutorunCommand, NothingToUpdate)
{
    XmlDocHolder doc = ParseText("<root><cfg><autorun>a</autorun></cfg></root>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(nullptr, FindAutorunNodes(doc.get()));
    EXPECT_FALSE(UpdateAutorunCommand(doc.get(), "x"));
    EXPECT_EQ(nullptr, FindAutorunNodes(nullptr));
    EXPECT_FALSE(UpdateAutorunCommand(nullptr, "x"));
}
