// Damaged and hostile srv.xml files, from a fixed seed, through the three operations that
// read it: no crash, no file but srv.xml touched, and a file that does not parse is never
// rewritten.
#include "config/ServerConfig.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int CASES = 200;
constexpr unsigned SEED = 868;
const char* const NOT_PARSED = "Document srv.xml not parsed successfully.";
const char* const SIBLING = "keep.txt";
const char* const SIBLING_TEXT = "SIBLING-MARKER: nothing may read or change this";

// Answers the message boxes of this thread as they open: a hook sees each box initialised,
// keeps it from ever being shown and ends it with OK. (Under Xvfb, without a window
// manager, Wine spends two seconds on hiding a box that was shown; a box never shown
// costs some 75 ms.)
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
    {
        s_current = this;
        m_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, OnMessageHandled, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxAnswerer()
    {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    bool Installed() const { return m_hook != nullptr; }
    // Texts of the boxes answered since the last call.
    std::vector<std::string> Take() { return std::move(m_texts); }

private:
    static LRESULT CALLBACK OnMessageHandled(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        char className[16] = {};
        if (code == HC_ACTION && s_current && message->message == WM_INITDIALOG &&
            GetClassNameA(message->hwnd, className, sizeof className) && lstrcmpA(className, "#32770") == 0) {
            s_current->m_texts.push_back(LongestStaticText(message->hwnd));
            s_dialogProcedure = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(message->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NeverShown)));
            EndDialog(message->hwnd, IDOK);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK NeverShown(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return CallWindowProcA(s_dialogProcedure, window, message, wParam, lParam);
    }

    static std::string LongestStaticText(HWND dialog)
    {
        std::string best;
        for (HWND child = FindWindowExA(dialog, nullptr, "Static", nullptr); child;
             child = FindWindowExA(dialog, child, "Static", nullptr)) {
            char text[512] = {};
            GetWindowTextA(child, text, sizeof text);
            if (std::strlen(text) > best.size())
                best = text;
        }
        return best;
    }

    static MessageBoxAnswerer* s_current;
    static WNDPROC s_dialogProcedure;
    HHOOK m_hook = nullptr;
    std::vector<std::string> m_texts;
};

WNDPROC MessageBoxAnswerer::s_dialogProcedure = nullptr;
MessageBoxAnswerer* MessageBoxAnswerer::s_current = nullptr;

// libxml2 reports every parse error on the standard error stream; thousands of them through
// the console would take longer than the cases themselves.
class QuietStandardError {
public:
    QuietStandardError() : m_saved(_dup(2))
    {
        const int sink = _open("NUL", _O_WRONLY);
        if (sink >= 0) {
            _dup2(sink, 2);
            _close(sink);
        }
    }
    ~QuietStandardError()
    {
        if (m_saved >= 0) {
            _dup2(m_saved, 2);
            _close(m_saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved;
};

class ListView {
public:
    // Item texts of the huge cases are compared by their start: what the list view hands
    // back of a text beyond 64 KiB is its own affair.
    static constexpr size_t COMPARED_TEXT = 60000;

    ListView()
    {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        m_parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        m_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, m_parent,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        SendMessageA(m_list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        SendMessageA(m_list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    }
    ~ListView() { DestroyWindow(m_parent); }
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    HWND Handle() const { return m_list; }
    void Clear() const { SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0); }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        const int count = static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row)
            rows.push_back(Text(row, 0).substr(0, COMPARED_TEXT) + '\t' + Text(row, 1).substr(0, COMPARED_TEXT));
        return rows;
    }

private:
    std::string Text(int row, int column) const
    {
        std::vector<char> text(1 << 16, '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        SendMessageA(m_list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text.data();
    }

    HWND m_parent = nullptr;
    HWND m_list = nullptr;
};

std::string BaseFile(const std::string& autorun)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun><![CDATA[" + autorun +
           "]]></autorun>\n  </cfg>\n"
           "  <srv>\n    <url>time-a-g.nist.gov</url>\n    <ip>129.6.15.28</ip>\n  </srv>\n"
           "  <!-- a comment -->\n"
           "  <srv>\n    <url>\xE5\x8C\x97\xE4\xBA\xAC.example</url>\n    <ip>10.0.0.2</ip>\n  </srv>\n"
           "  <srv>\n    <url>a&amp;b.example</url>\n    <ip>10.0.&#48;.3</ip>\n  </srv>\n"
           "</srv_root>\n";
}

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
        static const char* const invalidUtf8[] = {"\xFF", "\xC0\x80", "\xE4\xB8", "\xED\xA0\x80", "\x80", "\xF8\x88\x80\x80\x80"};
        static const char* const markup[] = {"<", "&", "]]>", "<!--", "<?x", "</srv>", "<srv>", "&#0;", "&#x110000;", "\0"};
        switch (Below(12)) {
        case 0:
            return text.substr(0, At(text));
        case 9:
        case 10:
        case 11:
            return WithEntities(text);
        case 1:
            for (int flips = 1 + Below(5); flips > 0 && !text.empty(); --flips)
                text[At(text) % text.size()] ^= static_cast<char>(1 << Below(8));
            return text;
        case 2:
            return text.insert(At(text), invalidUtf8[Below(6)]);
        case 3: {
            const int which = Below(10);  // the last one is a zero byte
            return text.insert(At(text), markup[which], which == 9 ? 1 : std::strlen(markup[which]));
        }
        case 4:
            return Nested(text);
        case 5:
            return Huge(text);
        case 6:
            return WithEntities(text);
        case 7: {
            const size_t from = At(text);
            return text.erase(from, static_cast<size_t>(Below(40)));
        }
        default: {
            const size_t from = At(text);
            return text.insert(At(text), text.substr(from, static_cast<size_t>(Below(80))));
        }
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
        return ip == std::string::npos ? text + std::string(length, 'h') : text.insert(ip + 4, std::string(length, '9'));
    }

    std::string WithEntities(std::string text)
    {
        const std::string doctype =
            "<!DOCTYPE srv_root [\n"
            "  <!ENTITY word \"entity-text\">\n"
            "  <!ENTITY sibling SYSTEM \"" + m_siblingUrl + "\">\n"
            "  <!ENTITY % param SYSTEM \"" + m_siblingUrl + "\">\n" +
            (Below(2) ? "  %param;\n" : "") +
            (Below(3) ? "" : "  <!ENTITY a \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY b \"&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY c \"ccccccccccccccccccc\">\n") +
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

std::set<std::string> FolderListing(const TempDir& dir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(dir.file("*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::string OwnCommand()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string("\"") + path + "\" /ip 10.9.8.7";
}

std::string FileUrl(const std::string& path)
{
    std::string url = "file:///" + path;
    for (char& c : url)
        c = c == '\\' ? '/' : c;
    return url;
}

}  // namespace

TEST(ConfigFuzz, DamagedFilesAreReadSafelyAndOnlyParsedOnesRewritten)
{
    TempDir dir("zorvane_fuzz");
    ASSERT_TRUE(WriteFileBytes(dir.file(SIBLING), SIBLING_TEXT));
    const std::string path = dir.file("srv.xml");
    const std::set<std::string> listing = {"srv.xml", SIBLING};
    const std::string command = OwnCommand();
    MessageBoxAnswerer answerer;
    ASSERT_TRUE(answerer.Installed());
    ListView view;
    QuietStandardError quiet;
    Mutator mutator(SEED, FileUrl(dir.file(SIBLING)));
    int unparsed = 0;
    int stored = 0;

    for (int n = 0; n < CASES; ++n) {
        const std::string file = mutator.Mutate(BaseFile(n % 2 ? command : "x"));
        ASSERT_TRUE(WriteFileBytes(path, file));
        SCOPED_TRACE("case " + std::to_string(n) + ": " + file.substr(0, 600));

        const std::string loaded = LoadAutorunCommand(path.c_str());
        const std::vector<std::string> autorunBoxes = answerer.Take();
        view.Clear();
        LoadServerList(dir.path().c_str(), view.Handle());
        const std::vector<std::string> listBoxes = answerer.Take();
        const std::vector<std::string> rows = view.Rows();
        // Both readers judge the file alike, and a box is the one way they complain.
        ASSERT_EQ(autorunBoxes.size(), listBoxes.size());
        ASSERT_LE(autorunBoxes.size(), 1u);
        const bool parsed = autorunBoxes.empty();
        if (!parsed) {
            ASSERT_EQ(NOT_PARSED, autorunBoxes[0]);
            ASSERT_EQ("", loaded);
            ASSERT_TRUE(rows.empty());
        }
        for (const std::string& row : rows)
            ASSERT_EQ(std::string::npos, row.find("SIBLING-MARKER"));
        ASSERT_EQ(std::string::npos, loaded.find("SIBLING-MARKER"));

        const bool storedNow = StoreAutorunCommand(dir.path().c_str(), command.c_str());
        ASSERT_TRUE(answerer.Take().empty());
        ASSERT_EQ(listing, FolderListing(dir));
        ASSERT_EQ(SIBLING_TEXT, ReadFileBytes(dir.file(SIBLING)));
        const std::string after = ReadFileBytes(path);
        if (!parsed) {
            ++unparsed;
            ASSERT_FALSE(storedNow);
            ASSERT_EQ(file, after) << "a file that does not parse is left byte for byte";
            continue;
        }
        ASSERT_EQ(std::string::npos, after.find("SIBLING-MARKER"));
        // A rewritten file reads back: the same rows, and the command where it was stored.
        view.Clear();
        const std::string reloaded = LoadAutorunCommand(path.c_str());
        LoadServerList(dir.path().c_str(), view.Handle());
        ASSERT_TRUE(answerer.Take().empty()) << after.substr(0, 600);
        const std::vector<std::string> rowsAfter = view.Rows();
        ASSERT_EQ(rows.size(), rowsAfter.size());
        for (size_t row = 0; row < rows.size(); ++row)
            ASSERT_EQ(rows[row], rowsAfter[row]) << "row " << row << "; file after: " << after.substr(0, 600);
        if (storedNow) {
            ++stored;
            ASSERT_EQ(command, reloaded);
        }
    }
    std::printf("%d cases: %d not parsed, %d stored\n", CASES, unparsed, stored);
    EXPECT_GT(unparsed, CASES / 5);
    EXPECT_GT(stored, CASES / 10);
}
