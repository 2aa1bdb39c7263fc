// The whole program driven through its real window, as a user would: a copy of
// Zorvane.exe in a fresh folder, its controls read and clicked from this process.
#include "timesync/MainWindowIds.h"
#include "app/MainWindowText.h"
#include "config/ServerConfig.h"
#include "support/Dialogs.h"
#include "support/RemoteControls.h"
#include "support/TempDir.h"
#include "support/TimeServer.h"
#include "support/ZorvaneProcess.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

namespace {

const std::string VALUE_2015("\xD8\x4F\x0C\x80", 4);  // 3629059200
const char* const RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string ServerRows(const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::string xml;
    for (const auto& row : rows)
        xml += "  <srv>\n    <url>" + row.first + "</url>\n    <ip>" + row.second + "</ip>\n  </srv>\n";
    return xml;
}

std::string ConfigFile(const std::string& autorun, const std::string& servers)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun>" +
           autorun + "</autorun>\n  </cfg>\n" + servers + "</srv_root>\n";
}

bool ReadRunValue(const char* name, std::string& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    data = buffer;
    return status == ERROR_SUCCESS && type == REG_SZ;
}

void DeleteRunValue(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

std::string DesktopShortcutPath()
{
    char desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOP, FALSE);
    return std::string(desktop) + "\\Zorvane v1.0.lnk";
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

class MainWindowUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRunValue("Zorvane");
        DeleteFileA(DesktopShortcutPath().c_str());
    }

    void TearDown() override
    {
        if (app && app->Running() && window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        app.reset();
        DeleteRunValue("Zorvane");
        DeleteRunValue("Other");
        DeleteFileA(DesktopShortcutPath().c_str());
    }

    void WriteConfig(const std::string& xml) { ASSERT_TRUE(WriteFileBytes(dir.file("srv.xml"), xml)); }

    void WriteServers(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        WriteConfig(ConfigFile("", ServerRows(rows)));
    }

    // Starts the program; message boxes it shows before its window are left to the test.
    void Start()
    {
        app = std::make_unique<ZorvaneProcess>(dir.path());
        ASSERT_TRUE(app->Start());
    }

    void Launch()
    {
        Start();
        window = app->WaitForWindow("Zorvane v1.0");
        ASSERT_NE(nullptr, window) << "no main window";
        ASSERT_TRUE(app->WaitIdle());
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::string Log() const { return WindowTextOf(Control(IDC_LOG)); }

    bool LogEndsWith(const std::string& tail) const
    {
        std::string log = Log();
        return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
    }

    bool WaitForLogEnd(const std::string& tail, DWORD timeoutMs = 8000) const
    {
        return WaitFor([&] { return LogEndsWith(tail); }, timeoutMs);
    }

    void Click(int id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    void CloseAndExpectExitCode(int expected)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(expected, app->WaitForExit());
    }

    // The log of a sync from the list up to the received value (no tick falls in between).
    std::string SyncLogUpToValue(const std::string& address, unsigned value) const
    {
        std::string log = Log();
        size_t at = log.find("Socket ");
        std::string socket = at == std::string::npos ? "?" : log.substr(at + 7, log.find(' ', at + 7) - at - 7);
        return "\r\nStarted up WinSock 2.0\r\n\r\nSocket " + socket + "  已经成功创建!\r\n\r\n正在连接: " +
               address + "...\r\n已成功连接到时间服务器\r\n\r\n正在接受数据，请稍候...\r\n"
               "接受的时间为从1900年1月1日起 " + std::to_string(value) + " 秒 \r\n";
    }

    TempDir dir{"zorvane_ui"};
    std::unique_ptr<ZorvaneProcess> app;
    HWND window = nullptr;
};

void ExpectRect(const RECT& expected, HWND control, const char* name)
{
    RECT actual = ChildRectInParent(control);
    EXPECT_EQ(expected.left, actual.left) << name;
    EXPECT_EQ(expected.top, actual.top) << name;
    EXPECT_EQ(expected.right, actual.right) << name;
    EXPECT_EQ(expected.bottom, actual.bottom) << name;
}

void ExpectControl(HWND control, const char* className, DWORD style, const char* text)
{
    ASSERT_NE(nullptr, control) << className;
    char actualClass[64] = {};
    GetClassNameA(control, actualClass, sizeof actualClass);
    EXPECT_STRCASEEQ(className, actualClass);
    EXPECT_EQ(style, static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)) & style) << className;
    if (text) {
        EXPECT_EQ(text, WindowTextOf(control));
    }
}

