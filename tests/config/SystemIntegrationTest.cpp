#include "config/ShortcutPath.h"
#include "config/SystemIntegration.h"
#include "support/Dialogs.h"
#include "support/SystemPlaces.h"
#include "support/TempDir.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <mbctype.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string WithTerminator(const std::string& text)
{
    return text + std::string(1, '\0');
}

// A value name of this test alone, removed afterwards.
class AutorunValue : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        m_name = "ZorvaneTest_" + std::to_string(GetCurrentProcessId()) + "_" +
                 std::to_string(++counter);
        DeleteRunValue(name());
    }
    void TearDown() override { DeleteRunValue(name()); }
    const char* name() const { return m_name.c_str(); }

private:
    std::string m_name;
};

const std::string kCommand = "\"C:\\Program Files\\时间同步\\Zorvane.exe\" /ip 132.163.96.1";

// ---------------------------------------------------------------- registry

TEST_F(AutorunValue, EnablingWritesTheCommandAsRegSzWithItsTerminator)
{
    EXPECT_FALSE(IsAutorunValuePresent(name()));
    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), true));

    RegistryValue stored = ReadRunValue(name());
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ(kCommand.size() + 1, stored.data.size());
    EXPECT_EQ(WithTerminator(kCommand), stored.data);
    EXPECT_TRUE(IsAutorunValuePresent(name()));
}

TEST_F(AutorunValue, EnablingReplacesADifferentCommand)
{
    ASSERT_TRUE(WriteRunValue(name(), WithTerminator("\"C:\\old\\Zorvane.exe\" /ip 10.0.0.1")));
    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), true));
    EXPECT_EQ(WithTerminator(kCommand), ReadRunValue(name()).data);
}

TEST_F(AutorunValue, SameCommandInOtherLetterCaseIsLeftAsItIs)
{
    const std::string upper = "\"C:\\PROGRAM FILES\\时间同步\\ZORVANE.EXE\" /IP 132.163.96.1";
    ASSERT_TRUE(WriteRunValue(name(), WithTerminator(upper)));

    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), true));
    EXPECT_EQ(WithTerminator(upper), ReadRunValue(name()).data);
}

TEST_F(AutorunValue, DoubleByteCharactersAreComparedAsWholeCharacters)
{
    // Under GBK 丄 is 0x81 0x41 and 乤 is 0x81 0x61: their trail bytes look like 'A' and 'a',
    // yet they are different characters, so the value must be rewritten.
    ASSERT_EQ(936u, GetACP()) << "the tests run with LC_ALL=zh_CN.UTF-8";
    ASSERT_TRUE(WriteRunValue(name(), WithTerminator("C:\\丄\\Zorvane.exe")));

    EXPECT_TRUE(SetAutorunValue(name(), "C:\\乤\\Zorvane.exe", true));
    EXPECT_EQ(WithTerminator("C:\\乤\\Zorvane.exe"), ReadRunValue(name()).data);
}

TEST_F(AutorunValue, ComparisonUsesTheAnsiCodePageWhateverTheLibraryWasSetTo)
{
    ASSERT_EQ(936u, GetACP());
    const int saved = _getmbcp();
    ASSERT_EQ(0, _setmbcp(1252));  // single-byte: 丄 and 乤 would fold to the same bytes
    EXPECT_TRUE(WriteRunValue(name(), WithTerminator("C:\\丄\\Zorvane.exe")));
    const bool result = SetAutorunValue(name(), "C:\\乤\\Zorvane.exe", true);
    const std::string stored = ReadRunValue(name()).data;
    _setmbcp(saved);

    EXPECT_TRUE(result);
    EXPECT_EQ(WithTerminator("C:\\乤\\Zorvane.exe"), stored);
}

TEST_F(AutorunValue, DisablingDeletesThePresentValue)
{
    ASSERT_TRUE(WriteRunValue(name(), WithTerminator(kCommand)));
    EXPECT_TRUE(IsAutorunValuePresent(name()));

    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), false));
    EXPECT_FALSE(ReadRunValue(name()).found);
    EXPECT_FALSE(IsAutorunValuePresent(name()));
}

TEST_F(AutorunValue, DisablingDeletesWhateverTheValueHolds)
{
    ASSERT_TRUE(WriteRunValue(name(), WithTerminator("something else")));
    EXPECT_TRUE(SetAutorunValue(name(), nullptr, false));
    EXPECT_FALSE(ReadRunValue(name()).found);
}

TEST_F(AutorunValue, DisablingAMissingValueFails)
{
    EXPECT_FALSE(SetAutorunValue(name(), kCommand.c_str(), false));
    EXPECT_FALSE(ReadRunValue(name()).found);
}

