// srv.xml beside a program whose folder has a Chinese name: a copy of this test program is
// run from such a folder and does the round trip there.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

namespace {

DWORD RunAndWait(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace

TEST(ChineseFolder, CommandRoundTripsFromAProgramInAChineseFolder)
{
    TempDir dir("时间同步");
    std::string folder = dir.path() + "程序目录\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string exe = folder + "test_config.exe";
    ASSERT_TRUE(CopyFileA(ExePath().c_str(), exe.c_str(), FALSE));
    EXPECT_EQ(0u, RunAndWait("\"" + exe + "\" --gtest_filter=ChineseFolder.DISABLED_InOwnFolder "
                             "--gtest_also_run_disabled_tests", 60000));
    std::string saved = ReadFileBytes(folder + "srv.xml");
    EXPECT_NE(std::string::npos, saved.find("<autorun>\"" + Utf8OfGbk(exe) + "\" /ip 10.1.2.3</autorun>"))
        << "UTF-8 in the file: " << saved;
}

// Run only by the test above, from the copy in the Chinese folder.
TEST(ChineseFolder, DISABLED_InOwnFolder)
{
    const std::string folder = ExePath().substr(0, ExePath().find_last_of('\\') + 1);
    std::string path = folder + "srv.xml";
    ASSERT_TRUE(EnsureConfigFile(path.c_str()));
    ASSERT_TRUE(WriteDefaultConfig(path.c_str()));
    const std::string defaultCommand = OwnCommand();
    EXPECT_EQ(DefaultFileText(Utf8OfGbk(defaultCommand)), ReadFileBytes(path));
    EXPECT_EQ(defaultCommand, LoadAutorunCommand(path.c_str()));

    const std::string command = OwnCommand("10.1.2.3");
    EXPECT_TRUE(StoreAutorunCommand(folder.c_str(), command.c_str()));
    EXPECT_EQ(command, LoadAutorunCommand(path.c_str())) << "GBK in, GBK out";
}
