// srv.xml files that declare entities: nothing outside the file is read, nothing explodes.
#include "ConfigTestSupport.h"
#include "config/ServerConfig.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct LoadResult {
    std::string command;
    ServerRows rows;
    std::vector<MessageBoxInfo> boxes;
    DWORD milliseconds;
};

LoadResult LoadBoth(const TempDir& dir)
{
    LoadResult result;
    ServerListView view;
    DWORD start = GetTickCount();
    result.boxes = AnswerMessageBoxesDuring([&] {
        result.command = LoadAutorunCommand(dir.file("srv.xml").c_str());
        LoadServerList(dir.path().c_str(), view.handle());
    });
    result.milliseconds = GetTickCount() - start;
    result.rows = view.AllRows();
    return result;
}

std::string DefaultCommand()
{
    return "\"" + ExePath() + "\" /ip 129.6.15.28";
}

}  // namespace

TEST(HostileXml, ExternalEntitiesAndDtdsAreNeverRead)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("secret.txt"), "SECRET-MARKER"));
    ASSERT_TRUE(WriteFileBytes(dir.file("defs.dtd"), "<!ENTITY leak \"DTD-MARKER\">"));
    std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE srv_root SYSTEM \"" + FileUrl(dir.file("defs.dtd")) + "\" [\n"
        "  <!ENTITY secret SYSTEM \"" + FileUrl(dir.file("secret.txt")) + "\">\n"
        "  <!ENTITY % remote SYSTEM \"" + FileUrl(dir.file("defs.dtd")) + "\">\n"
        "  %remote;\n"
        "]>\n"
        "<srv_root><cfg><autorun>&secret;</autorun></cfg>\n"
        "<srv><url>a&secret;</url><ip>10.0.0.1</ip></srv>\n"
        "<srv><url>&leak;</url><ip>10.0.0.2</ip></srv>\n"
        "<srv><url>b.example</url><ip>10.0.0.3</ip></srv></srv_root>\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), file));

    LoadResult result = LoadBoth(dir);
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(DefaultCommand(), result.command) << "the reference alone is no command";
    ServerRows expected = {{"a", "10.0.0.1"}, {"b.example", "10.0.0.3"}};
    EXPECT_EQ(expected, result.rows);

    std::vector<MessageBoxInfo> boxes = AnswerMessageBoxesDuring(
        [&] { EXPECT_TRUE(StoreAutorunCommand(dir.path().c_str(), "\"C:\\x.exe\" /ip 1.2.3.4")); });
    EXPECT_TRUE(boxes.empty());
    std::string saved = ReadFileBytes(dir.file("srv.xml"));
    EXPECT_EQ(std::string::npos, saved.find("SECRET-MARKER"));
    EXPECT_EQ(std::string::npos, saved.find("DTD-MARKER"));
    EXPECT_NE(std::string::npos, saved.find("<url>a&secret;</url>")) << saved;
}

TEST(HostileXml, ExponentialEntitiesAreRejected)
{
    TempDir dir;
    std::ostringstream file;
    file << "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n  <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        file << "  <!ENTITY lol" << i << " \"";
        for (int j = 0; j < 10; ++j)
            file << "&lol" << i - 1 << ';';
        file << "\">\n";
    }
    file << "]>\n<srv_root><cfg><autorun>&lol9;</autorun></cfg>"
            "<srv><url>&lol9;</url><ip>10.0.0.1</ip></srv>"
            "<srv><url>b.example</url><ip>10.0.0.2</ip></srv></srv_root>\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), file.str()));

    LoadResult result = LoadBoth(dir);
    EXPECT_LT(result.milliseconds, 10000u);
    // The parser refuses the amplification: both readers report the file, which stays.
    ASSERT_EQ(2u, result.boxes.size());
    EXPECT_EQ("Document srv.xml not parsed successfully.", result.boxes[0].text);
    EXPECT_EQ("", result.command);
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(file.str(), ReadFileBytes(dir.file("srv.xml")));
}

TEST(HostileXml, ManyReferencesToABigEntityDoNotExpand)
{
    TempDir dir;
    std::ostringstream file;
    file << "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n  <!ENTITY big \"" << std::string(20000, 'a')
         << "\">\n]>\n<srv_root><cfg><autorun>";
    for (int i = 0; i < 5000; ++i)
        file << "&big;";
    file << "</autorun></cfg><srv><url>b.example</url><ip>10.0.0.2</ip></srv></srv_root>\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), file.str()));

    LoadResult result = LoadBoth(dir);
    EXPECT_LT(result.milliseconds, 10000u);
    // The file parses; the references are not expanded into the command.
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_EQ(DefaultCommand(), result.command);
    ServerRows expected = {{"b.example", "10.0.0.2"}};
    EXPECT_EQ(expected, result.rows);
}

TEST(HostileXml, RecursiveEntitiesAreRejected)
{
    TempDir dir;
    const std::string file =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n"
        "  <!ENTITY a \"x&b;\">\n  <!ENTITY b \"y&a;\">\n]>\n"
        "<srv_root><cfg><autorun>&a;</autorun></cfg><srv><url>&a;</url><ip>10.0.0.1</ip></srv></srv_root>\n";
    ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), file));
    LoadResult result = LoadBoth(dir);
    EXPECT_LT(result.milliseconds, 10000u);
    ASSERT_EQ(2u, result.boxes.size());
    EXPECT_EQ("Document srv.xml not parsed successfully.", result.boxes[1].text);
    EXPECT_EQ("", result.command);
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(file, ReadFileBytes(dir.file("srv.xml")));
}
