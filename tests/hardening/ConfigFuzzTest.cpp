// Damaged and hostile srv.xml files, from a fixed seed, through the three operations that
// read it: no crash, no file but srv.xml touched, and a file that does not parse is never
// rewritten.
#include "config/StoredCommand.h"
#include "config/ServerList.h"
#include "support/Dialogs.h"
#include "support/ServerListView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kCases = 200;
constexpr unsigned kSeed = 868;
const char* const kNotParsed = "Document srv.xml not parsed successfully.";
const char* const kSibling = "keep.txt";
const char* const kSiblingText = "SIBLING-MARKER: nothing may read or change this";
// Item texts of the huge cases are compared by their start: what the list view hands back
// of a text beyond 64 KiB is its own affair.
constexpr size_t kComparedText = 60000;

// libxml2 reports every parse error on the standard error stream; thousands of them through
// the console would take longer than the cases themselves.
struct QuietStandardError {
    const int saved = _dup(2);
    const int nowhere = _open("NUL", _O_WRONLY);
    QuietStandardError() { _dup2(nowhere, 2); }
    ~QuietStandardError()
    {
        _dup2(saved, 2);
        _close(saved);
        _close(nowhere);
    }
};

std::string BaseFile(const std::string& autorun)
{
    std::string file = SavedSrvXml(CdataAutorunElement(autorun), {{"time-a-g.nist.gov", "129.6.15.28"},
                                                                  {"\xE5\x8C\x97\xE4\xBA\xAC.example", "10.0.0.2"},
                                                                  {"a&amp;b.example", "10.0.&#48;.3"}});
    return file.insert(file.find("  <srv>", file.find("</srv>")), "  <!-- a comment -->\n");
}

const char* const kInvalidUtf8[] = {"\xFF", "\xC0\x80", "\xE4\xB8", "\xED\xA0\x80", "\x80", "\xF8\x88\x80\x80\x80"};
const char* const kMarkup[] = {"<", "&", "]]>", "<!--", "<?x", "</srv>", "<srv>", "&#0;", "&#x110000;", "\0"};

class Mutator {
public:
    explicit Mutator(unsigned seed, std::string siblingUrl) : m_random(seed), m_siblingUrl(std::move(siblingUrl)) {}

    std::string Mutate(std::string text)
    {
        const int rounds = Below(4) ? 1 : 2;
        for (int i = 0; i < rounds; ++i)
            text = MutateOnce(text);
        return text;
    }

private:
    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }
    size_t At(const std::string& text) { return static_cast<size_t>(Below(static_cast<int>(text.size()) + 1)); }

    std::string MutateOnce(std::string text)
    {
        switch (Below(12)) {
        case 0:
            return text.substr(0, At(text));
        case 1:
            for (int flips = 1 + Below(5); flips > 0 && !text.empty(); --flips)
                text[At(text) % text.size()] ^= static_cast<char>(1 << Below(8));
            return text;
        case 2:
            return text.insert(At(text), kInvalidUtf8[Below(6)]);
        case 3: {
            const int which = Below(10);  // the last one is a zero byte
            return text.insert(At(text), kMarkup[which], which == 9 ? 1 : std::strlen(kMarkup[which]));
        }
        case 4:
            return Nested(text);
        case 5:
            return Huge(text);
        case 7: {
            const size_t from = At(text);
            return text.erase(from, static_cast<size_t>(Below(40)));
        }
        case 8: {
            const size_t from = At(text);
            return text.insert(At(text), text.substr(from, static_cast<size_t>(Below(80))));
        }
        default:
            return WithEntities(text);
        }
    }

    // Elements nested deeper than the parser allows, or just within it, inside a url.
    std::string Nested(std::string text)
    {
        const int depth = Below(3) ? 10 + Below(200) : 257 + Below(3000);
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<n>";
            close += "</n>";
        }
        const size_t url = text.find("<url>");
        return url == std::string::npos ? open + text + close : text.insert(url + 5, open + "deep" + close);
    }

    std::string Huge(std::string text)
    {
        const size_t length = Below(50) ? 1000 + Below(30000) : 1000000;
        const size_t ip = text.find("<ip>");
        return ip == std::string::npos ? text + std::string(length, 'h') : text.insert(ip + 4, length, '9');
    }

    std::string WithEntities(std::string text)
    {
        const std::string doctype =
            "<!DOCTYPE srv_root [\n"
            "  <!ENTITY word \"entity-text\">\n"
            "  <!ENTITY sibling SYSTEM \"" + m_siblingUrl + "\">\n"
            "  <!ENTITY % param SYSTEM \"" + m_siblingUrl + "\">\n" +
            (Below(2) ? "  %param;\n" : "") +
            (Below(3) ? "" : "  <!ENTITY a \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY b \"&c;&c;&c;&c;&c;&c;&c;&c;\">"
                             "<!ENTITY c \"ccccccccccccccccccc\">\n") +
            "]>\n";
        const size_t declarationEnd = text.find("?>");
        text.insert(declarationEnd == std::string::npos ? 0 : declarationEnd + 3, doctype);
        static const char* const references[] = {"&word;", "&sibling;", "&a;", "&undefined;"};
        for (int i = Below(4); i >= 0; --i) {
            const size_t tag = text.find(Below(2) ? "<url>" : "<ip>", At(text) / 2);
            if (tag != std::string::npos)
                text.insert(text.find('>', tag) + 1, references[Below(4)]);
        }
        return text;
    }

    std::mt19937 m_random;
    std::string m_siblingUrl;
};

