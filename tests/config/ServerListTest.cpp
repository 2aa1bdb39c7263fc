// Server rows read from srv.xml into a real list view.
#include "ConfigTestSupport.h"
#include "support/DrivenZorvane.h"
#include "support/RemoteControls.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

namespace {

std::string FileWithServers(const std::string& servers)
{
    return SrvXmlAround("\n  <cfg><autorun>x</autorun></cfg>\n" + servers);
}

}  // namespace

TEST(ServerList, DefaultFileGivesSevenRowsInFileOrder)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(CreateLikeStartUp(folder.path));
    EXPECT_EQ(kDefaultServers, folder.LoadRows());
}

TEST(ServerList, PositionNotNameDecidesAndUnusableEntriesLeaveNoGap)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(folder.Write(FileWithServers(
        "<srv><host>first.example</host><address>10.0.0.1</address></srv>\n"
        "<srv><url>only-one-child.example</url></srv>\n"
        "<!-- a comment between servers -->\n"
        "<server><url>wrong-parent.example</url><ip>10.0.0.9</ip></server>\n"
        "<srv><url>empty-ip.example</url><ip></ip></srv>\n"
        "<srv><url>no-ip.example</url><ip/></srv>\n"
        "<srv><url>second.example</url><ip>10.0.0.2</ip><extra>ignored</extra></srv>\n"
        "<srv><url><![CDATA[third.example]]></url><ip>10.0.&#48;.3</ip></srv>\n"
        "<srv><url> </url><ip>\n  10.0.0.4\t</ip></srv>\n"
        "<srv><url>blank-ip.example</url><ip> &#13;\n </ip></srv>\n"
        "<srv><url>empty-cdata.example</url><ip><![CDATA[]]></ip></srv>\n")));
    const ServerRows expected = {{"first.example", "10.0.0.1"}, {"second.example", "10.0.0.2"},
                                 {"third.example", "10.0.0.3"}, {"", "10.0.0.4"},
                                 {"blank-ip.example", ""}, {"empty-cdata.example", ""}};
    EXPECT_EQ(expected, folder.LoadRows()) << "an empty text, not a missing one, keeps its row";
}

// A row exists where the library gives both texts, through entities too; the references
// themselves add nothing to what it shows.
TEST(ServerList, EntityReferencesDecideWhetherATextExistsButAreNotExpanded)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(folder.Write(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [<!ENTITY word \"10.0.0.5\"><!ENTITY viaWord \"&word;\">"
        "<!ENTITY empty \"\"><!ENTITY tag \"<b>x</b>\">]>\n<srv_root>\n"
        "<srv><url>word.example</url><ip>&word;</ip></srv><srv><url>nested.example</url><ip>&viaWord;</ip></srv>\n"
        "<srv><url>empty.example</url><ip>&empty;</ip></srv><srv><url>tag.example</url><ip>&tag;</ip></srv>\n"
        "<srv><url>mixed.example</url><ip>10.0.0.6&word;</ip></srv></srv_root>\n"));
    EXPECT_EQ(ServerRows({{"word.example", ""}, {"nested.example", ""}, {"mixed.example", "10.0.0.6"}}),
              folder.LoadRows());
}

// Line breaks and indentation around a name or address, as pretty-printing editors put them;
// a character reference for a carriage return is the only way one survives the parser.
TEST(ServerList, TrimmingDropsXmlSpaceAtBothEndsOnly)
{
    const std::pair<std::string, std::string> texts[] = {
        {"\n    time.example\n  ", "time.example"}, {"\t10.0.0.1 ", "10.0.0.1"},
        {"\r\n10.0.0.1\r", "10.0.0.1"},          {" a b ", "a b"},
        {" \r\n\t", ""},                          {u8"\u3000x\u3000", u8"\u3000x\u3000"},
    };
    for (const auto& text : texts)
        EXPECT_EQ(text.second, WithoutSurroundingSpace(text.first)) << text.first;
}

// Non-ASCII names are shown in GBK; no servers give an empty list without message.
TEST(ServerList, NonAsciiNamesAreShownInGbkAndNoServersGiveAnEmptyList)
{
    const std::pair<std::string, ServerRows> files[] = {
        {u8"<srv><url>国家授时中心</url><ip>10.0.0.1</ip></srv>\n", {{"国家授时中心", "10.0.0.1"}}}, {"", {}}};
    for (const auto& [servers, rows] : files) {
        SrvXmlFolder folder;
        ASSERT_TRUE(folder.Write(FileWithServers(servers)));
        EXPECT_EQ(rows, folder.LoadRows());
    }
}

TEST(ServerList, ThousandsOfServersLoad)
{
    SrvXmlFolder folder;
    ServerRows rows;
    for (int i = 0; i < 3000; ++i)
        rows.emplace_back("host" + std::to_string(i) + ".example",
                          "10." + std::to_string(i / 256) + '.' + std::to_string(i % 256) + ".1");
    ASSERT_TRUE(folder.Write(SavedSrvXml(AutorunElement("x"), rows)));
    // Shown, as the window's list is: loading holds its drawing back.
    EXPECT_EQ(rows, folder.LoadRows(false, SW_SHOW));
}

// Loading holds the list's drawing back and gives it back; that must not show a hidden list
// nor hide a shown one.
TEST(ServerList, LoadingLeavesTheListShownOrHiddenAsItWas)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(folder.Write(FileWithServers("<srv><url>a.example</url><ip>10.0.0.1</ip></srv>\n"
                                             "<srv><url>b.example</url><ip>10.0.0.2</ip></srv>\n")));
    for (const int show : {SW_HIDE, SW_SHOW})
        EXPECT_EQ(ServerRows({{"a.example", "10.0.0.1"}, {"b.example", "10.0.0.2"}}), folder.LoadRows(false, show));
}

// Each of the window's two reads parses the file afresh: mended while the first message is
// open, the file gives the list its rows and no second message.
TEST(ServerList, TheWindowReadsTheFileAgainForItsList)
{
    DrivenZorvane app;
    const std::string path = app.Folder().file("srv.xml");
    ASSERT_TRUE(WriteFileBytes(path, "<srv_root><cfg>"));
    ASSERT_TRUE(app.Start());
    std::vector<MessageBoxInfo> boxes;
    ASSERT_TRUE(WaitFor([&] { return !(boxes = FindMessageBoxes(app.Process().pid())).empty(); },
                        15000));
    ASSERT_TRUE(WriteFileBytes(path, DefaultFileText("x")));
    ASSERT_TRUE(CloseMessageBox(boxes.front()));
    ASSERT_TRUE(app.AwaitWindow()) << "a second message holds the window back";
    EXPECT_TRUE(FindMessageBoxes(app.Process().pid()).empty());
    EXPECT_EQ(7, RemoteListItemCount(app.Control(kServerListId)));
    EXPECT_EQ("", WindowTextOf(app.Control(kCommandEditId))) << "the command of the first read";
    EXPECT_EQ(0, app.Close());
}
