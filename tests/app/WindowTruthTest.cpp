// What the real window says is so: check boxes after a failed step, the log's end, names
// that GBK cannot hold or that carry white space, the help address in a double-byte folder.
#include "framework/ScopedWin.h"
#include "support/DrivenZorvaneTest.h"
#include "support/ImmutableFolder.h"
#include "support/TimeServer.h"

#include <algorithm>
#include <optional>

namespace {

// Routes that share their steps, each run by tests of its own.
class WindowTruth : public DrivenZorvaneTest {
protected:
    void DeletedWhileOpen(bool tick);
    void UnreadableThenAdvice(const std::string& file, bool tick, std::string message,
                              const std::optional<ServerRows>& mended = std::nullopt);
};

// Each refused command says why, with the form a command needs; the box, the Run value and
// srv.xml stay as they were.
TEST_F(WindowTruth, RefusedCommandsLeaveTheBoxAndSrvXmlAsSaid)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.1"}}));
    const std::string file = SrvXml();
    const bool unnamedValueBefore = ReadRunValue("").found;
    const std::string example = "\r\n\r\n命令框中应填写带双引号的本程序完整路径，后接 /ip 和一个 IP 地址，例如：\r\n" +
                                DefaultCommand();
    const std::string otherForm = "没有设置开机自启：本程序只接受 /ip 和一个 IP 地址这两个参数，"
                                  "开机时本程序只会显示用法，不会校时。" + example;
    const std::pair<std::string, std::string> refused[] = {  // command, message
        {"", "没有设置开机自启：命令框是空的。" + example},
        {"\"\" /ip 1.2.3.4", "没有更改开机自启：无法从命令框中的命令行得出程序名。" + example},
        {OwnCommand("/ip time.nist.gov"),
         "没有设置开机自启：“time.nist.gov”不是本程序接受的 IP 地址，开机时本程序只会显示用法，不会校时。" + example},
        {OwnCommand("/IP 1.2.3.4"), otherForm},
        {OwnCommand("/ip 1.2.3.4 more"), otherForm},
        {OwnCommand("/ip"), otherForm},
    };
    for (const auto& [command, message] : refused) {
        SCOPED_TRACE(command);
        Type(command);
        EXPECT_EQ(message, app->MessageAfterClicking(kAutostartCheckId));
        EXPECT_EQ(Autostart(false, {}, file), AutostartNow());
        EXPECT_EQ(unnamedValueBefore, ReadRunValue("").found);
    }
}

// Unticking removes the value, also with a command that ticking refuses.
TEST_F(WindowTruth, UntickingACommandTickingRefusesRemovesTheValue)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.1"}}));
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId));
    const std::string stored = SrvXml();
    Type(OwnCommand("/IP 1.2.3.4"));
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId));
    EXPECT_EQ(Autostart(false, {}, stored), AutostartNow());
}

// Unticked after a good command was written, a nameless one is no silent removal either.
TEST_F(WindowTruth, UntickingANamelessCommandIsSaid)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.1"}}));
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId));
    const std::string stored = SrvXml();
    Type("\"\" /ip 1.2.3.4");
    EXPECT_EQ("没有更改开机自启：无法从命令框中的命令行得出程序名。\r\n\r\n"
              "命令框中应填写带双引号的本程序完整路径，后接 /ip 和一个 IP 地址，例如：\r\n" + DefaultCommand(),
              app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(false, RunCommandValue(DefaultCommand()), stored), AutostartNow());
}

TEST_F(WindowTruth, RemovingAValueThatIsGoneIsNoFailure)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.1"}}));
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId) && app->Checked(kAutostartCheckId) && ReadRunValue("Zorvane").found);
    DeleteRunValue("Zorvane");
    const std::string ticked = SrvXml();
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId));
    EXPECT_EQ(Autostart(false, {}, ticked), AutostartNow());
}

// The registry refuses (its Run key is gone and the program does not make it): srv.xml keeps
// what it held, so the next start shows no command that no log-on runs.
TEST_F(WindowTruth, ARegistryWithoutTheRunKeyLeavesSrvXmlAsItWas)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.1"}}));
    const std::string file = SrvXml();
    Type(OwnCommand("/ip 1.2.3.4"));
    RunKeyRemoved removed;
    ASSERT_TRUE(removed.ok());
    EXPECT_EQ("没有设置开机自启：无法把命令行写入注册表值“Zorvane”（HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
              "CurrentVersion\\Run）。\r\n\r\n原因：系统找不到指定的文件。（错误代码 2）",
              app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(false, {}, file), AutostartNow());
}

