// "Zorvane v1.0.lnk" on the desktop of the prefix, which lies inside the build tree.
#include "ConfigTestSupport.h"
#include "config/ShortcutPath.h"
#include "config/DesktopShortcut.h"
#include "framework/ScopedWin.h"
#include "support/SystemPlaces.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

bool SameDirectory(const std::string& a, const std::string& b)
{
    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ScopedHandle owner(h);
        return owner.IsValid() && GetFileInformationByHandle(h, &info) &&
               (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    return identify(a, ia) && identify(b, ib) && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

std::string Upper(std::string text)
{
    CharUpperA(&text[0]);
    return text;
}

// Loaded, target, working folder and arguments; the paths in upper case, as the system compares them.
using Link = std::tuple<bool, std::string, std::string, std::string>;

// A link to the target, started in the folder, without arguments.
Link LinkTo(const std::string& target, const std::string& folder)
{
    return {true, Upper(target), Upper(folder), ""};
}

// Reads a link file independently of the code under test.
Link ReadLink(const std::string& file)
{
    ComInitialization com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put())) ||
        FAILED(persist->Load(wide, STGM_READ)))
        return {};
    char text[3][1024] = {};
    link->GetPath(text[0], sizeof text[0], nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(text[1], sizeof text[1]);
    link->GetArguments(text[2], sizeof text[2]);
    return {true, Upper(text[0]), Upper(text[1]), text[2]};
}

class DesktopShortcut : public ::testing::Test {
protected:
    // The prefix's desktop must be the build's own home (or a folder in it): the tests delete there.
    void SetUp() override
    {
        std::string home = WinePathFromEnv("ZORVANE_BUILD_DIR");
        ASSERT_FALSE(home.empty()) << "ZORVANE_BUILD_DIR is not set";
        home += "\\home";
        const std::string desktop = DesktopFolder();
        // The identity must tell folders apart, or the check below proves nothing.
        ASSERT_FALSE(SameDirectory(home, WinePathFromEnv("ZORVANE_SOURCE_DIR")));
        ASSERT_TRUE(SameDirectory(desktop, home) || SameDirectory(desktop, home + "\\Desktop"))
            << "REFUSING TO TOUCH THE DESKTOP: " << desktop << " is not " << home << " (or its Desktop folder)";
        m_file = DesktopShortcutFile();
        DeleteFileA(m_file.c_str());
        ASSERT_FALSE(FileExists(m_file));
        m_exe = WinePathFromEnv("ZORVANE_EXE");
        ASSERT_TRUE(FileExists(m_exe)) << m_exe;
    }
    void TearDown() override { DeleteFileA(m_file.c_str()); }  // none when SetUp stopped early
    // The link, and the target's shortcut counted present.
    void ExpectLinkTo(const std::string& target, const std::string& folder) const
    {
        EXPECT_EQ(std::make_pair(LinkTo(target, folder), true),
                  std::make_pair(ReadLink(m_file), IsDesktopShortcutPresent(target.c_str())));
    }

    std::string m_file;
    std::string m_exe;
};

}  // namespace

TEST_F(DesktopShortcut, CreatingSavesALinkToTheTargetStartedInItsFolderAndPresenceFollowsTheFile)
{
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
    UpdateDesktopShortcut(m_exe.c_str(), true);
    ASSERT_TRUE(FileExists(m_file));
    ExpectLinkTo(m_exe, m_exe.substr(0, m_exe.find_last_of('\\')));
    ASSERT_TRUE(DeleteFileA(m_file.c_str()));
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
}

TEST_F(DesktopShortcut, ATargetWithChineseFoldersWorks)
{
    TempDir dir("zorvane_快捷方式");
    const std::string folder = dir.path() + "时间乗";  // 乗 ends in byte 0x5C
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string target = folder + "\\校时.exe";
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));
    UpdateDesktopShortcut(target.c_str(), true);
    ExpectLinkTo(target, folder);
}

