#include "app/ExecutableDirectory.h"

#include <gtest/gtest.h>

TEST(DirectoryOfExecutable, CutsAfterTheLastSeparatorOrColonOfItsOwn)
{
    const std::pair<std::string, std::string> cases[] = {  // path, directory
        {"C:\\Tools\\Zorvane.exe", "C:\\Tools\\"},
        {"C:/a/b/Zorvane.exe", "C:/a/b/"},
        {"C:Zorvane.exe", "C:/"},
        {"Zorvane.exe", "Zorvane.exe"},
        // 昞 is 95 5C in GBK: a trail byte that looks like a backslash is no separator.
        {"C:\\时钟\\昞.exe", "C:\\时钟\\"},
        {"C:\\昞\\Zorvane.exe", "C:\\昞\\"},
    };
    for (const auto& [path, directory] : cases)
        EXPECT_EQ(directory, DirectoryOfExecutable(path)) << path;
}
