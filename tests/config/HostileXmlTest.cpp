// srv.xml files that declare entities: nothing outside the file is read, nothing explodes. A
// read that never ended would meet the test runner's time-out; bench/ prints how long each takes.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string ExponentialEntities()
{
    std::ostringstream file;
    file << "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n  <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i)
        file << "  <!ENTITY lol" << i << " \"" << Repeated("&lol" + std::to_string(i - 1) + ';', 10) << "\">\n";
    file << "]>\n<srv_root><cfg><autorun>&lol9;</autorun></cfg>"
            "<srv><url>&lol9;</url><ip>10.0.0.1</ip></srv>"
            "<srv><url>b.example</url><ip>10.0.0.2</ip></srv></srv_root>\n";
    return file.str();
}

}  // namespace

TEST(HostileXml, ExternalEntitiesAndDtdsAreNeverRead)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.dir.file("secret.txt"), "SECRET-MARKER"));
    ASSERT_TRUE(WriteFileBytes(folder.dir.file("defs.dtd"), "<!ENTITY leak \"DTD-MARKER\">"));
    ASSERT_TRUE(folder.Write(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE srv_root SYSTEM \"" + FileUrl(folder.dir.file("defs.dtd")) + "\" [\n"
        "  <!ENTITY secret SYSTEM \"" + FileUrl(folder.dir.file("secret.txt")) + "\">\n"
        "  <!ENTITY % remote SYSTEM \"" + FileUrl(folder.dir.file("defs.dtd")) + "\">\n"
        "  %remote;\n"
        "]>\n"
        "<srv_root><cfg><autorun>&secret;</autorun></cfg>\n"
        "<srv><url>a&secret;</url><ip>10.0.0.1</ip></srv>\n"
        "<srv><url>&leak;</url><ip>10.0.0.2</ip></srv>\n"
        "<srv><url>b.example</url><ip>10.0.0.3</ip></srv></srv_root>\n"));

    EXPECT_EQ((BothReads{OwnCommand(), {{"a", "10.0.0.1"}, {"b.example", "10.0.0.3"}}, {}}.Tied()),
              folder.LoadBoth().Tied())
        << "the reference alone is no command";

    EXPECT_TRUE(folder.Store("\"C:\\x.exe\" /ip 1.2.3.4"));
    const std::string saved = folder.Read();
    EXPECT_EQ(std::make_tuple(true, std::string::npos, std::string::npos),
              std::make_tuple(folder.boxes.empty(), saved.find("SECRET-MARKER"), saved.find("DTD-MARKER")));
    EXPECT_NE(std::string::npos, saved.find("<url>a&secret;</url>")) << saved;
}

// The parser refuses the amplification: both readers report the file, which stays.
TEST(HostileXml, ExponentialAndRecursiveEntitiesAreRejected)
{
    const std::string files[] = {
        ExponentialEntities(),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n"
        "  <!ENTITY a \"x&b;\">\n  <!ENTITY b \"y&a;\">\n]>\n"
        "<srv_root><cfg><autorun>&a;</autorun></cfg><srv><url>&a;</url><ip>10.0.0.1</ip></srv></srv_root>\n",
    };
    for (const std::string& file : files) {
        SrvXmlFolder folder;
        ASSERT_TRUE(folder.Write(file));
        EXPECT_EQ((BothReads{"", {}, {kNotParsedBox, kNotParsedBox}}.Tied()), folder.LoadBoth().Tied());
        EXPECT_EQ(file, folder.Read());
    }
}

TEST(HostileXml, ManyReferencesToABigEntityDoNotExpand)
{
    SrvXmlFolder folder;
    ASSERT_TRUE(folder.Write("<?xml version=\"1.0\"?>\n<!DOCTYPE srv_root [\n  <!ENTITY big \"" +
                             std::string(20000, 'a') + "\">\n]>\n<srv_root><cfg><autorun>" +
                             Repeated<std::string>("&big;", 5000) +
                             "</autorun></cfg><srv><url>b.example</url><ip>10.0.0.2</ip></srv></srv_root>\n"));

    // The file parses; the references are not expanded into the command.
    EXPECT_EQ((BothReads{OwnCommand(), {{"b.example", "10.0.0.2"}}, {}}.Tied()), folder.LoadBoth().Tied());
}
