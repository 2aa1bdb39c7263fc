// Inputs longer than the buffers that take them, against the real program: an address cell,
// the autostart command, the process command line and a program name beyond the path limits.
#include "HardeningSupport.h"

#include "timesync/MainWindowIds.h"
#include "support/Dialogs.h"
#include "support/RemoteControls.h"
#include "support/TimeServer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const USAGE_TEXT = "用法: \"Zorvane.exe\" /ip 129.6.15.28\r\n";
const char* const LONG_COMMAND_PREFIX = "\"C:\\Tools\\LongCmd.exe\" /ip 1.2.3.4 ";

// A value of the Run key as the registry holds it; found false when absent.
struct RunValue {
    bool found = false;
    DWORD type = 0;
    std::string data;  // bytes as stored, terminating zero included
};

RunValue QueryRunValue(const char* name)
{
    RunValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    std::vector<char> buffer(8192);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_SUCCESS) {
        value.found = true;
        value.data.assign(buffer.data(), size);
    }
    RegCloseKey(key);
    return value;
}

void DeleteRunValue(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

bool SetRunValue(const char* name, const std::string& text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Every value of the Run key, name to data.
std::map<std::string, std::string> RunValues()
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        std::vector<char> data(8192);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                          &dataSize) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameSize)] = std::string(data.data(), dataSize);
    }
    RegCloseKey(key);
    return values;
}

// The fixed prefix, then the cycle's characters by position, so any cut shows.
std::string LongCommand(size_t length, const std::string& cycle)
{
    std::string text = LONG_COMMAND_PREFIX;
    while (text.size() < length)
        text.push_back(cycle[text.size() % cycle.size()]);
    return text;
}

// Holds the LongCmd value out of the way before and after a test.
struct LongCmdValueCleanup {
    LongCmdValueCleanup() { DeleteRunValue("LongCmd"); }
    ~LongCmdValueCleanup() { DeleteRunValue("LongCmd"); }
};

// Puts a known text into the Run key's unnamed value; puts back what was there afterwards.
class DefaultValueGuard {
public:
    explicit DefaultValueGuard(const std::string& text) : m_before(QueryRunValue(""))
    {
        m_set = SetRunValue("", text);
    }
    ~DefaultValueGuard()
    {
        if (m_before.found && m_before.type == REG_SZ)
            SetRunValue("", m_before.data.c_str());
        else
            DeleteRunValue("");
    }
    bool Set() const { return m_set; }

private:
    RunValue m_before;
    bool m_set = false;
};

// Starts a copy with the given arguments and expects the usage box, then exit code 0.
void ExpectUsageFor(const std::string& arguments)
{
    SCOPED_TRACE("arguments of " + std::to_string(arguments.size()) + " characters");
    TempDir folder("zorvane_long");
    ZorvaneProcess process(folder.path());
    ASSERT_LT(process.exePath().size() + 3 + arguments.size(), 32767u) << "beyond CreateProcess";
    ASSERT_TRUE(process.Start(arguments));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(process.pid(), 15000, box));
    EXPECT_EQ(USAGE_TEXT, box.text);
    EXPECT_EQ("Zorvane", box.caption);
    ASSERT_TRUE(CloseMessageBox(box));
    EXPECT_EQ(0, process.WaitForExit());
}

}  // namespace

TEST(LongInput, FortyCharacterAddressCellConnectsWithItsFirst31Bytes)
{
    // The 31 bytes end in spaces, which the address conversion stops at; the cut shows in
    // the log line, which carries the text the connection used.
    const std::string kept = "127.0.5.1" + std::string(22, ' ');
    const std::string cell = kept + "#TAILBYTE";
    ASSERT_EQ(40u, cell.size());
    ASSERT_EQ(31u, kept.size());
    TimeServer server("127.0.5.1", TimeScripts::SendThenAwaitClose(VALUE_2015));
    ASSERT_TRUE(server.IsListening());
    DrivenZorvane app(ServerRows{{"long.test", cell}});
    ASSERT_TRUE(app.Launch());
    EXPECT_EQ(cell, RemoteListItemText(app.Control(IDC_SERVERLIST), 0, 1)) << "the list shows the whole cell";
    ASSERT_TRUE(app.SelectRow(0));
    app.ClickSync();
    ASSERT_TRUE(app.WaitForLogEnd(CLOCK_REFUSED)) << app.Log();
    const std::string log = app.Log();
    EXPECT_NE(std::string::npos, log.find("正在连接: " + kept + "...")) << log;
    EXPECT_EQ(std::string::npos, log.find("#TAIL")) << log;
    EXPECT_NE(std::string::npos, log.find("接受的时间为从1900年1月1日起 3629059200 秒")) << log;
    EXPECT_EQ(1, server.AcceptedCount());
    EXPECT_EQ(0, app.Close());
}