// A read-only srv.xml that already holds the command loses nothing: no message.
TEST_F(WindowTruth, AReadOnlySrvXmlHoldingTheCommandIsNoLoss)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.13"}}));
    const std::string path = app->Folder().file("srv.xml");
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string file = SrvXml();
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId));
    EXPECT_EQ(Autostart(true, RunCommandValue(DefaultCommand()), file), AutostartNow());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// srv.xml cannot keep the command: ticked while the file is read-only, unticked while a folder
// stands where its temporary file goes. The Run value follows the box all the same, the
// message gives the system's reason, and the file stays byte for byte, read-only too. Done as
// the message says, the box ends as it was and the file holds the command.
TEST_F(WindowTruth, ACommandAReadOnlySrvXmlCannotKeepIsSaidAndTheAdviceKeepsIt)
{
    const ServerRows rows = {{"a.test", "127.0.5.13"}};
    ASSERT_TRUE(Launch(rows));
    const std::string path = app->Folder().file("srv.xml");
    const std::string command = OwnCommand("/ip 127.0.0.7");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string file = SrvXml();
    Type(command);
    EXPECT_EQ("已设置开机自启（已写入注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。"
              "\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n请让本程序的文件夹可以写入，并去掉其中 srv.xml 的只读属性，"
              "然后先取消勾选“开机自启”，再重新勾选它。",
              app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(true, RunCommandValue(command), file), AutostartNow());
    EXPECT_EQ(DWORD{FILE_ATTRIBUTE_READONLY}, GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ExpectKept(command, true, rows);
}

TEST_F(WindowTruth, ACommandAFolderInTheWayCannotKeepIsSaidAndTheAdviceKeepsIt)
{
    const ServerRows rows = {{"a.test", "127.0.5.13"}};
    ASSERT_TRUE(Launch(rows));
    const std::string path = app->Folder().file("srv.xml");
    const std::string command = OwnCommand("/ip 127.0.0.7");
    ASSERT_TRUE(ClickedQuietly(kAutostartCheckId));
    Type(command);
    const std::string file = SrvXml();
    ASSERT_TRUE(CreateDirectoryA((path + ".tmp").c_str(), nullptr));
    EXPECT_EQ("已取消开机自启（已删除注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。"
              "\r\n\r\n原因：拒绝访问。（错误代码 5）\r\n请让本程序的文件夹可以写入，并去掉其中 srv.xml 的只读属性，"
              "然后先勾选“开机自启”，再取消勾选它。",
              app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(false, {}, file), AutostartNow());

    ASSERT_TRUE(RemoveDirectoryA((path + ".tmp").c_str()));
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ExpectKept(command, false, rows);
}

// srv.xml deleted while the window is open: nothing is lost, so the click writes the default
// file holding the user's command and says nothing; the next start shows that command.
void WindowTruth::DeletedWhileOpen(bool tick)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.14"}}));
    const std::string command = OwnCommand("/ip 127.0.0.7");
    ASSERT_TRUE(tick || ClickedQuietly(kAutostartCheckId));
    Type(command);
    ASSERT_TRUE(DeleteFileA(app->Folder().file("srv.xml").c_str()));
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId));
    ExpectKept(command, tick, kDefaultServers, CdataAutorunElement(command));
    ASSERT_TRUE(Restarted());
    EXPECT_EQ(std::make_pair(tick, command),
              std::make_pair(app->Checked(kAutostartCheckId), WindowTextOf(app->Control(kCommandEditId))));
}

TEST_F(WindowTruth, ASrvXmlDeletedWhileTheWindowIsOpenIsWrittenAtATickWithTheUsersCommand)
{
    DeletedWhileOpen(true);
}

TEST_F(WindowTruth, ASrvXmlDeletedWhileTheWindowIsOpenIsWrittenAtAnUntickWithTheUsersCommand)
{
    DeletedWhileOpen(false);
}

