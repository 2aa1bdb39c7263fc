// What the real window says is so: check boxes after a failed step, the log's end, names
// that GBK cannot hold or that carry white space, the help address in a double-byte folder.
#include "timesync/MainWindowIds.h"
#include "support/Dialogs.h"
#include "support/RemoteControls.h"
#include "support/SystemState.h"
#include "support/TempDir.h"
#include "support/TimeServer.h"
#include "support/ZorvaneProcess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string kValue2015("\xD8\x4F\x0C\x80", 4);  // far off: the clock refuses it
const char kHint[] = "\r\n\r\n命令框中应填写带双引号的本程序完整路径，后接 /ip 和一个 IP 地址，例如：\r\n";

// srv.xml with an empty autorun (the window then offers the default command) and the given
// srv elements, written as they stand (UTF-8).
std::string SrvXml(const std::string& servers)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun></autorun>\n"
           "  </cfg>\n" + servers + "</srv_root>\n";
}

std::string Server(const std::string& url, const std::string& ip)
{
    return "  <srv>\n    <url>" + url + "</url>\n    <ip>" + ip + "</ip>\n  </srv>\n";
}

class WindowTruth : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRunValue("Zorvane");
        DeleteFileA(DesktopShortcutPath().c_str());
    }

    void TearDown() override
    {
        if (app) {
            for (const MessageBoxInfo& box : FindMessageBoxes(app->pid()))
                CloseMessageBox(box);
            if (window)
                PostMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(0, app->WaitForExit());
        }
        DeleteRunValue("Zorvane");
        DeleteFileA(DesktopShortcutPath().c_str());
    }

    void Launch(const std::string& servers, const std::string& folder = "")
    {
        const std::string where = folder.empty() ? dir.path() : folder;
        ASSERT_TRUE(WriteFileBytes(where + "srv.xml", SrvXml(servers)));
        app = std::make_unique<ZorvaneProcess>(where);
        ASSERT_TRUE(app->Start());
        window = app->WaitForWindow("Zorvane v1.0");
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(app->WaitIdle());
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::string Log() const { return WindowTextOf(Control(IDC_LOG)); }
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string DefaultCommand() const { return "\"" + app->exePath() + "\" /ip 129.6.15.28"; }

    // The click as the mouse gives it, and the message box that it brings up (closed again).
    std::string MessageAfterClicking(int id)
    {
        PostMessageA(Control(id), BM_CLICK, 0, 0);
        MessageBoxInfo box;
        if (!WaitForMessageBox(app->pid(), 8000, box))
            return "(no message box)";
        EXPECT_EQ("Zorvane", box.caption);
        CloseMessageBox(box);
        return box.text;
    }

    // A click whose handler returns without showing anything.
    bool ClickedQuietly(int id) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 8000, &result) != 0 &&
               FindMessageBoxes(app->pid()).empty();
    }

    TempDir dir{"zorvane_truth"};
    std::unique_ptr<ZorvaneProcess> app;
    HWND window = nullptr;
};

TEST_F(WindowTruth, AnEmptyOrNamelessCommandIsRefusedWithTheFormItNeeds)
{
    Launch(Server("a.test", "127.0.5.1"));
    const std::string file = ReadFileBytes(dir.file("srv.xml"));
    const bool unnamedValueBefore = RunValuePresent("");

    SetWindowTextA(Control(IDC_COMMAND), "");
    EXPECT_EQ("没有设置开机自启：命令框是空的。" + std::string(kHint) + DefaultCommand(),
              MessageAfterClicking(IDC_AUTOSTART));
    EXPECT_FALSE(Checked(IDC_AUTOSTART));
    EXPECT_FALSE(RunValuePresent("Zorvane"));

    SetWindowTextA(Control(IDC_COMMAND), "\"\" /ip 1.2.3.4");
    EXPECT_EQ("没有更改开机自启：无法从命令框中的命令行得出程序名。" + std::string(kHint) + DefaultCommand(),
              MessageAfterClicking(IDC_AUTOSTART));
    EXPECT_FALSE(Checked(IDC_AUTOSTART));
    EXPECT_EQ(unnamedValueBefore, RunValuePresent(""));
    EXPECT_EQ(file, ReadFileBytes(dir.file("srv.xml")));
}

TEST_F(WindowTruth, RemovingAValueThatIsGoneIsNoFailure)
{
    Launch(Server("a.test", "127.0.5.2"));
    ASSERT_TRUE(ClickedQuietly(IDC_AUTOSTART));
    EXPECT_TRUE(Checked(IDC_AUTOSTART));
    ASSERT_TRUE(RunValuePresent("Zorvane"));
    DeleteRunValue("Zorvane");
    const std::string file = ReadFileBytes(dir.file("srv.xml"));

    EXPECT_TRUE(ClickedQuietly(IDC_AUTOSTART));
    EXPECT_FALSE(Checked(IDC_AUTOSTART));
    EXPECT_EQ(file, ReadFileBytes(dir.file("srv.xml")));
}

