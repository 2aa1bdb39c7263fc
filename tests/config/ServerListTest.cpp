// Server rows read from srv.xml into a real list view.
#include "ConfigTestSupport.h"
#include "config/ServerConfig.h"
#include "support/Dialogs.h"
#include "support/DrivenZorvane.h"
#include "support/RemoteControls.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string FileWithServers(const std::string& servers)
{
    return SrvXmlAround("\n  <cfg><autorun>x</autorun></cfg>\n" + servers);
}

std::vector<MessageBoxInfo> LoadInto(const TempDir& dir, ServerListView& view)
{
    return AnswerMessageBoxesDuring([&] { LoadServerList(dir.path().c_str(), view.handle()); });
}

}  // namespace

TEST(ServerList, DefaultFileGivesSevenRowsInFileOrder)
{
    TempDir dir;
    std::string path = dir.file("srv.xml");
    ASSERT_TRUE(EnsureConfigFile(path.c_str()));
    ASSERT_TRUE(WriteDefaultConfig(path.c_str()));
    ServerListView view;
    EXPECT_TRUE(LoadInto(dir, view).empty());
    EXPECT_EQ(kDefaultServers, view.AllRows());
}

TEST(ServerList, PositionNotNameDecidesAndUnusableEntriesLeaveNoGap)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), FileWithServers(
        "<srv><host>first.example</host><address>10.0.0.1</address></srv>\n"
        "<srv><url>only-one-child.example</url></srv>\n"
        "<!-- a comment between servers -->\n"
        "<server><url>wrong-parent.example</url><ip>10.0.0.9</ip></server>\n"
        "<srv><url>empty-ip.example</url><ip></ip></srv>\n"
        "<srv><url>no-ip.example</url><ip/></srv>\n"
        "<srv><url>second.example</url><ip>10.0.0.2</ip><extra>ignored</extra></srv>\n"
        "<srv><url><![CDATA[third.example]]></url><ip>10.0.&#48;.3</ip></srv>\n"
        "<srv><url> </url><ip>\n  10.0.0.4\t</ip></srv>\n"
        "<srv><url>blank-ip.example</url><ip> &#13;\n </ip></srv>\n")));
    ServerListView view;
    EXPECT_TRUE(LoadInto(dir, view).empty());
    const ServerRows expected = {{"first.example", "10.0.0.1"}, {"second.example", "10.0.0.2"},
                                 {"third.example", "10.0.0.3"}, {"", "10.0.0.4"},
                                 {"blank-ip.example", ""}};
    EXPECT_EQ(expected, view.AllRows()) << "a text of white space only keeps its row";
}

TEST(ServerList, NonAsciiNamesAreShownInGbk)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), FileWithServers(
        u8"<srv><url>国家授时中心</url><ip>10.0.0.1</ip></srv>\n")));
    ServerListView view;
    EXPECT_TRUE(LoadInto(dir, view).empty());
    ASSERT_EQ(1, view.Rows());
    EXPECT_EQ("国家授时中心", view.Text(0, 0));
}

TEST(ServerList, NoServersGiveAnEmptyListWithoutMessage)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), FileWithServers("")));
    ServerListView view;
    EXPECT_TRUE(LoadInto(dir, view).empty());
    EXPECT_EQ(0, view.Rows());
}

TEST(ServerList, ThousandsOfServersLoad)
{
    TempDir dir;
    std::ostringstream servers;
    const int count = 3000;
    for (int i = 0; i < count; ++i)
        servers << "  <srv>\n    <url>host" << i << ".example</url>\n    <ip>10." << i / 256 << '.'
                << i % 256 << ".1</ip>\n  </srv>\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), FileWithServers(servers.str())));
    ServerListView view;
    EXPECT_TRUE(LoadInto(dir, view).empty());
    ASSERT_EQ(count, view.Rows());
    EXPECT_EQ("host0.example", view.Text(0, 0));
    EXPECT_EQ("host2999.example", view.Text(count - 1, 0));
    EXPECT_EQ("10.11.183.1", view.Text(count - 1, 1));
}

// Loading holds the list's drawing back and gives it back; that must not show a hidden list
// nor hide a shown one.
TEST(ServerList, LoadingLeavesTheListShownOrHiddenAsItWas)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), FileWithServers(
        "<srv><url>a.example</url><ip>10.0.0.1</ip></srv>\n"
        "<srv><url>b.example</url><ip>10.0.0.2</ip></srv>\n")));
    ServerListView hidden;
    EXPECT_TRUE(LoadInto(dir, hidden).empty());
    EXPECT_EQ(0, GetWindowLongA(hidden.handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(2, hidden.Rows());

    ServerListView shown;
    ShowWindow(shown.handle(), SW_SHOW);
    EXPECT_TRUE(LoadInto(dir, shown).empty());
    EXPECT_NE(0, GetWindowLongA(shown.handle(), GWL_STYLE) & WS_VISIBLE);
    ASSERT_EQ(2, shown.Rows());
    EXPECT_EQ("b.example", shown.Text(1, 0));
    EXPECT_EQ("10.0.0.2", shown.Text(1, 1));
}

TEST(ServerList, BrokenOrMissingFileShowsTheMessageAndStaysAsItWas)
{
    TempDir dir;
    const std::string broken = FileWithServers("<srv><url>a</url><ip>1.1.1.1</ip></srv><srv>");
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), broken));
    ServerListView view;
    std::vector<MessageBoxInfo> boxes = LoadInto(dir, view);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Document srv.xml not parsed successfully.", boxes[0].text);
    EXPECT_EQ("test_config", boxes[0].caption);
    EXPECT_EQ(0, view.Rows());
    EXPECT_EQ(broken, ReadFileBytes(dir.file("srv.xml")));

    TempDir empty;
    EXPECT_EQ(1u, LoadInto(empty, view).size());
    EXPECT_EQ(0, view.Rows());
}

// Each of the window's two reads parses the file afresh: mended while the first message is
// open, the file gives the list its rows and no second message.
TEST(ServerList, TheWindowReadsTheFileAgainForItsList)
{
    DrivenZorvane app;
    const std::string path = app.Folder().file("srv.xml");
    ASSERT_TRUE(WriteFileBytes(path, "<srv_root><cfg>"));
    ASSERT_TRUE(app.Start());
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app.Process().pid(), 15000, box));
    ASSERT_TRUE(WriteFileBytes(path, DefaultFileText("x")));
    ASSERT_TRUE(CloseMessageBox(box));
    ASSERT_TRUE(app.AwaitWindow()) << "a second message holds the window back";
    EXPECT_TRUE(FindMessageBoxes(app.Process().pid()).empty());
    EXPECT_EQ(7, RemoteListItemCount(app.Control(kServerListId)));
    EXPECT_EQ("", WindowTextOf(app.Control(kCommandEditId))) << "the command of the first read";
    EXPECT_EQ(0, app.Close());
}