// A srv.xml that cannot be read (broken, saved in GBK) is never rewritten; the message names
// the user's command ({command}), since a restart shows another one. Done literally (the file
// deleted, or mended into the rows, a restart, the command typed back, two clicks) the Run value
// and srv.xml hold it.
void WindowTruth::UnreadableThenAdvice(const std::string& file, bool tick, std::string message,
                                       const std::optional<ServerRows>& mended)
{
    const ServerRows rows = {{"a.test", "127.0.5.14"}};
    ASSERT_TRUE(Launch(rows));
    const std::string path = app->Folder().file("srv.xml");
    const std::string command = OwnCommand("/ip 127.0.0.7");
    ASSERT_TRUE(tick || ClickedQuietly(kAutostartCheckId));
    ASSERT_TRUE(WriteFileBytes(path, file));
    Type(command);
    EXPECT_EQ(message.replace(message.find("{command}"), 9, command), app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(tick, tick ? RunCommandValue(command) : RegistryValue{}, file), AutostartNow());

    ASSERT_TRUE(mended ? WriteFileBytes(path, SavedSrvXml(AutorunElement("x"), *mended)) : DeleteFileA(path.c_str()) != 0);
    ASSERT_TRUE(Restarted());
    Type(command);
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ExpectKept(command, tick, mended.value_or(kDefaultServers));
}

const std::string kBrokenFile = SavedSrvXml(AutorunElement("x"), {{"a.test", "127.0.5.14"}}).substr(0, 60);

TEST_F(WindowTruth, ABrokenSrvXmlAtATickIsSaidAndDeletedAsAdvisedKeepsTheUsersCommand)
{
    UnreadableThenAdvice(kBrokenFile, true,
        "已设置开机自启（已写入注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。\r\n\r\n"
        "原因：srv.xml 不是本程序能读取的 UTF-8 编码的 XML 文件（文件已损坏、是空的，或被编辑器另存为 GBK 等编码）；"
        "本程序不会改写这样的文件。\r\n请修好 srv.xml 并以 UTF-8 编码保存，或删除它后重新启动本程序"
        "（本程序会写入默认的 srv.xml，命令框随之显示默认的命令行）。\r\n再在命令框中填入你的命令行：\r\n"
        "{command}\r\n然后先取消勾选“开机自启”，再重新勾选它。");
}

TEST_F(WindowTruth, ABrokenSrvXmlAtAnUntickIsSaidAndDeletedAsAdvisedKeepsTheUsersCommand)
{
    UnreadableThenAdvice(kBrokenFile, false,
        "已取消开机自启（已删除注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。\r\n\r\n"
        "原因：srv.xml 不是本程序能读取的 UTF-8 编码的 XML 文件（文件已损坏、是空的，或被编辑器另存为 GBK 等编码）；"
        "本程序不会改写这样的文件。\r\n请修好 srv.xml 并以 UTF-8 编码保存，或删除它后重新启动本程序"
        "（本程序会写入默认的 srv.xml，命令框随之显示默认的命令行）。\r\n再在命令框中填入你的命令行：\r\n"
        "{command}\r\n然后先勾选“开机自启”，再取消勾选它。");
}

TEST_F(WindowTruth, ASrvXmlSavedInGbkIsSaidAndMendedAsAdvisedKeepsTheUsersCommand)
{
    UnreadableThenAdvice(SavedSrvXml(AutorunElement("x"), {{"时间.test", "127.0.5.14"}}), true,
        "已设置开机自启（已写入注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。\r\n\r\n"
        "原因：srv.xml 不是本程序能读取的 UTF-8 编码的 XML 文件（文件已损坏、是空的，或被编辑器另存为 GBK 等编码）；"
        "本程序不会改写这样的文件。\r\n请修好 srv.xml 并以 UTF-8 编码保存，或删除它后重新启动本程序"
        "（本程序会写入默认的 srv.xml，命令框随之显示默认的命令行）。\r\n再在命令框中填入你的命令行：\r\n"
        "{command}\r\n然后先取消勾选“开机自启”，再重新勾选它。",
        ServerRows{{u8"时间.test", "127.0.5.14"}});
}

