#include "app/ExecutableDirectory.h"

#include <gtest/gtest.h>

TEST(DirectoryOfExecutable, CutsAfterTheLastSeparatorOrColon)
{
    EXPECT_EQ("C:\\Tools\\", DirectoryOfExecutable("C:\\Tools\\Zorvane.exe"));
    EXPECT_EQ("C:/a/b/", DirectoryOfExecutable("C:/a/b/Zorvane.exe"));
    EXPECT_EQ("C:/", DirectoryOfExecutable("C:Zorvane.exe"));
    EXPECT_EQ("Zorvane.exe", DirectoryOfExecutable("Zorvane.exe"));
}

TEST(DirectoryOfExecutable, TrailByteThatLooksLikeABackslashIsNoSeparator)
{
    // 昞 is 95 5C in GBK.
    EXPECT_EQ("C:\\时钟\\", DirectoryOfExecutable("C:\\时钟\\昞.exe"));
    EXPECT_EQ("C:\\昞\\", DirectoryOfExecutable("C:\\昞\\Zorvane.exe"));
}
