// The folder part of srv.xml's path, the folder chain and the empty file.
#include "config/ConfigPaths.h"
#include "support/TempDir.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// "昞" is 95 5C in GBK: its second byte is a backslash.
const char* const BackslashTrailName = "昞";

}  // namespace

// Up to and including the last separator, never one inside a Chinese character; a small
// buffer stays terminated. written counts the terminator.
TEST(GetDirectoryPart, CutsAfterTheLastSeparator)
{
    ASSERT_STREQ("\x95\x5C", BackslashTrailName);
    const std::string trail = BackslashTrailName;
    const std::tuple<std::string, size_t, std::string, int> cases[] = {  // path, capacity, part, written
        {"C:\\a\\b\\srv.xml", 512, "C:\\a\\b\\", 8}, {"C:/a/srv.xml", 512, "C:/a/", 6},
        {"a/b\\c", 512, "a/b\\", 5},                  {"C:\\a\\", 512, "C:\\a\\", 6},
        {"srv.xml", 512, "", 1},                        {"", 512, "", 1},
        {"C:\\程序\\srv.xml", 512, "C:\\程序\\", 9},      {"C:\\" + trail + "\\srv.xml", 512, "C:\\" + trail + "\\", 7},
        {"C:\\a" + trail, 512, "C:\\", 4},             {"C:\\a\\b\\srv.xml", 4, "C:\\", 4},
        {"C:\\a\\srv.xml", 0, std::string(512, 'x'), 0},  // no room: nothing written
    };
    for (const auto& [path, capacity, part, written] : cases) {
        std::string buffer(512, 'x');
        EXPECT_EQ(written, GetDirectoryPart(path.c_str(), &buffer[0], capacity)) << path;
        EXPECT_EQ(part, buffer.c_str()) << path;
    }
    EXPECT_EQ(0, GetDirectoryPart("C:\\a\\srv.xml", nullptr, 10));
}

// Chinese names too, one with a trail byte that is a backslash.
TEST(CreateDirectoryChain, CreatesEveryMissingFolder)
{
    TempDir dir;
    // The second time the folders exist already; the last name needs no separator.
    for (const std::string chain : {"a\\b/c\\", "a\\b/c\\", "a\\last", "程序\\昞\\时间同步\\"}) {
        EXPECT_TRUE(CreateDirectoryChain((dir.path() + chain).c_str())) << chain;
        EXPECT_TRUE(PathIsDirectoryA((dir.path() + chain).c_str())) << chain;
    }
    EXPECT_EQ(std::vector<std::string>{BackslashTrailName}, FolderEntries(dir.path() + "程序\\"))
        << "no folder named after half a character";
}

// No path, or a file where a folder should be: neither the chain nor the file is made.
TEST(ConfigPaths, FolderChainAndEmptyFileFailures)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("file"), "x"));
    const std::pair<bool (*)(const char*), std::string> calls[] = {{CreateDirectoryChain, "file\\sub\\"},
                                                                   {EnsureConfigFile, "file\\sub\\srv.xml"}};
    for (const auto& call : calls) {
        EXPECT_FALSE(call.first(""));
        EXPECT_FALSE(call.first(nullptr));
        EXPECT_FALSE(call.first((dir.path() + call.second).c_str())) << "a file in the way";
        EXPECT_FALSE(FileExists(dir.path() + call.second));
    }
    EXPECT_FALSE(CreateDirectoryChain((dir.path() + std::string(10001, 'a')).c_str()));
}

// A missing file is made empty, its folders first; an existing one is never truncated.
TEST(EnsureConfigFile, CreatesFoldersAndAnEmptyFileButNeverTruncates)
{
    const std::pair<std::string, std::string> files[] = {{"一\\二\\srv.xml", ""}, {"srv.xml", "<srv_root/>"}};
    for (const auto& file : files) {
        TempDir dir;
        const std::string path = dir.path() + file.first;
        ASSERT_TRUE(file.second.empty() || WriteFileBytes(path, file.second));
        EXPECT_TRUE(EnsureConfigFile(path.c_str()));
        EXPECT_TRUE(FileExists(path));
        EXPECT_EQ(file.second, ReadFileBytes(path));
    }
}
