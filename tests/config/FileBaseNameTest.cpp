// The program name's split of a path, without the C runtime's checked splitter.
#include "ConfigTestSupport.h"
#include "config/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdlib>

// A name and an extension hold at most 255 units each, the extension's dot counted; units, not
// characters: 128 characters outside the basic plane are 256 units. Folders may be as long as
// they like.
TEST(FileBaseName, DropsDriveFoldersAndTheLastExtensionOrGivesEmpty)
{
    const std::wstring longest(255, L'n'), astral = Repeated<std::wstring>(L"\U0001F552", 128);
    const std::pair<std::wstring, std::wstring> paths[] = {
        {L"C:\\Tools\\Clock.exe", L"Clock"},        {L"C:/a b/x.y.exe", L"x.y"},
        {L"\\\\server\\share\\Clock.exe", L"Clock"}, {L"C:Clock.exe", L"Clock"},
        {L"C:D:Clock.exe", L"D:Clock"},  // only the first two characters form a drive
        {L"C:\\a.b\\Clock", L"Clock"},  // a dot in a folder is no extension
        {L"Clock.", L"Clock"}, {L"noext", L"noext"}, {L"C:\\工具\\时钟.exe", L"时钟"},
        {L"", L""}, {L"C:", L""}, {L"C:\\Tools\\", L""}, {L"C:\\Tools\\.exe", L""},
        {L"C:\\Tools\\" + longest + L".exe", longest}, {L"C:\\Tools\\" + longest + L"n.exe", L""},
        {longest + L"n", L""}, {L"C:\\Tools\\Clock." + std::wstring(254, L'e'), L"Clock"},
        {L"C:\\Tools\\Clock." + std::wstring(255, L'e'), L""}, {astral + L".exe", L""},
        {astral.substr(2) + L".exe", astral.substr(2)},
        {L"C:\\" + std::wstring(5000, L'd') + L"\\Clock.exe", L"Clock"},
    };
    for (const auto& [path, name] : paths)
        EXPECT_EQ(name, FileBaseName(path)) << path.substr(0, 40) << " (" << path.size() << " units)";
}

// Wine's _wsplitpath_s returns an error where Windows' would end the process, so under Wine it
// still serves as the reference the split must agree with.
TEST(FileBaseName, AgreesWithTheRuntimeSplitter)
{
    const std::wstring starts[] = {L"", L"C:", L"C:\\", L"\\\\h\\s\\", L"a.b/", L":", L"C:D:\\"};
    const std::wstring names[] = {L"", L"x", L".", L"x.y", std::wstring(255, L'n'), std::wstring(256, L'n'),
                                  L"a" + std::wstring(254, L'.')};
    const std::wstring ends[] = {L"", L".", L".exe", L"." + std::wstring(254, L'e'), L"." + std::wstring(255, L'e')};
    for (const std::wstring& start : starts) {
        for (const std::wstring& name : names) {
            for (const std::wstring& end : ends) {
                const std::wstring path = start + name + end;
                wchar_t reference[_MAX_FNAME] = {};
                wchar_t extension[_MAX_EXT] = {};
                if (_wsplitpath_s(path.c_str(), nullptr, 0, nullptr, 0, reference, _MAX_FNAME, extension,
                                  _MAX_EXT) != 0)
                    reference[0] = L'\0';
                ASSERT_EQ(std::wstring(reference), FileBaseName(path)) << "path of " << path.size() << " units";
            }
        }
    }
}