TEST(LongInput, AutostartCommandIsCutAt998Characters)
{
    LongCmdValueCleanup cleanup;
    DrivenZorvane app(ServerRows{{"a.test", "127.0.5.2"}});
    ASSERT_TRUE(app.Launch());
    const std::string before = ReadFileBytes(app.Folder().file("srv.xml"));

    const std::string exact = LongCommand(998, "0123456789abcdefghij");
    ASSERT_TRUE(SetWindowTextA(app.Control(IDC_COMMAND), exact.c_str()));
    ASSERT_EQ(exact, WindowTextOf(app.Control(IDC_COMMAND)));
    app.Click(IDC_AUTOSTART);
    RunValue value;
    ASSERT_TRUE(WaitFor([&] { return (value = QueryRunValue("LongCmd")).found; }, 3000));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
    EXPECT_EQ(exact + '\0', value.data);

    // Unticked: a present value longer than the 260 bytes read back counts as absent, so it
    // stays, the box says so and a message tells why; the test removes the value itself.
    PostMessageA(app.Control(IDC_AUTOSTART), BM_CLICK, 0, 0);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app.Process().pid(), 8000, box));
    EXPECT_EQ(0u, box.text.find("没有取消开机自启：无法删除注册表值“LongCmd”")) << box.text;
    ASSERT_TRUE(CloseMessageBox(box));
    ASSERT_TRUE(app.Answers());
    EXPECT_EQ(BST_CHECKED, SendMessageA(app.Control(IDC_AUTOSTART), BM_GETCHECK, 0, 0));
    EXPECT_EQ(exact + '\0', QueryRunValue("LongCmd").data);
    DeleteRunValue("LongCmd");
    ASSERT_FALSE(QueryRunValue("LongCmd").found);
    app.Click(IDC_AUTOSTART);  // clears the box: nothing left to delete is no failure
    ASSERT_EQ(BST_UNCHECKED, SendMessageA(app.Control(IDC_AUTOSTART), BM_GETCHECK, 0, 0));

    const std::string longer = LongCommand(1200, "ABCDEFGHIJKLMNOPQRSTU");
    ASSERT_TRUE(SetWindowTextA(app.Control(IDC_COMMAND), longer.c_str()));
    ASSERT_EQ(longer, WindowTextOf(app.Control(IDC_COMMAND))) << "the edit box holds all of it";
    app.Click(IDC_AUTOSTART);
    ASSERT_TRUE(WaitFor([&] { return (value = QueryRunValue("LongCmd")).found; }, 3000));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
    EXPECT_EQ(longer.substr(0, 998) + '\0', value.data);
    EXPECT_NE(exact, longer.substr(0, 998)) << "the two texts must differ within the cut";

    EXPECT_EQ(before, ReadFileBytes(app.Folder().file("srv.xml"))) << "another program's command";
    EXPECT_TRUE(app.Answers());
    EXPECT_EQ(0, app.Close());
}

TEST(LongInput, CommandLinesNear32000CharactersShowUsageAndEndWithZero)
{
    // One address of 31,990 characters, all digits but only three pieces.
    ExpectUsageFor("/ip 1.2." + std::string(31986, '3'));

    // Three arguments after the program, the address very long: one argument too many.
    ExpectUsageFor("/ip 1.2.3." + std::string(16000, '4') + " " + std::string(15000, 'x'));

    // A well-formed switch with a long address that is no number at all.
    ExpectUsageFor("-ip 127.0.5." + std::string(31900, 'z'));
}

