// The autostart command kept in srv.xml.
#include "ConfigTestSupport.h"

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

XmlDocHolder ParseText(const std::string& text)
{
    return XmlDocHolder(xmlReadMemory(text.data(), static_cast<int>(text.size()), "srv.xml", "UTF-8",
                                      kConfigParseOptions));
}

}  // namespace

// The command becomes escaped character data and the rest is reformatted; a command that XML
// cannot hold whole is not stored; an autorun element is made where start-up reads the command;
// a broken or read-only file is left alone, a missing one is written as the default file
// holding the command. Each says why the file does not hold the command, except a read-only
// one that held it already: nothing was lost. Never a message.
TEST(StoreAutorunCommand, StoresWhatTheFileCanHoldAndLeavesTheRestAsItWas)
{
    const std::string broken = "<?xml version=\"1.0\"?><srv_root><cfg><autorun>x</autorun></cfg>";
    const std::string oldCommand = ReformattedFile("<autorun><![CDATA[\"C:\\old.exe\" /ip 1.1.1.1]]></autorun>");
    const std::string command = "\"C:\\new.exe\" /ip 1.2.3.4";
    const std::string holding = ReformattedFile(AutorunElement(command));
    using Reason = CommandNotKept::Reason;
    // The file before (empty: none), whether it is read-only, the command, why it is not kept, the file after.
    const std::tuple<std::string, bool, std::string, std::optional<Reason>, std::string> cases[] = {
        {UntidyFile, false, "\"C:\\A&B\\<x>.exe\" /ip 1.2.3.4", std::nullopt,
         ReformattedFile("<autorun>\"C:\\A&amp;B\\&lt;x&gt;.exe\" /ip 1.2.3.4</autorun>")},
        {UntidyFile, false, "\"C:\\new.exe\"\t/ip 1.2.3.4", std::nullopt,
         ReformattedFile("<autorun>\"C:\\new.exe\"\t/ip 1.2.3.4</autorun>")},
        {UntidyFile, false, command + "\x01", Reason::NotStorable, oldCommand},
        {UntidyFile, false, "\"C:\\new\xD6", Reason::NotStorable, oldCommand},  // cut GBK
        {"<srv_root><cfg><start>x</start></cfg><srv><url>a.example</url><ip>10.0.0.1</ip></srv></srv_root>",
         false, command, std::nullopt, ReformattedFile(AutorunElement(command) + "\n    <start>x</start>")},
        {broken, false, command, Reason::NotParsed, broken},
        {SrvXmlAround("<cfg><autorun>时间</autorun></cfg>"), false, command, Reason::NotParsed,  // GBK
         SrvXmlAround("<cfg><autorun>时间</autorun></cfg>")},
        {"", false, command, std::nullopt, DefaultFileText(command)},  // gone: written again
        {"", false, command + "\x01", Reason::NotStorable, ""},
        {UntidyFile, true, command, Reason::SaveRefused, UntidyFile},
        {holding, true, command, std::nullopt, holding},
        {ReformattedFile(CdataAutorunElement(command)), true, command, std::nullopt,
         ReformattedFile(CdataAutorunElement(command))},
    };
    for (const auto& [before, readOnly, command, reason, after] : cases) {
        SCOPED_TRACE(command);
        SrvXmlFolder folder;
        ASSERT_TRUE(before.empty() || folder.Write(before));
        ASSERT_TRUE(!readOnly || SetFileAttributesA(folder.path.c_str(), FILE_ATTRIBUTE_READONLY));
        const std::optional<CommandNotKept> notKept = folder.Keep(command);
        // The reason, the save's error, no message, the file and no temporary one beside it.
        EXPECT_EQ(std::make_tuple(reason, reason == Reason::SaveRefused ? ERROR_ACCESS_DENIED : ERROR_SUCCESS,
                                  true, !after.empty(), after, false),
                  std::make_tuple(notKept ? std::optional<Reason>(notKept->reason) : std::nullopt,
                                  notKept ? notKept->saveError : ERROR_SUCCESS, folder.boxes.empty(),
                                  FileExists(folder.path), folder.Read(), FileExists(folder.path + ".tmp")));
        SetFileAttributesA(folder.path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Start-up reads the command from the first child, of any name, of the root's first cfg: the
// store makes autorun that child, and cfg the root's first child, where they are not, and
// leaves the rest of the file as it was.
TEST(StoreAutorunCommand, WhereStartUpReadsNoAutorunOneIsMadeAndReadBack)
{
    const std::string command = OwnCommand("1.2.3.4");
    const std::string stored = AutorunElement(Utf8OfGbk(command));
    const std::string row = "<srv><url>a.example</url><ip>10.0.0.1</ip></srv>";
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::pair<std::string, std::string> cases[] = {  // file before, after
        {SrvXmlAround(row), ReformattedFile(stored)},
        {SrvXmlAround("<cfg/>" + row), ReformattedFile(stored)},
        {SrvXmlAround("<cfg><!--x--><autorun>a</autorun></cfg>" + row),
         ReformattedFile(stored + "\n    <!--x-->\n    " + stored)},
        {SrvXmlAround("<srv/><cfg><start>x</start></cfg><cfg/>"),
         SrvXmlAround("\n  <srv/>\n  <cfg>\n    " + stored + "\n    <start>x</start>\n  </cfg>\n  <cfg/>\n")},
        {declaration + "<config><cfg><autorun>a</autorun></cfg></config>",
         declaration + "<config>\n  <cfg>\n    " + stored + "\n  </cfg>\n</config>\n"},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before);
        SrvXmlFolder folder;
        ASSERT_TRUE(folder.Write(before));
        EXPECT_TRUE(folder.Store(command));
        EXPECT_EQ(after, folder.Read());
        EXPECT_EQ(command, folder.LoadCommand());
    }
}

TEST(StoreAutorunCommand, StoredCommandReadsBackUnchanged)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(CreateLikeStartUp(folder.path));
    std::string command = "\"" + ExePath() + "\" /ip 10.2.3.4 /note a&amp;b<&>\t\"";
    EXPECT_TRUE(folder.Store(command));
    EXPECT_EQ(command, folder.LoadCommand());
}

TEST(StoreAutorunCommand, FailedSaveLeavesTheFileAsItWas)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(folder.Write(UntidyFile));
    // The file is written beside srv.xml first; a folder in that place makes the save fail.
    ASSERT_TRUE(CreateDirectoryA((folder.path + ".tmp").c_str(), nullptr));
    EXPECT_FALSE(folder.Store("\"C:\\new.exe\" /ip 1.2.3.4"));
    EXPECT_EQ(UntidyFile, folder.Read());
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
    EXPECT_EQ("not this", ElementText(xmlDocGetRootElement(doc.get())->last->children));
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
