// Where the desktop shortcut's file goes, in the buffer the shortcut operations build it in.
#include "config/ShortcutPath.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

namespace {

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

}  // namespace

TEST(ShortcutPath, FileNameFollowsTheFolderAfterOneBackslash)
{
    // 乗 is 0x81 0x5C: a trail byte that looks like a backslash is no separator.
    const char* const folders[] = {"C:\\users\\me\\Desktop", "C:\\users\\me\\Desktop\\", "C:\\", "C:\\用户\\桌面", "C:\\乗"};
    const char* const files[] = {"C:\\users\\me\\Desktop\\Zorvane v1.0.lnk", "C:\\users\\me\\Desktop\\Zorvane v1.0.lnk",
                                 "C:\\Zorvane v1.0.lnk", "C:\\用户\\桌面\\Zorvane v1.0.lnk", "C:\\乗\\Zorvane v1.0.lnk"};
    for (size_t i = 0; i < std::size(folders); ++i)
        EXPECT_EQ(files[i], Composed(folders[i])) << folders[i];
}

TEST(ShortcutPath, ATrailByteThatLooksLikeABackslashIsNoSeparator)
{
    ASSERT_EQ(936u, GetACP());
    EXPECT_FALSE(EndsWithBackslash("C:\\乗"));  // 乗 is 0x81 0x5C
    EXPECT_TRUE(EndsWithBackslash("C:\\乗\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
}

TEST(ShortcutPath, AnUnknownOrOverlongFolderGivesNoPath)
{
    EXPECT_EQ("<none>", Composed(""));
    const size_t room = kShortcutPathBufferSize - 2 - 1 - std::strlen(kShortcutFileName);
    EXPECT_EQ(std::string(room, 'x') + "\\Zorvane v1.0.lnk", Composed(std::string(room, 'x')));
    EXPECT_EQ("<none>", Composed(std::string(room + 1, 'x')));
    EXPECT_EQ("<none>", Composed(std::string(kShortcutPathBufferSize, 'x')));
}
