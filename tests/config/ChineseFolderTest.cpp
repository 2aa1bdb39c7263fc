// A copy of this test program run from a folder with a Chinese name, where it does the
// srv.xml round trip, and from one whose name code page 936 cannot write.
#include "ConfigTestSupport.h"
#include "config/CommandLine.h"
#include "config/TextEncoding.h"
#include "framework/ScopedWin.h"

#include <gtest/gtest.h>

namespace {

// A copy of this program in the folder, made here (trailing backslash), runs the one test; its exit code.
DWORD RunCopyIn(const std::wstring& folder, const char* test)
{
    const std::wstring exe = folder + L"test_config.exe";
    if (!CreateDirectoryW(folder.c_str(), nullptr) ||
        !CopyFileW(WideOfNarrow(ExePath().c_str())->c_str(), exe.c_str(), FALSE))
        return static_cast<DWORD>(-3);
    std::wstring commandLine = L"\"" + exe + L"\" --gtest_also_run_disabled_tests --gtest_filter=" +
                               WideOfNarrow(test).value();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    const ScopedHandle thread(process.hThread), owner(process.hProcess);
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    return code;
}

}  // namespace

TEST(ChineseFolder, CommandRoundTripsFromAProgramInAChineseFolder)
{
    TempDir dir("时间同步");
    const std::string folder = dir.path() + "程序目录\\";
    EXPECT_EQ(0u, RunCopyIn(WideOfNarrow(folder.c_str()).value(), "ChineseFolder.DISABLED_InOwnFolder"));
    const std::string command = "\"" + folder + "test_config.exe\" /ip 10.1.2.3";
    EXPECT_EQ(SavedSrvXml(AutorunElement(Utf8OfGbk(command)), kDefaultServers), ReadFileBytes(folder + "srv.xml"));
}

// Run only by the test above, from the copy in the Chinese folder.
TEST(ChineseFolder, DISABLED_InOwnFolder)
{
    const std::string folder = ExePath().substr(0, ExePath().find_last_of('\\') + 1);
    std::string path = folder + "srv.xml";
    ASSERT_TRUE(CreateLikeStartUp(path));
    EXPECT_EQ(std::make_pair(DefaultFileText(Utf8OfGbk(OwnCommand())), OwnCommand()),
              std::make_pair(ReadFileBytes(path), LoadAutorunCommand(path.c_str())));

    EXPECT_TRUE(StoreAutorunCommand(folder.c_str(), OwnCommand("10.1.2.3").c_str()));
    EXPECT_EQ(OwnCommand("10.1.2.3"), LoadAutorunCommand(path.c_str())) << "GBK in, GBK out";
}

// The ANSI form of this program's path has a '?' for the Korean folder name: a command naming
// that form names no program at all.
TEST(FolderOutsideTheCodePage, TheProgramIsKnownByItsPathAsThePlatformHoldsIt)
{
    TempDir dir;
    const std::wstring folder = WideOfNarrow(dir.path().c_str()).value() + L"\uD55C\\";
    EXPECT_EQ(0u, RunCopyIn(folder, "FolderOutsideTheCodePage.DISABLED_InOwnFolder"));
}

// Run only by the test above, from the copy in that folder.
TEST(FolderOutsideTheCodePage, DISABLED_InOwnFolder)
{
    const std::string ansiPath = ExePath();
    ASSERT_NE(std::string::npos, ansiPath.find('?'));
    EXPECT_FALSE(IsOwnSyncCommandLine(("\"" + ansiPath + "\" /ip 1.2.3.4").c_str()));
}
