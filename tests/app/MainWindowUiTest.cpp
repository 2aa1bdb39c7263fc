// The whole program driven through its real window, as a user would: a copy of
// Zorvane.exe in a fresh folder, its controls read and clicked from this process.
#include "support/DrivenZorvaneTest.h"
#include "support/TimeServer.h"

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class MainWindowUi : public DrivenZorvaneTest {
protected:
    MainWindowUi() : DrivenZorvaneTest({"Zorvane", "Other"}) {}
};

// The window's controls: class, style bits, text (null: not looked at), and where the one
// layout for the window rectangle 0, 0, 750, 450 puts the box of the layout tree that holds
// each. The boxes without a control (A, D, F, H) show only through these positions.
struct Control {
    const char* box;
    int id;  // -1: the hint label, the one static control
    const char* className;
    DWORD style;
    const char* text;
    RECT rect;
};

const Control kControls[] = {
    {"B, server list", kServerListId, "SysListView32", 0x50810009, nullptr, {0, 0, 420, 300}},
    {"C, log box", kLogId, "Edit", 0x50201884, nullptr, {421, 0, 821, 300}},
    {"E, sync button", kSyncButtonId, "Button", 0x50000000, "校时", {190, 340, 250, 370}},
    {"G, hint label", -1, "Static", WS_CHILD | WS_VISIBLE, "勾选复选框，即将相应命令行指令写入注册表，实现开机自启:",
     {260, 330, 860, 350}},
    {"I, shortcut check", kShortcutCheckId, "Button", 0x50000003, "创建桌面快捷方式", {260, 374, 560, 394}},
    {"J, command edit", kCommandEditId, "Edit", 0x50000080, nullptr, {260, 352, 610, 372}},
    {"K, autostart check", kAutostartCheckId, "Button", 0x50000003, "开机自启", {620, 352, 780, 372}},
};

HWND ControlOf(HWND window, const Control& control)
{
    return control.id < 0 ? FindWindowExA(window, nullptr, "Static", nullptr) : GetDlgItem(window, control.id);
}

void ExpectLayoutTable(HWND window)
{
    for (const Control& control : kControls)
        EXPECT_EQ(control.rect, ChildRectInParent(ControlOf(window, control))) << control.box;
}

TEST_F(MainWindowUi, FreshFolderGetsDefaultServersCommandHelpAndLayout)
{
    ASSERT_TRUE(LaunchWithoutSrvXml());
    ASSERT_TRUE(FileExists(app->Folder().file("srv.xml")));

    HWND list = app->Control(kServerListId);
    EXPECT_EQ(kDefaultServers, RemoteListRows(list));
    // Column titles and widths, the command, the title, both boxes clear.
    EXPECT_EQ(std::make_tuple("时间服务器域名", "IP地址", 230, 180, DefaultCommand(), kMainWindowTitle, false, false),
              std::make_tuple(RemoteListColumnTitle(list, 0), RemoteListColumnTitle(list, 1),
                              SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0),
                              WindowTextOf(app->Control(kCommandEditId)), WindowTextOf(app->Window()),
                              app->Checked(kAutostartCheckId), app->Checked(kShortcutCheckId)));
    EXPECT_EQ(HelpText("129.6.15.28", FileUrl(app->Folder().file("Zorvane-help.html"))), app->Log());

    for (const Control& control : kControls) {
        HWND shown = ControlOf(app->Window(), control);
        ASSERT_NE(nullptr, shown) << control.box;
        EXPECT_STRCASEEQ(control.className, ClassNameOf(shown).c_str()) << control.box;
        EXPECT_EQ(control.style, static_cast<DWORD>(GetWindowLongA(shown, GWL_STYLE)) & control.style) << control.box;
        EXPECT_EQ(control.text ? control.text : WindowTextOf(shown), WindowTextOf(shown)) << control.box;
    }
    EXPECT_EQ(0x21u, static_cast<DWORD>(GetWindowLongA(list, GWL_EXSTYLE)) & 0x21u);
    EXPECT_EQ(0x21, SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x21);
    EXPECT_EQ(0, GetDlgCtrlID(FindWindowExA(app->Window(), nullptr, "Static", nullptr)));
    ExpectLayoutTable(app->Window());  // the window's own place: GuiMode (CommandLineModeTest)
}

TEST_F(MainWindowUi, ResizingAndMaximisingMoveNoControl)
{
    ASSERT_TRUE(LaunchWithoutSrvXml());
    SetWindowPos(app->Window(), nullptr, 30, 40, 500, 300, SWP_NOZORDER);
    ASSERT_TRUE(app->Process().WaitIdle());
    ExpectLayoutTable(app->Window());
    ShowWindow(app->Window(), SW_MAXIMIZE);
    ASSERT_TRUE(app->Process().WaitIdle());
    ExpectLayoutTable(app->Window());
}