// A command with a character XML cannot hold is not stored; done as the message says (the
// character deleted, two clicks) the Run value and srv.xml hold the command.
TEST_F(WindowTruth, ACommandSrvXmlCannotHoldIsSaidAndTheAdviceKeepsIt)
{
    const ServerRows rows = {{"a.test", "127.0.5.14"}};
    ASSERT_TRUE(Launch(rows));
    const std::string pasted = OwnCommand("\x01ip 127.0.0.7");
    Type(pasted);
    EXPECT_EQ("已设置开机自启（已写入注册表值“Zorvane”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。"
              "\r\n\r\n原因：命令行中有 srv.xml 无法保存的字符（控制字符或不完整的汉字，常见于粘贴来的文字）。"
              "\r\n请在命令框中删去这些字符，或重新输入命令行，然后先取消勾选“开机自启”，再重新勾选它。",
              app->MessageAfterClicking(kAutostartCheckId));
    EXPECT_EQ(Autostart(true, RunCommandValue(pasted), SavedSrvXml("<autorun/>", rows)), AutostartNow());  // saved as read
    Type(OwnCommand("/ip 127.0.0.7"));  // typed again
    EXPECT_TRUE(ClickedQuietly(kAutostartCheckId) && ClickedQuietly(kAutostartCheckId));
    ExpectKept(OwnCommand("/ip 127.0.0.7"), true, rows);
}

// Started by its bare name, as a shell in its folder starts it, from a folder whose path takes
// more than 260 bytes in UTF-8: the command line is short, the default command is not.
TEST_F(WindowTruth, ABareStartFromALongFolderWritesTheWholeDefaultCommand)
{
    std::string name;
    for (int i = 0; i < 14; ++i)
        name += "时间服务器";
    app = std::make_unique<DrivenZorvane>(ServerRows{}, name);
    ASSERT_TRUE(DeleteFileA(app->Folder().file("srv.xml").c_str()));
    ASSERT_TRUE(app->LaunchByBareName());
    ASSERT_LT(260u, Utf8OfGbk(DefaultCommand()).size());
    EXPECT_EQ(DefaultFileText(Utf8OfGbk(DefaultCommand())), SrvXml());
}

TEST_F(WindowTruth, ADesktopThatCannotTakeTheLinkLeavesTheBoxClear)
{
    const TempDir dir("zorvane_truth");
    const std::string notAFolder = dir.file("desktop-is-a-file");
    ASSERT_TRUE(WriteFileBytes(notAFolder, "x"));
    DesktopMoved moved(notAFolder);
    ASSERT_TRUE(moved.ok());
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.3"}}));
    EXPECT_FALSE(app->Checked(kShortcutCheckId));

    const std::string pathNotFound = "没有创建桌面快捷方式：无法在桌面文件夹中保存“Zorvane v1.0.lnk”。"
                                     "\r\n\r\n原因：系统找不到指定的路径。（错误代码 3）";
    EXPECT_EQ(pathNotFound, app->MessageAfterClicking(kShortcutCheckId));
    EXPECT_FALSE(app->Checked(kShortcutCheckId));
    EXPECT_EQ("x", ReadFileBytes(notAFolder));
    {
        DesktopMoved nowhere(dir.file("no-such-folder"));
        ASSERT_TRUE(nowhere.ok());
        EXPECT_EQ(pathNotFound, app->MessageAfterClicking(kShortcutCheckId));
        EXPECT_FALSE(app->Checked(kShortcutCheckId));
    }
    EXPECT_FALSE(FileExists(dir.file("no-such-folder")));
}