TEST_F(WindowTruth, ADesktopThatCannotTakeTheLinkLeavesTheBoxClear)
{
    const std::string notAFolder = dir.file("desktop-is-a-file");
    ASSERT_TRUE(WriteFileBytes(notAFolder, "x"));
    DesktopMoved moved(notAFolder);
    ASSERT_TRUE(moved.ok());
    Launch(Server("a.test", "127.0.5.3"));
    EXPECT_FALSE(Checked(IDC_SHORTCUT));

    const std::string pathNotFound = "没有创建桌面快捷方式：无法在桌面文件夹中保存“Zorvane v1.0.lnk”。"
                                     "\r\n\r\n原因：系统找不到指定的路径。（错误代码 3）";
    EXPECT_EQ(pathNotFound, MessageAfterClicking(IDC_SHORTCUT));
    EXPECT_FALSE(Checked(IDC_SHORTCUT));
    EXPECT_EQ("x", ReadFileBytes(notAFolder));
    {
        DesktopMoved nowhere(dir.file("no-such-folder"));
        ASSERT_TRUE(nowhere.ok());
        EXPECT_EQ(pathNotFound, MessageAfterClicking(IDC_SHORTCUT));
        EXPECT_FALSE(Checked(IDC_SHORTCUT));
    }
    EXPECT_FALSE(FileExists(dir.file("no-such-folder")));
}

TEST_F(WindowTruth, ReportsGoToTheEndWhereverTheUserPutTheCaret)
{
    TimeServer server("127.0.5.4", TimeScripts::Silent());
    Launch(Server("silent.test", "127.0.5.4"));
    HWND log = Control(IDC_LOG);
    ASSERT_TRUE(RemoteListSelect(Control(IDC_SERVERLIST), 0));
    SendMessageA(Control(IDC_SYNC), BM_CLICK, 0, 0);
    const std::string waiting = "正在接受数据，请稍候...";
    ASSERT_TRUE(WaitUntil([&] { return Log().find(waiting) != std::string::npos; })) << Log();
    const std::string before = Log().substr(0, Log().find(waiting) + waiting.size());

    PostMessageA(log, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(log, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(WaitUntil([&] { return LOWORD(SendMessageA(log, EM_GETSEL, 0, 0)) < 5; }));
    SendMessageA(window, WM_TIMER, 1, 0);
    SendMessageA(log, EM_SETSEL, 4, 12);
    SendMessageA(window, WM_TIMER, 1, 0);
    const std::string after = Log();
    ASSERT_EQ(before, after.substr(0, before.size())) << after;
    EXPECT_LE(2u, after.size() - before.size());
    EXPECT_EQ(std::string::npos, after.find_first_not_of('.', before.size())) << after;

    std::string lines;
    for (int line = 0; line < 60; ++line)
        lines += "line " + std::to_string(line) + "\r\n";
    SetWindowTextA(log, lines.c_str());
    SendMessageA(log, EM_SETSEL, 0, 0);
    SendMessageA(log, EM_SCROLLCARET, 0, 0);
    ASSERT_EQ(0, SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(window, WM_TIMER, 1, 0);
    EXPECT_EQ(lines + ".", Log().substr(0, lines.size() + 1));
    EXPECT_LT(40, SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
}

TEST_F(WindowTruth, CharactersOutsideGbkShowAsQuestionMarksAndTheFileStaysAsItWas)
{
    Launch(Server(u8"服务器Ä测试", "127.0.5.5") + Server(u8"ÄÖÜ 日本語テスト 한국어", "127.0.5.6") +
           Server("addr.test", u8"127.0.5.7Ä"));
    const std::string file = ReadFileBytes(dir.file("srv.xml"));
    HWND list = Control(IDC_SERVERLIST);
    ASSERT_EQ(3, RemoteListItemCount(list));
    EXPECT_EQ("服务器?测试", RemoteListItemText(list, 0, 0));
    EXPECT_EQ("??? 日本語テスト ???", RemoteListItemText(list, 1, 0));
    EXPECT_EQ("127.0.5.7?", RemoteListItemText(list, 2, 1));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, app->WaitForExit());
    window = nullptr;
    app.reset();
    EXPECT_EQ(file, ReadFileBytes(dir.file("srv.xml")));
}

TEST_F(WindowTruth, WhiteSpaceAroundNamesAndAddressesIsIgnored)
{
    TimeServer server("127.0.5.8", TimeScripts::SendThenAwaitClose(kValue2015));
    Launch(Server(u8"\n      时间 服务器\t\n    ", "\n\t 127.0.5.8 \t\r\n    "));
    HWND list = Control(IDC_SERVERLIST);
    EXPECT_EQ("时间 服务器", RemoteListItemText(list, 0, 0));
    EXPECT_EQ("127.0.5.8", RemoteListItemText(list, 0, 1));
    ASSERT_TRUE(RemoteListSelect(list, 0));
    SendMessageA(Control(IDC_SYNC), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("不能设置新的日期和时间!") != std::string::npos; }))
        << Log();
    EXPECT_NE(std::string::npos, Log().find("正在连接: 127.0.5.8...\r\n已成功连接到时间服务器")) << Log();
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST_F(WindowTruth, TheHelpAddressKeepsAFolderNameWhoseSecondByteIsABackslash)
{
    const std::string folder = dir.path() + "誠\\";  // D5 5C
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    Launch(Server("a.test", "127.0.5.9"), folder);
    const std::string log = Log();
    const size_t start = log.find("file:///");
    ASSERT_NE(std::string::npos, start) << log;
    const std::string address = log.substr(start, log.find("\r\n", start) - start);
    EXPECT_EQ("/誠/Zorvane-help.html", address.substr(address.size() - 21)) << address;

    wchar_t wide[MAX_PATH] = {};
    ASSERT_LT(0, MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, address.c_str(), -1, wide, MAX_PATH));
    std::wstring path(wide + 8);
    EXPECT_EQ(std::wstring::npos, path.find(L'\\'));
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    const std::wstring named = path.substr(0, path.rfind(L'\\'));
    const DWORD attributes = GetFileAttributesW(named.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << address;
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY) << address;
}

}  // namespace