TEST_F(AutorunValue, EnablingWithoutACommandFailsAndWritesNothing)
{
    EXPECT_FALSE(SetAutorunValue(name(), nullptr, true));
    EXPECT_FALSE(SetAutorunValue(name(), "", true));
    EXPECT_FALSE(ReadRunValue(name()).found);

    ASSERT_TRUE(WriteRunValue(name(), WithTerminator(kCommand)));
    EXPECT_FALSE(SetAutorunValue(name(), "", true));
    EXPECT_EQ(WithTerminator(kCommand), ReadRunValue(name()).data);
}

TEST_F(AutorunValue, AValueLongerThan260BytesIsDeletedButNeverComparedEqual)
{
    const std::string longText = WithTerminator(std::string(300, 'a'));
    ASSERT_TRUE(WriteRunValue(name(), longText));
    EXPECT_TRUE(IsAutorunValuePresent(name()));  // only its type is asked for

    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), false));
    EXPECT_FALSE(ReadRunValue(name()).found);
    ASSERT_TRUE(WriteRunValue(name(), longText));

    // Even the same text in other case is rewritten: it could not be read for comparing.
    EXPECT_TRUE(SetAutorunValue(name(), std::string(300, 'A').c_str(), true));
    EXPECT_EQ(WithTerminator(std::string(300, 'A')), ReadRunValue(name()).data);

    ASSERT_TRUE(WriteRunValue(name(), longText));
    EXPECT_TRUE(SetAutorunValue(name(), kCommand.c_str(), true));
    EXPECT_EQ(WithTerminator(kCommand), ReadRunValue(name()).data);
}

TEST_F(AutorunValue, AValueOfExactly260BytesIsReadAndCompared)
{
    const std::string stored = WithTerminator(std::string(259, 'A'));
    ASSERT_TRUE(WriteRunValue(name(), stored));
    EXPECT_TRUE(SetAutorunValue(name(), std::string(259, 'a').c_str(), true));
    EXPECT_EQ(stored, ReadRunValue(name()).data);
}

TEST_F(AutorunValue, AnUnterminated260ByteValueIsComparedByItsOwnBytesOnly)
{
    // Wine hands out REG_SZ data only with room for a terminator; binary data comes as stored.
    const std::string stored(260, 'A');
    ASSERT_TRUE(WriteRunValue(name(), stored, REG_BINARY));

    EXPECT_TRUE(SetAutorunValue(name(), std::string(260, 'a').c_str(), true));
    RegistryValue kept = ReadRunValue(name());
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), kept.type);
    EXPECT_EQ(stored, kept.data);

    EXPECT_TRUE(SetAutorunValue(name(), std::string(261, 'a').c_str(), true));
    RegistryValue rewritten = ReadRunValue(name());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), rewritten.type);
    EXPECT_EQ(WithTerminator(std::string(261, 'a')), rewritten.data);
}

class AutorunDefaultValue : public ::testing::Test {
    RegistryValueGuard m_saved{HKEY_LOCAL_MACHINE, kRunKey, ""};
};

TEST_F(AutorunDefaultValue, EmptyOrNullNamesNeverTouchTheUnnamedValue)
{
    DeleteRunValue("");
    EXPECT_FALSE(IsAutorunValuePresent(""));
    EXPECT_FALSE(IsAutorunValuePresent(nullptr));
    EXPECT_FALSE(SetAutorunValue("", kCommand.c_str(), true));
    EXPECT_FALSE(SetAutorunValue(nullptr, kCommand.c_str(), true));
    EXPECT_FALSE(ReadRunValue("").found);

    const std::string defaultText = WithTerminator("unnamed value of the Run key");
    ASSERT_TRUE(WriteRunValue("", defaultText));
    EXPECT_FALSE(IsAutorunValuePresent(""));
    EXPECT_FALSE(SetAutorunValue("", kCommand.c_str(), true));
    EXPECT_FALSE(SetAutorunValue("", nullptr, false));
    EXPECT_FALSE(SetAutorunValue(nullptr, nullptr, false));
    RegistryValue after = ReadRunValue("");
    ASSERT_TRUE(after.found);
    EXPECT_EQ(defaultText, after.data);
}

// ---------------------------------------------------------------- shortcut path rules