TEST_F(MainWindowUi, SyncButtonRunsTheExchangeOfTheSelectedRow)
{
    TimeServer server("127.0.3.1", TimeScripts::SendThenAwaitClose(kValue2015));
    ASSERT_TRUE(LaunchAndSync({{"first.test", "127.0.3.200"}, {"loopback.test", "127.0.3.1"}}, 1));

    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    EXPECT_EQ(OpeningLines("127.0.3.1", SocketNamedIn(app->Log())) + ConnectedLines() +
                  ValueLines(kValue2015Seconds) + kClockRefused,
              app->Log());
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST_F(MainWindowUi, DoubleClickSyncsTheSelectedRowAndReportsTheChange)
{
    TimeServer server("127.0.3.2", TimeScripts::CurrentTime());
    ASSERT_TRUE(Launch({{"loopback.test", "127.0.3.2"}}));
    ASSERT_TRUE(app->SelectRow(0));
    // An empty area of the list: the selected row counts, not the point.
    PostDoubleClick(app->Control(kServerListId), 200, 250);

    ASSERT_TRUE(WaitFor([&] { return app->Log().find("现在\t") != std::string::npos; }, 8000)) << app->Log();
    std::string log = app->Log();
    EXPECT_NE(std::string::npos, log.find("\r\n系统的日期和时间已成功更改：\r\n以前\t")) << log;
    EXPECT_EQ('.', log.back());
}

// Run by tests/scripts/xinetd_peer.sh with xinetd's built-in time service on 127.0.0.1:37;
// the script compares what is written here with rdate's answer.
TEST_F(MainWindowUi, RealPeerValueIsTheCurrentTime)
{
    std::string out = WinePathFromEnv("ZORVANE_REAL_PEER_OUT");
    if (out.empty())
        GTEST_SKIP() << "needs xinetd's time service; see tests/scripts/xinetd_peer.sh";
    ASSERT_TRUE(LaunchAndSync({{"xinetd.local", "127.0.0.1"}}));
    const std::string marker = "接受的时间为从1900年1月1日起 ";
    ASSERT_TRUE(WaitFor([&] { return app->Log().find(" 秒 \r\n") != std::string::npos; }, 8000)) << app->Log();
    const uint32_t now = CurrentTimeValue();
    std::string log = app->Log();
    size_t at = log.find(marker);
    ASSERT_NE(std::string::npos, at) << log;
    const uint32_t value = static_cast<uint32_t>(std::strtoul(log.c_str() + at + marker.size(), nullptr, 10));
    EXPECT_LE(value > now ? value - now : now - value, 1u);
    std::ofstream(out) << value << ' ' << now << '\n';
}

TEST_F(MainWindowUi, WithoutSelectionTheButtonChangesNothing)
{
    TimeServer server("127.0.3.3", TimeScripts::SendThenAwaitClose(kValue2015));
    ASSERT_TRUE(Launch({{"loopback.test", "127.0.3.3"}}));
    RemoteListClearSelection(app->Control(kServerListId));
    std::string before = app->Log();
    app->ClickSync();
    PostDoubleClick(app->Control(kServerListId), 200, 250);
    ASSERT_TRUE(app->Settled());
    EXPECT_EQ(before, app->Log());
    EXPECT_EQ(0, server.AcceptedCount());
}

TEST_F(MainWindowUi, RefusedConnectionShowsDotsThenTimesOut)
{
    ASSERT_TRUE(LaunchAndSync({{"nobody.test", "127.0.3.4"}}));
    ASSERT_TRUE(WaitFor([&] { return app->Log().find("连接错误： #") != std::string::npos; }, 8000)) << app->Log();
    EXPECT_NE(std::string::npos, app->Log().find("\r\n连接错误： #10061.")) << app->Log();

    std::string before = app->Log();
    app->Tick(3);
    EXPECT_EQ(before + "...", app->Log());
    app->Tick(298);
    EXPECT_EQ(kTimedOut, app->Log());
}

TEST_F(MainWindowUi, WindowAnswersWhileAServerHoldsTheConnection)
{
    TimeServer server("127.0.3.5", TimeScripts::Silent());
    ASSERT_TRUE(LaunchAndSync({{"silent.test", "127.0.3.5"}}));
    ASSERT_TRUE(server.WaitForAccepted(1, 5000));
    // The server never sends: a window that waited for it inside a handler would stop
    // answering. Probed all the while, it answers until its own timer has ticked twice.
    int unanswered = 0;
    EXPECT_TRUE(WaitFor([&] {
        unanswered += app->Answers(2000) ? 0 : 1;
        return EndsWith(app->Log(), kWaitingForData + std::string(".."));
    }, 8000)) << app->Log();
    EXPECT_EQ(0, unanswered);
    EXPECT_EQ(std::string::npos, app->Log().find("接受的时间"));
}

// Ticking writes the command under its program's name, and srv.xml keeps it only when it
// starts this program; unticking removes the value.
TEST_F(MainWindowUi, AutostartBoxWritesTheRunValueAndStoresOnlyThisProgramsCommand)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.3.6"}}));
    ASSERT_EQ(DefaultCommand(), WindowTextOf(app->Control(kCommandEditId)));
    struct Row {
        std::string command;
        const char* name;
        const char* otherName;
        bool stored;
    };
    const Row rows[] = {{DefaultCommand(), "Zorvane", "Other", true},
                        {"\"C:\\Tools\\Other.exe\" /ip 1.2.3.4", "Other", "Zorvane", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string before = SrvXml();
        Type(row.command);
        app->Click(kAutostartCheckId);
        EXPECT_EQ(std::make_pair(RunCommandValue(row.command), RegistryValue{}),
                  std::make_pair(ReadRunValue(row.name), ReadRunValue(row.otherName)));
        EXPECT_TRUE(row.stored ? SrvXml().find(AutorunElement(row.command)) != std::string::npos : SrvXml() == before)
            << SrvXml();
        app->Click(kAutostartCheckId);
        EXPECT_EQ(RegistryValue{}, ReadRunValue(row.name));
    }
}

TEST_F(MainWindowUi, ShortcutBoxCreatesAndRemovesTheLinkAndBoxesReflectTheSystemAtStart)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.3.8"}}));
    for (bool ticked : {true, false}) {
        SCOPED_TRACE(ticked ? "ticked" : "unticked");
        app->Click(kShortcutCheckId);
        ASSERT_TRUE(WaitFor([&] { return FileExists(DesktopShortcutFile()) == ticked; }, 3000));
        app->Click(kAutostartCheckId);
        const RegistryValue run = ticked ? RunCommandValue(DefaultCommand()) : RegistryValue{};
        ASSERT_TRUE(WaitFor([&] { return ReadRunValue("Zorvane") == run; }, 3000));
        EXPECT_EQ(0, app->Close());

        ASSERT_TRUE(app->Launch());
        EXPECT_EQ(ticked, app->Checked(kShortcutCheckId));
        EXPECT_EQ(ticked, app->Checked(kAutostartCheckId));
    }
}