TEST_F(WindowTruth, AShortcutInUseStaysAndTheReasonIsTheSystemCodeTheShellGave)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.12"}}));
    // Held without FILE_SHARE_DELETE, the link cannot be deleted: Wine's shell answers with
    // ERROR_SHARING_VIOLATION, a system code; its own values are tested directly. Shared for
    // reading it still loads; held alone it does not, and the box is cleared, but the file
    // that stays is a failure all the same.
    for (const DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{0}}) {
        SCOPED_TRACE(sharing);
        ASSERT_TRUE(app->Checked(kShortcutCheckId) || ClickedQuietly(kShortcutCheckId));
        const ScopedHandle held(
            CreateFileA(DesktopShortcutFile().c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        EXPECT_EQ("没有删除桌面快捷方式：无法删除桌面上的“Zorvane v1.0.lnk”。\r\n\r\n"
                  "原因：另一个程序正在使用此文件，进程无法访问。（错误代码 32）",
                  app->MessageAfterClicking(kShortcutCheckId));
        EXPECT_EQ(sharing != 0, app->Checked(kShortcutCheckId));
        EXPECT_TRUE(FileExists(DesktopShortcutFile()));
    }
}

// A desktop folder that refuses the deletion (immutable): Wine's shell answers success and the
// file stays. The system denied the deletion, and the message says so.
TEST_F(WindowTruth, AShortcutTheDesktopKeepsIsAFailureThoughTheShellAnsweredSuccess)
{
    const TempDir dir("zorvane_truth");
    ImmutableFolder desktop(dir.path());
    DesktopMoved moved(desktop.path());
    ASSERT_TRUE(moved.ok());
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.14"}}));
    ASSERT_TRUE(ClickedQuietly(kShortcutCheckId));
    const std::string link = desktop.path() + "\\Zorvane v1.0.lnk";
    ASSERT_TRUE(FileExists(link));

    ASSERT_TRUE(desktop.Lock());
    EXPECT_EQ("没有删除桌面快捷方式：无法删除桌面上的“Zorvane v1.0.lnk”。\r\n\r\n原因：拒绝访问。（错误代码 5）",
              app->MessageAfterClicking(kShortcutCheckId));
    EXPECT_TRUE(app->Checked(kShortcutCheckId));
    EXPECT_TRUE(FileExists(link));
}

TEST_F(WindowTruth, ReportsGoToTheEndWhereverTheUserPutTheCaret)
{
    TimeServer server("127.0.5.4", TimeScripts::Silent());
    ASSERT_TRUE(LaunchAndSync({{"silent.test", "127.0.5.4"}}));
    HWND log = app->Control(kLogId);
    const std::string waiting = kWaitingForData;
    ASSERT_TRUE(WaitFor([&] { return app->Log().find(waiting) != std::string::npos; })) << app->Log();
    const std::string before = app->Log().substr(0, app->Log().find(waiting) + waiting.size());

    PostMessageA(log, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(log, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(WaitFor([&] { return LOWORD(SendMessageA(log, EM_GETSEL, 0, 0)) < 5; }));
    app->Tick();
    SendMessageA(log, EM_SETSEL, 4, 12);
    app->Tick();
    const std::string after = app->Log();
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
    app->Tick();
    EXPECT_EQ(lines + ".", app->Log().substr(0, lines.size() + 1));
    EXPECT_LT(40, SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
}

TEST_F(WindowTruth, CharactersOutsideGbkShowAsQuestionMarksAndTheFileStaysAsItWas)
{
    // Outside ASSERT_TRUE, whose message would carry these characters into a GBK literal.
    const ServerRows rows = {{u8"服务器Ä测试", "127.0.5.5"}, {u8"ÄÖÜ 日本語テスト 한국어", "127.0.5.6"},
                             {"addr.test", u8"127.0.5.7Ä"}};
    ASSERT_TRUE(Launch(rows));
    const std::string file = SrvXml();
    const ServerRows shown = {{"服务器?测试", "127.0.5.5"}, {"??? 日本語テスト ???", "127.0.5.6"}, {"addr.test", "127.0.5.7?"}};
    EXPECT_EQ(shown, RemoteListRows(app->Control(kServerListId)));
    EXPECT_EQ(0, app->Close());
    EXPECT_EQ(file, SrvXml());
}

TEST_F(WindowTruth, WhiteSpaceAroundNamesAndAddressesIsIgnored)
{
    TimeServer server("127.0.5.8", TimeScripts::SendThenAwaitClose(kValue2015));
    ASSERT_TRUE(LaunchAndSync({{u8"\n      时间 服务器\t\n    ", "\n\t 127.0.5.8 \t\r\n    "}}));
    EXPECT_EQ((ServerRows{{"时间 服务器", "127.0.5.8"}}), RemoteListRows(app->Control(kServerListId)));
    ASSERT_TRUE(app->WaitForLogEnd(kClockRefused)) << app->Log();
    EXPECT_NE(std::string::npos, app->Log().find("正在连接: 127.0.5.8...\r\n已成功连接到时间服务器")) << app->Log();
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST_F(WindowTruth, TheHelpAddressKeepsAFolderNameWhoseSecondByteIsABackslash)
{
    ASSERT_TRUE(Launch({{"a.test", "127.0.5.9"}}, "誠"));  // D5 5C
    ASSERT_NE(std::string::npos, app->Folder().path().find("\\誠"));
    const std::string address = FileUrl(app->Folder().file("Zorvane-help.html"));
    ASSERT_EQ(HelpText("129.6.15.28", address), app->Log()) << "the address is the log's";

    wchar_t wide[MAX_PATH] = {};
    ASSERT_LT(0, MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, address.c_str(), -1, wide, MAX_PATH));
    std::wstring path(wide + 8);
    EXPECT_EQ(std::wstring::npos, path.find(L'\\'));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const DWORD attributes = GetFileAttributesW(path.substr(0, path.rfind(L'\\')).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << address;
}

}  // namespace