struct Placement {
    int id;
    const char* name;
    RECT rect;
};

// Where the layout tree puts each control for the window rectangle 0, 0, 750, 450.
const Placement kPlacements[] = {
    {IDC_SERVERLIST, "server list", {0, 0, 420, 300}},
    {IDC_LOG, "log box", {421, 0, 821, 300}},
    {IDC_SYNC, "sync button", {190, 340, 250, 370}},
    {IDC_SHORTCUT, "shortcut check", {260, 374, 560, 394}},
    {IDC_COMMAND, "command edit", {260, 352, 610, 372}},
    {IDC_AUTOSTART, "autostart check", {620, 352, 780, 372}},
};

const RECT kHintLabelRect = {260, 330, 860, 350};

HWND HintLabel(HWND window)
{
    return FindWindowExA(window, nullptr, "Static", nullptr);
}

void ExpectLayoutTable(HWND window)
{
    for (const Placement& p : kPlacements)
        ExpectRect(p.rect, GetDlgItem(window, p.id), p.name);
    ExpectRect(kHintLabelRect, HintLabel(window), "hint label");
}

TEST_F(MainWindowUi, FreshFolderGetsDefaultServersCommandHelpAndLayout)
{
    Launch();
    ASSERT_TRUE(FileExists(dir.file("srv.xml")));

    HWND list = Control(IDC_SERVERLIST);
    ASSERT_EQ(kDefaultServerCount, RemoteListItemCount(list));
    for (int row = 0; row < kDefaultServerCount; ++row) {
        EXPECT_EQ(DefaultServers[row].host, RemoteListItemText(list, row, 0));
        EXPECT_EQ(DefaultServers[row].address, RemoteListItemText(list, row, 1));
    }
    EXPECT_EQ("\"" + app->exePath() + "\" /ip " + FirstDefaultAddress(), WindowTextOf(Control(IDC_COMMAND)));
    EXPECT_EQ(BuildHelpText(FirstDefaultAddress(), HelpPageAddress(dir.path())), Log());
    EXPECT_EQ("Zorvane v1.0", WindowTextOf(window));
    EXPECT_FALSE(Checked(IDC_AUTOSTART));
    EXPECT_FALSE(Checked(IDC_SHORTCUT));

    ExpectControl(list, "SysListView32", 0x50810009, nullptr);
    EXPECT_EQ(0x21u, static_cast<DWORD>(GetWindowLongA(list, GWL_EXSTYLE)) & 0x21u);
    ExpectControl(Control(IDC_LOG), "Edit", 0x50201884, nullptr);
    ExpectControl(Control(IDC_SYNC), "Button", 0x50000000, "校时");
    ExpectControl(Control(IDC_COMMAND), "Edit", 0x50000080, nullptr);
    ExpectControl(Control(IDC_AUTOSTART), "Button", 0x50000003, "开机自启");
    ExpectControl(Control(IDC_SHORTCUT), "Button", 0x50000003, "创建桌面快捷方式");
    ExpectControl(HintLabel(window), "Static", WS_CHILD | WS_VISIBLE,
                  "勾选复选框，即将相应命令行指令写入注册表，实现开机自启:");
    ExpectLayoutTable(window);

    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(0, frame.left);
    EXPECT_EQ(0, frame.top);
    EXPECT_EQ(750, frame.right - frame.left);
    EXPECT_EQ(450, frame.bottom - frame.top);

    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, ResizingAndMaximisingMoveNoControl)
{
    Launch();
    SetWindowPos(window, nullptr, 30, 40, 500, 300, SWP_NOZORDER);
    ASSERT_TRUE(app->WaitIdle());
    ExpectLayoutTable(window);
    ShowWindow(window, SW_MAXIMIZE);
    ASSERT_TRUE(app->WaitIdle());
    ExpectLayoutTable(window);
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, SyncButtonRunsTheExchangeOfTheSelectedRow)
{
    TimeServer server("127.0.3.1", TimeScripts::SendThenAwaitClose(VALUE_2015));
    WriteServers({{"first.test", "127.0.3.200"}, {"loopback.test", "127.0.3.1"}});
    Launch();
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 1));
    Click(IDC_SYNC);

    ASSERT_TRUE(WaitForLogEnd("不能设置新的日期和时间!")) << Log();
    EXPECT_EQ(SyncLogUpToValue("127.0.3.1", 3629059200u) + "不能设置新的日期和时间!", Log());
    EXPECT_EQ(1, server.AcceptedCount());
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, DoubleClickSyncsTheSelectedRowAndReportsTheChange)
{
    TimeServer server("127.0.3.2", TimeScripts::CurrentTime());
    WriteServers({{"loopback.test", "127.0.3.2"}});
    Launch();
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 0));
    // The clock is "set" only to within half a second of now; start early in a second.
    WaitFor([] { SYSTEMTIME now; GetSystemTime(&now); return now.wMilliseconds < 200; }, 2000);
    // An empty area of the list: the selected row counts, not the point.
    PostDoubleClick(Control(IDC_SERVERLIST), 200, 250);

    ASSERT_TRUE(WaitFor([&] { return Log().find("现在\t") != std::string::npos; }, 8000)) << Log();
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("\r\n系统的日期和时间已成功更改：\r\n以前\t")) << log;
    EXPECT_EQ('.', log.back());
    CloseAndExpectExitCode(0);
}