struct Reading {
    std::string command;
    std::vector<std::string> rows;
    bool parsed = false;
};

// Both readers, as the window starts: they judge the file alike, a box is the one way they
// complain, and nothing of the sibling file comes in.
void ReadBoth(const TempDir& dir, ServerListView& view, Reading& reading)
{
    view.Clear();
    const auto autorunBoxes = AnswerMessageBoxesDuring(
        [&] { reading.command = LoadAutorunCommand(dir.file("srv.xml").c_str()); });
    const auto listBoxes = AnswerMessageBoxesDuring([&] { LoadServerList(dir.path().c_str(), view.handle()); });
    for (const auto& row : view.AllRows())
        reading.rows.push_back(row.first.substr(0, kComparedText) + '\t' + row.second.substr(0, kComparedText));
    ASSERT_EQ(autorunBoxes.size(), listBoxes.size());
    ASSERT_LE(autorunBoxes.size(), 1u);
    reading.parsed = autorunBoxes.empty();
    if (!reading.parsed) {
        ASSERT_EQ(std::make_tuple(std::string(kNotParsed), std::string(), std::vector<std::string>()),
                  std::make_tuple(autorunBoxes[0].text, reading.command, reading.rows));
    }
    for (const std::string& row : reading.rows)
        ASSERT_EQ(std::string::npos, row.find("SIBLING-MARKER"));
    ASSERT_EQ(std::string::npos, reading.command.find("SIBLING-MARKER"));
}

// Storing shows nothing and touches no file but srv.xml. A file that does not parse is left
// byte for byte; a rewritten one reads back: the same rows, and the command where it was stored.
void StoreAndReadBack(const TempDir& dir, ServerListView& view, const std::string& file,
                      const Reading& before, const std::string& command, bool& stored)
{
    ASSERT_TRUE(AnswerMessageBoxesDuring([&] {
        stored = StoreAutorunCommand(dir.path().c_str(), command.c_str());
    }).empty());
    const std::vector<std::string> entries = FolderEntries(dir.path());
    ASSERT_EQ(std::set<std::string>({"srv.xml", kSibling}), std::set<std::string>(entries.begin(), entries.end()));
    ASSERT_EQ(kSiblingText, ReadFileBytes(dir.file(kSibling)));
    const std::string after = ReadFileBytes(dir.file("srv.xml"));
    if (!before.parsed) {
        ASSERT_EQ(std::make_pair(false, file), std::make_pair(stored, after)) << "not stored, left byte for byte";
        return;
    }
    ASSERT_EQ(std::string::npos, after.find("SIBLING-MARKER"));
    Reading reread;
    ASSERT_NO_FATAL_FAILURE(ReadBoth(dir, view, reread));
    ASSERT_EQ(std::make_pair(true, before.rows), std::make_pair(reread.parsed, reread.rows))
        << "file after: " << after.substr(0, 600);
    ASSERT_TRUE(!stored || reread.command == command) << reread.command;
}

}  // namespace

TEST(ConfigFuzz, DamagedFilesAreReadSafelyAndOnlyParsedOnesRewritten)
{
    TempDir dir("zorvane_fuzz");
    ASSERT_TRUE(WriteFileBytes(dir.file(kSibling), kSiblingText));
    const std::string command = "\"" + ExePath() + "\" /ip 10.9.8.7";
    ServerListView view;
    QuietStandardError quiet;
    Mutator mutator(kSeed, FileUrl(dir.file(kSibling)));
    int unparsed = 0, stored = 0;

    for (int n = 0; n < kCases; ++n) {
        const std::string file = mutator.Mutate(BaseFile(n % 2 ? command : "x"));
        ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), file));
        SCOPED_TRACE("case " + std::to_string(n) + ": " + file.substr(0, 600));
        Reading reading;
        ASSERT_NO_FATAL_FAILURE(ReadBoth(dir, view, reading));
        bool storedNow = false;
        ASSERT_NO_FATAL_FAILURE(StoreAndReadBack(dir, view, file, reading, command, storedNow));
        unparsed += reading.parsed ? 0 : 1;
        stored += storedNow ? 1 : 0;
    }
    std::printf("%d cases: %d not parsed, %d stored\n", kCases, unparsed, stored);
    EXPECT_GT(unparsed, kCases / 5);
    EXPECT_GT(stored, kCases / 10);
}