TEST_F(DesktopShortcut, TheTargetIsNotComparedAndTheLinkIsNotRewritten)
{
    TempDir dir("zorvane_other");
    const std::string other = dir.file("Other.exe");
    ASSERT_TRUE(WriteFileBytes(other, "MZ"));
    UpdateDesktopShortcut(other.c_str(), true);
    const std::string saved = ReadFileBytes(m_file);
    ASSERT_FALSE(saved.empty());

    const bool present = IsDesktopShortcutPresent(m_exe.c_str());
    EXPECT_EQ(std::make_tuple(true, saved, LinkTo(other, other.substr(0, other.rfind('\\')))),
              std::make_tuple(present, ReadFileBytes(m_file), ReadLink(m_file)));
}

TEST_F(DesktopShortcut, AFileOfThatNameThatIsNoLinkCountsAsAbsent)
{
    ASSERT_TRUE(WriteFileBytes(m_file, "this is a text file, not a shell link\r\n"));
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
    EXPECT_EQ("this is a text file, not a shell link\r\n", ReadFileBytes(m_file));
}

// The second deletion finds nothing there, which is what was asked for: quiet, and done.
TEST_F(DesktopShortcut, DeletingRemovesTheFileForGoodAndAgainIsQuiet)
{
    UpdateDesktopShortcut(m_exe.c_str(), true);
    ASSERT_TRUE(FileExists(m_file));
    for (int deletion = 0; deletion < 2; ++deletion) {
        bool done = false;
        const bool quiet =
            AnswerMessageBoxesDuring([&] { done = UpdateDesktopShortcut(m_exe.c_str(), false); }).empty();
        EXPECT_EQ(std::make_tuple(true, true, false, false),
                  std::make_tuple(quiet, done, FileExists(m_file), IsDesktopShortcutPresent(m_exe.c_str())))
            << deletion;
    }
    // Not moved to the trash either (Wine's recycle bin is the freedesktop trash in HOME).
    const std::string trash = WinePathFromEnv("HOME") + "\\.local\\share\\Trash\\files\\";
    for (const std::string& name : FolderEntries(trash))
        EXPECT_NE("ZORVANE V1.0", Upper(name.substr(0, 12))) << "found in the trash: " << name;
}

// The file decides: Wine's shell answers success for a file its folder would not let go.
TEST(DeletionOutcome, AFileStillThereIsAFailureWhateverTheShellAnswered)
{
    const ShortcutError success, notFound{ShortcutError::System, ERROR_FILE_NOT_FOUND},
        inUse{ShortcutError::System, ERROR_SHARING_VIOLATION}, shellOwn{ShortcutError::FileOperation, 0x78};
    const struct { ShortcutError answer; bool remains; ShortcutError outcome; } rows[] = {
        {success, false, success},
        {notFound, false, success},
        {success, true, {ShortcutError::System, ERROR_ACCESS_DENIED}},
        {inUse, true, inUse},
        {shellOwn, true, shellOwn},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Pair(row.outcome), Pair(DeletionOutcome(row.answer, row.remains)))
            << row.answer.code << (row.remains ? " remains" : " gone");
}

TEST_F(DesktopShortcut, ANullOrOverlongTargetDoesNothing)
{
    const std::string overlong = "C:\\" + std::string(kShortcutPathBufferSize, 'x') + ".exe";
    for (const char* target : {static_cast<const char*>(nullptr), overlong.c_str()}) {
        UpdateDesktopShortcut(target, true);
        EXPECT_FALSE(FileExists(m_file));
    }

    UpdateDesktopShortcut(m_exe.c_str(), true);
    const std::string saved = ReadFileBytes(m_file);
    for (const bool enable : {false, true}) {
        UpdateDesktopShortcut(nullptr, enable);
        EXPECT_EQ(saved, ReadFileBytes(m_file)) << enable;
    }
    EXPECT_FALSE(IsDesktopShortcutPresent(nullptr));
}

TEST_F(DesktopShortcut, LeavesTheCallersComInitialisationInPlace)
{
    // A thread in the multithreaded apartment: CoInitialize fails there with
    // RPC_E_CHANGED_MODE and must not be answered by a CoUninitialize.
    HRESULT afterwards = E_FAIL;
    bool present = false;
    std::thread worker([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            return;
        UpdateDesktopShortcut(m_exe.c_str(), true);
        present = IsDesktopShortcutPresent(m_exe.c_str());
        {
            ComPtr<IShellLinkA> link;
            afterwards = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkA, link.put());
        }
        CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(std::make_pair(true, S_OK), std::make_pair(present, afterwards));
}