// Run by tests/scripts/xinetd_peer.sh with xinetd's built-in time service on 127.0.0.1:37;
// the script compares what is written here with rdate's answer.
TEST_F(MainWindowUi, RealPeerValueIsTheCurrentTime)
{
    std::string out = WinePathFromEnv("ZORVANE_REAL_PEER_OUT");
    if (out.empty())
        GTEST_SKIP() << "needs xinetd's time service; see tests/scripts/xinetd_peer.sh";
    WriteServers({{"xinetd.local", "127.0.0.1"}});
    Launch();
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 0));
    Click(IDC_SYNC);
    const std::string marker = "接受的时间为从1900年1月1日起 ";
    ASSERT_TRUE(WaitFor([&] { return Log().find(" 秒 \r\n") != std::string::npos; }, 8000)) << Log();
    const uint32_t now = CurrentTimeValue();
    std::string log = Log();
    size_t at = log.find(marker);
    ASSERT_NE(std::string::npos, at) << log;
    const uint32_t value = static_cast<uint32_t>(std::strtoul(log.c_str() + at + marker.size(), nullptr, 10));
    EXPECT_LE(value > now ? value - now : now - value, 1u);
    std::ofstream(out) << value << ' ' << now << '\n';
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, WithoutSelectionTheButtonChangesNothing)
{
    TimeServer server("127.0.3.3", TimeScripts::SendThenAwaitClose(VALUE_2015));
    WriteServers({{"loopback.test", "127.0.3.3"}});
    Launch();
    RemoteListClearSelection(Control(IDC_SERVERLIST));
    std::string before = Log();
    Click(IDC_SYNC);
    PostDoubleClick(Control(IDC_SERVERLIST), 200, 250);
    Sleep(500);
    EXPECT_EQ(before, Log());
    EXPECT_EQ(0, server.AcceptedCount());
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, RefusedConnectionShowsDotsThenTimesOut)
{
    WriteServers({{"nobody.test", "127.0.3.4"}});
    Launch();
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 0));
    Click(IDC_SYNC);
    ASSERT_TRUE(WaitFor([&] { return Log().find("连接错误： #") != std::string::npos; }, 8000)) << Log();
    EXPECT_NE(std::string::npos, Log().find("\r\n连接错误： #10061.")) << Log();

    std::string before = Log();
    for (int tick = 0; tick < 3; ++tick)
        SendMessageA(window, WM_TIMER, 1, 0);
    EXPECT_EQ(before + "...", Log());
    for (int tick = 3; tick < 301; ++tick)
        SendMessageA(window, WM_TIMER, 1, 0);
    EXPECT_EQ("网络连接失败！", Log());
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, WindowAnswersWhileAServerHoldsTheConnection)
{
    TimeServer server("127.0.3.5", TimeScripts::Silent());
    WriteServers({{"silent.test", "127.0.3.5"}});
    Launch();
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 0));
    Click(IDC_SYNC);
    ASSERT_TRUE(server.WaitForAccepted(1, 5000));
    for (int probe = 0; probe < 20; ++probe) {
        DWORD_PTR answer = 0;
        DWORD start = GetTickCount();
        ASSERT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer));
        EXPECT_LT(GetTickCount() - start, 100u);
        Sleep(50);
    }
    EXPECT_EQ(std::string::npos, Log().find("接受的时间"));
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, AutostartBoxWritesRunValueAndStoresOwnCommand)
{
    WriteConfig(ConfigFile("", ServerRows({{"a.test", "127.0.3.6"}})));
    Launch();
    std::string command = WindowTextOf(Control(IDC_COMMAND));
    ASSERT_EQ("\"" + app->exePath() + "\" /ip " + FirstDefaultAddress(), command);

    Click(IDC_AUTOSTART);
    std::string value;
    ASSERT_TRUE(WaitFor([&] { return ReadRunValue("Zorvane", value); }, 3000));
    EXPECT_EQ(command, value);
    std::string stored = ReadFileBytes(dir.file("srv.xml"));
    EXPECT_NE(std::string::npos, stored.find("<autorun>" + command + "</autorun>")) << stored;

    Click(IDC_AUTOSTART);
    EXPECT_TRUE(WaitFor([&] { return !ReadRunValue("Zorvane", value); }, 3000));
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, AutostartOfAnotherProgramLeavesSrvXmlAlone)
{
    WriteServers({{"a.test", "127.0.3.7"}});
    Launch();
    std::string before = ReadFileBytes(dir.file("srv.xml"));
    SetWindowTextA(Control(IDC_COMMAND), "\"C:\\Tools\\Other.exe\" /ip 1.2.3.4");
    Click(IDC_AUTOSTART);
    std::string value;
    ASSERT_TRUE(WaitFor([&] { return ReadRunValue("Other", value); }, 3000));
    EXPECT_EQ("\"C:\\Tools\\Other.exe\" /ip 1.2.3.4", value);
    EXPECT_FALSE(ReadRunValue("Zorvane", value));
    EXPECT_EQ(before, ReadFileBytes(dir.file("srv.xml")));

    Click(IDC_AUTOSTART);
    EXPECT_TRUE(WaitFor([&] { return !ReadRunValue("Other", value); }, 3000));
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, ShortcutBoxCreatesAndRemovesTheLinkAndBoxesReflectTheSystemAtStart)
{
    WriteServers({{"a.test", "127.0.3.8"}});
    Launch();
    Click(IDC_SHORTCUT);
    ASSERT_TRUE(WaitFor([] { return FileExists(DesktopShortcutPath()); }, 3000));
    Click(IDC_AUTOSTART);
    std::string value;
    ASSERT_TRUE(WaitFor([&] { return ReadRunValue("Zorvane", value); }, 3000));
    CloseAndExpectExitCode(0);

    Launch();
    EXPECT_TRUE(Checked(IDC_SHORTCUT));
    EXPECT_TRUE(Checked(IDC_AUTOSTART));
    Click(IDC_SHORTCUT);
    EXPECT_TRUE(WaitFor([] { return !FileExists(DesktopShortcutPath()); }, 3000));
    Click(IDC_AUTOSTART);
    EXPECT_TRUE(WaitFor([&] { return !ReadRunValue("Zorvane", value); }, 3000));
    CloseAndExpectExitCode(0);

    Launch();
    EXPECT_FALSE(Checked(IDC_SHORTCUT));
    EXPECT_FALSE(Checked(IDC_AUTOSTART));
    CloseAndExpectExitCode(0);
}

TEST_F(MainWindowUi, BrokenSrvXmlShowsTheMessageTwiceAndStaysUntouched)
{
    const std::string broken = "<?xml version=\"1.0\"?>\n<srv_root><cfg><autorun>x</cfg>";
    WriteConfig(broken);
    Start();
    for (int shown = 0; shown < 2; ++shown) {
        MessageBoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(app->pid(), 15000, box)) << "message " << shown;
        EXPECT_EQ("Document srv.xml not parsed successfully.", box.text);
        EXPECT_EQ("Zorvane", box.caption);
        ASSERT_TRUE(CloseMessageBox(box));
    }
    window = app->WaitForWindow("Zorvane v1.0");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, RemoteListItemCount(Control(IDC_SERVERLIST)));
    EXPECT_EQ("", WindowTextOf(Control(IDC_COMMAND)));
    EXPECT_EQ(broken, ReadFileBytes(dir.file("srv.xml")));
    CloseAndExpectExitCode(0);
}

}  // namespace