std::string Composed(const std::string& folder, size_t capacity = kShortcutPathBufferSize)
{
    std::string buffer(capacity, '\0');
    std::memcpy(&buffer[0], folder.data(), folder.size());
    if (!AppendShortcutFileName(&buffer[0], capacity))
        return buffer == std::string(capacity, '\0') ? "<none>" : "<none, buffer not cleared>";
    const size_t end = std::strlen(buffer.c_str());
    if (end + 1 >= capacity || buffer[end + 1] != '\0')
        return "<no second terminator>";
    return buffer.substr(0, end);
}

TEST(ShortcutPath, FileNameFollowsTheFolderAfterOneBackslash)
{
    EXPECT_EQ("C:\\users\\me\\Desktop\\Zorvane v1.0.lnk", Composed("C:\\users\\me\\Desktop"));
    EXPECT_EQ("C:\\users\\me\\Desktop\\Zorvane v1.0.lnk", Composed("C:\\users\\me\\Desktop\\"));
    EXPECT_EQ("C:\\Zorvane v1.0.lnk", Composed("C:\\"));
    EXPECT_EQ("C:\\用户\\桌面\\Zorvane v1.0.lnk", Composed("C:\\用户\\桌面"));
}

TEST(ShortcutPath, ATrailByteThatLooksLikeABackslashIsNoSeparator)
{
    ASSERT_EQ(936u, GetACP());
    EXPECT_FALSE(EndsWithBackslash("C:\\乗"));  // 乗 is 0x81 0x5C
    EXPECT_TRUE(EndsWithBackslash("C:\\乗\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_EQ("C:\\乗\\Zorvane v1.0.lnk", Composed("C:\\乗"));
}

TEST(ShortcutPath, AnUnknownOrOverlongFolderGivesNoPath)
{
    EXPECT_EQ("<none>", Composed(""));
    const size_t room = kShortcutPathBufferSize - 2 - 1 - std::strlen(kShortcutFileName);
    EXPECT_EQ(std::string(room, 'x') + "\\Zorvane v1.0.lnk", Composed(std::string(room, 'x')));
    EXPECT_EQ("<none>", Composed(std::string(room + 1, 'x')));
    EXPECT_EQ("<none>", Composed(std::string(kShortcutPathBufferSize, 'x')));
}

// ---------------------------------------------------------------- desktop shortcut

bool SameDirectory(const std::string& a, const std::string& b)
{
    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        bool ok = GetFileInformationByHandle(h, &info) != 0;
        CloseHandle(h);
        return ok && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    return identify(a, ia) && identify(b, ib) && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

// The prefix's desktop must be the build's own home (or a folder in it): the tests delete there.
void ExpectDesktopInsideBuildTree()
{
    std::string home = WinePathFromEnv("ZORVANE_BUILD_DIR");
    ASSERT_FALSE(home.empty()) << "ZORVANE_BUILD_DIR is not set";
    home += "\\home";
    const std::string desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty()) << "no desktop folder";
    // The identity must tell folders apart, or the check below proves nothing.
    ASSERT_FALSE(SameDirectory(home, WinePathFromEnv("ZORVANE_SOURCE_DIR")));
    ASSERT_TRUE(SameDirectory(desktop, home) || SameDirectory(desktop, home + "\\Desktop"))
        << "REFUSING TO TOUCH THE DESKTOP: " << desktop << " is not " << home
        << " (or its Desktop folder)";
}

struct LinkInfo {
    bool loaded = false;
    std::string path, workingDirectory, arguments;
};

// Reads a link file independently of the code under test.
LinkInfo ReadLink(const std::string& file)
{
    LinkInfo info;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char text[1024] = {};
        info.loaded = true;
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        info.path = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        info.workingDirectory = text;
        text[0] = '\0';
        link->GetArguments(text, sizeof text);
        info.arguments = text;
    }
    if (persist)
        persist->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return info;
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

class DesktopShortcut : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExpectDesktopInsideBuildTree();
        if (HasFatalFailure())
            return;
        m_file = DesktopShortcutFile();
        DeleteFileA(m_file.c_str());
        ASSERT_FALSE(FileExists(m_file));
        m_exe = WinePathFromEnv("ZORVANE_EXE");
        ASSERT_TRUE(FileExists(m_exe)) << m_exe;
    }
    void TearDown() override
    {
        if (!m_file.empty())
            DeleteFileA(m_file.c_str());
    }

    std::string m_file;
    std::string m_exe;
};

TEST_F(DesktopShortcut, CreatingSavesALinkToTheTargetStartedInItsFolder)
{
    UpdateDesktopShortcut(m_exe.c_str(), true);

    ASSERT_TRUE(FileExists(m_file));
    LinkInfo link = ReadLink(m_file);
    ASSERT_TRUE(link.loaded);
    EXPECT_PRED2(EqualIgnoringCase, m_exe, link.path);
    EXPECT_PRED2(EqualIgnoringCase, FolderOf(m_exe), link.workingDirectory);
    EXPECT_EQ("", link.arguments);
    EXPECT_TRUE(IsDesktopShortcutPresent(m_exe.c_str()));
}