TEST(LongInput, ProgramNameBeyondFileNameLimitWritesNoValueAndSparesTheDefault)
{
    const std::string defaultText = "LongInputDefault";
    DefaultValueGuard guard(defaultText);
    ASSERT_TRUE(guard.Set());
    const std::string fileName = "LongName" + std::string(292, 'n');
    ASSERT_EQ(300u, fileName.size());
    const std::string command = "\"C:\\Tools\\" + fileName + ".exe\" /ip 1.2.3.4";

    DrivenZorvane app(ServerRows{{"a.test", "127.0.5.3"}});
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(SetWindowTextA(app.Control(IDC_COMMAND), command.c_str()));
    PostMessageA(app.Control(IDC_AUTOSTART), BM_CLICK, 0, 0);
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app.Process().pid(), 8000, box));
    EXPECT_EQ(0u, box.text.find("没有更改开机自启：无法从命令框中的命令行得出程序名。")) << box.text;
    ASSERT_TRUE(CloseMessageBox(box));
    ASSERT_TRUE(app.Answers());
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(app.Control(IDC_AUTOSTART), BM_GETCHECK, 0, 0))
        << "no value was written, so the box is not ticked";

    const RunValue unnamed = QueryRunValue("");
    EXPECT_TRUE(unnamed.found);
    EXPECT_EQ(defaultText + '\0', unnamed.data);
    const auto values = RunValues();
    ASSERT_EQ(1u, values.count("")) << "the enumeration sees the unnamed value";
    EXPECT_EQ(defaultText + '\0', values.at(""));
    for (const auto& value : values) {
        EXPECT_EQ(std::string::npos, value.second.find(fileName)) << "value \"" << value.first << "\" was written";
        EXPECT_NE(0u, value.first.rfind("LongName", 0)) << "value named " << value.first;
    }
    EXPECT_EQ(0, app.Close());
}

namespace {

// Deletes the named values before and after a test, so that a failing run leaves none behind.
struct RunValuesCleanup {
    explicit RunValuesCleanup(std::vector<std::string> valueNames) : names(std::move(valueNames))
    {
        DeleteAll();
    }
    ~RunValuesCleanup() { DeleteAll(); }
    void DeleteAll() const
    {
        for (const std::string& name : names)
            DeleteRunValue(name.c_str());
    }
    std::vector<std::string> names;
};

}  // namespace

TEST(LongInput, LongTokenInTheCommandBoxNamesNoProgramAndTheWindowGoesOn)
{
    const std::string bareToken = "LongToken" + std::string(989, 't');  // 998: all the box hands over
    const std::string longExtension = "\"C:\\Tools\\LongExt." + std::string(300, 'e') + "\" /ip 1.2.3.4";
    const std::string longestName = "LongName" + std::string(247, 'n');  // 255: the longest that fits
    RunValuesCleanup cleanup({bareToken, "LongExt", longestName});
    DrivenZorvane app(ServerRows{{"a.test", "127.0.5.4"}});
    ASSERT_TRUE(app.Launch());

    for (const std::string& command : {bareToken, longExtension}) {
        SCOPED_TRACE(command.substr(0, 20));
        ASSERT_TRUE(SetWindowTextA(app.Control(IDC_COMMAND), command.c_str()));
        PostMessageA(app.Control(IDC_AUTOSTART), BM_CLICK, 0, 0);
        MessageBoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(app.Process().pid(), 8000, box));
        EXPECT_EQ(0u, box.text.find("没有更改开机自启：无法从命令框中的命令行得出程序名。")) << box.text;
        ASSERT_TRUE(CloseMessageBox(box));
        ASSERT_TRUE(app.Answers());
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(app.Control(IDC_AUTOSTART), BM_GETCHECK, 0, 0));
    }
    for (const auto& value : RunValues()) {
        EXPECT_EQ(std::string::npos, value.second.find("LongToken")) << "value \"" << value.first << "\"";
        EXPECT_EQ(std::string::npos, value.second.find("LongExt")) << "value \"" << value.first << "\"";
    }

    // The same click writes a value when the token is the longest name that fits.
    ASSERT_TRUE(SetWindowTextA(app.Control(IDC_COMMAND), longestName.c_str()));
    app.Click(IDC_AUTOSTART);
    RunValue value;
    ASSERT_TRUE(WaitFor([&] { return (value = QueryRunValue(longestName.c_str())).found; }, 3000));
    EXPECT_EQ(longestName + '\0', value.data);
    EXPECT_EQ(BST_CHECKED, SendMessageA(app.Control(IDC_AUTOSTART), BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, app.Close());
}