// A broken srv.xml, and a marked one of 1.5 GiB, more than a 32-bit process can hold (sparse, so
// cheap to make: zeros, no document), which is read as a stream and refused at its first
// character: the message shows twice and the program goes on as with any file it cannot parse,
// the silent run included; the broken file stays as it was.
TEST_F(MainWindowUi, BrokenOrHugeMarkedSrvXmlShowsTheMessageTwiceInEitherMode)
{
    const std::string broken = "<?xml version=\"1.0\"?>\n<srv_root><cfg><autorun>x</cfg>";
    const std::pair<const char*, bool> runs[] = {{"", false}, {"/ip 127.0.2.9", true}, {"", true}};  // huge
    for (const auto& [arguments, huge] : runs) {
        SCOPED_TRACE(std::string(arguments) + (huge ? " huge" : " broken"));
        app = std::make_unique<DrivenZorvane>();
        const std::string path = app->Folder().file("srv.xml");
        ASSERT_TRUE(WriteFileBytes(path, huge ? "\xFF\xFE" : broken));
        if (huge)
            std::filesystem::resize_file(path, 3ULL << 29);
        ASSERT_TRUE(app->Start(arguments));
        for (int shown = 0; shown < 2; ++shown)
            EXPECT_EQ("Document srv.xml not parsed successfully.", app->AnswerMessageBox(nullptr, 15000)) << shown;
        if (*arguments) {
            EXPECT_EQ(1, app->ExitCode()) << "the code of the refused connection";
            continue;
        }
        ASSERT_TRUE(app->AwaitWindow());
        EXPECT_EQ(0, RemoteListItemCount(app->Control(kServerListId)));
        EXPECT_EQ("", WindowTextOf(app->Control(kCommandEditId)));
        EXPECT_TRUE(huge || ReadFileBytes(path) == broken);
        EXPECT_EQ(0, app->Close());
    }
}

}  // namespace