TEST_F(DesktopShortcut, ATargetWithChineseFoldersWorks)
{
    TempDir dir("zorvane_快捷方式");
    const std::string folder = dir.path() + "时间乗";  // 乗 ends in byte 0x5C
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string target = folder + "\\校时.exe";
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));

    UpdateDesktopShortcut(target.c_str(), true);

    LinkInfo link = ReadLink(m_file);
    ASSERT_TRUE(link.loaded);
    EXPECT_PRED2(EqualIgnoringCase, target, link.path);
    EXPECT_PRED2(EqualIgnoringCase, folder, link.workingDirectory);
    EXPECT_EQ("", link.arguments);
    EXPECT_TRUE(IsDesktopShortcutPresent(target.c_str()));
}

TEST_F(DesktopShortcut, PresenceFollowsTheFile)
{
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
    UpdateDesktopShortcut(m_exe.c_str(), true);
    EXPECT_TRUE(IsDesktopShortcutPresent(m_exe.c_str()));
    ASSERT_TRUE(DeleteFileA(m_file.c_str()));
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
}

TEST_F(DesktopShortcut, TheTargetIsNotComparedAndTheLinkIsNotRewritten)
{
    TempDir dir("zorvane_other");
    const std::string other = dir.file("Other.exe");
    ASSERT_TRUE(WriteFileBytes(other, "MZ"));
    UpdateDesktopShortcut(other.c_str(), true);
    const std::string saved = ReadFileBytes(m_file);
    ASSERT_FALSE(saved.empty());

    EXPECT_TRUE(IsDesktopShortcutPresent(m_exe.c_str()));
    EXPECT_EQ(saved, ReadFileBytes(m_file));
    EXPECT_PRED2(EqualIgnoringCase, other, ReadLink(m_file).path);
}

TEST_F(DesktopShortcut, AFileOfThatNameThatIsNoLinkCountsAsAbsent)
{
    ASSERT_TRUE(WriteFileBytes(m_file, "this is a text file, not a shell link\r\n"));
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
    EXPECT_EQ("this is a text file, not a shell link\r\n", ReadFileBytes(m_file));
}

TEST_F(DesktopShortcut, DeletingRemovesTheFileForGood)
{
    UpdateDesktopShortcut(m_exe.c_str(), true);
    ASSERT_TRUE(FileExists(m_file));

    UpdateDesktopShortcut(m_exe.c_str(), false);

    EXPECT_FALSE(FileExists(m_file));
    EXPECT_FALSE(IsDesktopShortcutPresent(m_exe.c_str()));
    // Not moved to the trash either (Wine's recycle bin is the freedesktop trash in HOME).
    const std::string trash = WinePathFromEnv("HOME") + "\\.local\\share\\Trash\\files\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((trash + "Zorvane v1.0*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "found in the trash: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

TEST_F(DesktopShortcut, DeletingAMissingShortcutIsQuiet)
{
    std::vector<MessageBoxInfo> boxes =
        AnswerMessageBoxesDuring([&] { UpdateDesktopShortcut(m_exe.c_str(), false); });
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(FileExists(m_file));
}

TEST_F(DesktopShortcut, ANullTargetDoesNothing)
{
    UpdateDesktopShortcut(nullptr, true);
    EXPECT_FALSE(FileExists(m_file));

    UpdateDesktopShortcut(m_exe.c_str(), true);
    const std::string saved = ReadFileBytes(m_file);
    UpdateDesktopShortcut(nullptr, false);
    EXPECT_EQ(saved, ReadFileBytes(m_file));
    UpdateDesktopShortcut(nullptr, true);
    EXPECT_EQ(saved, ReadFileBytes(m_file));
    EXPECT_FALSE(IsDesktopShortcutPresent(nullptr));
}

TEST_F(DesktopShortcut, AnOverlongTargetDoesNothing)
{
    const std::string target = "C:\\" + std::string(kShortcutPathBufferSize, 'x') + ".exe";
    UpdateDesktopShortcut(target.c_str(), true);
    EXPECT_FALSE(FileExists(m_file));
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
        IShellLinkA* link = nullptr;
        afterwards = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
        if (link)
            link->Release();
        CoUninitialize();
    });
    worker.join();
    EXPECT_TRUE(present);
    EXPECT_EQ(S_OK, afterwards);
}

} // namespace
