// The autostart value under HKEY_LOCAL_MACHINE\...\CurrentVersion\Run.
#include "config/AutorunValue.h"
#include "support/SystemPlaces.h"

#include <windows.h>
#include <mbctype.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

int g_valueNumber = 0;

// A value name of this test alone, removed before and after.
class AutorunValue : public ::testing::Test {
protected:
    const char* name() const { return m_name.c_str(); }

private:
    const std::string m_name =
        "ZorvaneTest_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++g_valueNumber);
    SystemPlacesCleanup m_cleanup{{m_name}};
};

// A Run value whole: found, type and bytes.
using Stored = std::tuple<bool, DWORD, std::string>;
Stored StoredRunValue(const char* name)
{
    const RegistryValue value = ReadRunValue(name);
    return {value.found, value.type, value.data};
}

const std::string kCommand = "\"C:\\Program Files\\时间同步\\Zorvane.exe\" /ip 132.163.96.1";

// A value holding before (none when empty) meets SetAutorunValue(command, enable).
// after: empty when no value is left.
struct Change { const char* what; std::string before; const char* command; bool enable, result; std::string after; };

}  // namespace

TEST_F(AutorunValue, EndsAsWantedAndSaysSo)
{
    // Under GBK 丄 is 0x81 0x41 and 乤 is 0x81 0x61: their trail bytes look like 'A' and 'a',
    // yet they are different characters.
    ASSERT_EQ(936u, GetACP()) << "the tests run with LC_ALL=zh_CN.UTF-8";
    const std::string upper = "\"C:\\PROGRAM FILES\\时间同步\\ZORVANE.EXE\" /IP 132.163.96.1";
    const std::string longText(300, 'a'), longUpper(300, 'A'), lower259(259, 'a'), lower260(260, 'a');
    const std::vector<Change> changes = {
        {"enabling writes the command", "", kCommand.c_str(), true, true, kCommand},
        {"enabling replaces another command", "\"C:\\old\\Zorvane.exe\" /ip 10.0.0.1", kCommand.c_str(), true, true, kCommand},
        {"the same command in other letter case stays", upper, kCommand.c_str(), true, true, upper},
        {"double-byte characters compare whole", "C:\\丄\\Zorvane.exe", "C:\\乤\\Zorvane.exe", true, true, "C:\\乤\\Zorvane.exe"},
        {"disabling deletes the value", kCommand, kCommand.c_str(), false, true, ""},
        {"disabling deletes whatever it holds", "something else", nullptr, false, true, ""},
        {"disabling a missing value fails", "", kCommand.c_str(), false, false, ""},
        {"no command writes nothing", "", nullptr, true, false, ""},
        {"an empty command writes nothing", "", "", true, false, ""},
        {"an empty command keeps the value", kCommand, "", true, false, kCommand},
        {"a value over 260 bytes is deleted", longText, kCommand.c_str(), false, true, ""},
        {"a value over 260 bytes is never equal", longText, longUpper.c_str(), true, true, longUpper},
        {"a value over 260 bytes is replaced", longText, kCommand.c_str(), true, true, kCommand},
        {"a value of 260 bytes is read and compared", std::string(259, 'A'), lower259.c_str(), true, true, std::string(259, 'A')},
        {"a value of 261 bytes is never equal", std::string(260, 'A'), lower260.c_str(), true, true, lower260},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        DeleteRunValue(name());
        ASSERT_TRUE(change.before.empty() || WriteRunValue(name(), change.before + '\0'));
        EXPECT_EQ(!change.before.empty(), IsAutorunValuePresent(name())) << "only the type is asked for";

        EXPECT_EQ(change.result, SetAutorunValue(name(), change.command, change.enable));
        EXPECT_EQ(change.after.empty() ? Stored() : Stored(true, REG_SZ, change.after + '\0'),
                  StoredRunValue(name()));
        EXPECT_EQ(!change.after.empty(), IsAutorunValuePresent(name()));
    }
}

// The Run key refuses changes, as for every user without administrator rights: the value stays,
// and the change says why and what is there.
TEST_F(AutorunValue, ARefusedChangeLeavesTheValueAndSaysSo)
{
    for (const auto& [before, enable] : {std::make_pair(std::string(), true), std::make_pair(kCommand, false)}) {
        SCOPED_TRACE(enable);
        ASSERT_TRUE(before.empty() || WriteRunValue(name(), before + '\0'));
        const RunKeyReadOnly readOnly;
        ASSERT_TRUE(readOnly.ok());
        const AutorunChange change = ChangeAutorunValue(name(), kCommand.c_str(), enable);
        const Stored kept = before.empty() ? Stored() : Stored(true, REG_SZ, before + '\0');
        EXPECT_EQ(std::make_tuple(DWORD{ERROR_ACCESS_DENIED}, !before.empty(), kept),
                  std::make_tuple(change.error, change.present, StoredRunValue(name())));
    }
}

TEST_F(AutorunValue, ComparisonUsesTheAnsiCodePageWhateverTheLibraryWasSetTo)
{
    ASSERT_EQ(936u, GetACP());
    const int saved = _getmbcp();
    ASSERT_EQ(0, _setmbcp(1252));  // single-byte: 丄 and 乤 would fold to the same bytes
    EXPECT_TRUE(WriteRunValue(name(), std::string("C:\\丄\\Zorvane.exe") + '\0'));
    const bool result = SetAutorunValue(name(), "C:\\乤\\Zorvane.exe", true);
    const std::string stored = ReadRunValue(name()).data;
    _setmbcp(saved);

    EXPECT_EQ(std::make_pair(true, std::string("C:\\乤\\Zorvane.exe") + '\0'), std::make_pair(result, stored));
}

TEST_F(AutorunValue, AnUnterminated260ByteValueIsComparedByItsOwnBytesOnly)
{
    // Wine hands out REG_SZ data only with room for a terminator; binary data comes as stored.
    const std::string stored(260, 'A');
    ASSERT_TRUE(WriteRunValue(name(), stored, REG_BINARY));

    EXPECT_TRUE(SetAutorunValue(name(), std::string(260, 'a').c_str(), true));
    EXPECT_EQ(Stored(true, REG_BINARY, stored), StoredRunValue(name()));

    EXPECT_TRUE(SetAutorunValue(name(), std::string(261, 'a').c_str(), true));
    EXPECT_EQ(Stored(true, REG_SZ, std::string(261, 'a') + '\0'), StoredRunValue(name()));
}

TEST(AutorunDefaultValue, EmptyOrNullNamesNeverTouchTheUnnamedValue)
{
    RegistryValueGuard saved(HKEY_LOCAL_MACHINE, kRunKey, "");
    for (const std::string& before : {std::string(), std::string("unnamed value of the Run key") + '\0'}) {
        DeleteRunValue("");
        ASSERT_TRUE(before.empty() || WriteRunValue("", before));
        for (const char* name : {"", static_cast<const char*>(nullptr)}) {
            EXPECT_EQ(std::make_tuple(false, false, false),
                      std::make_tuple(IsAutorunValuePresent(name), SetAutorunValue(name, kCommand.c_str(), true),
                                      SetAutorunValue(name, nullptr, false)))
                << (name ? "empty name" : "null name") << (before.empty() ? ", no value" : ", a value");
        }
        EXPECT_EQ(before.empty() ? Stored() : Stored(true, REG_SZ, before), StoredRunValue(""));
    }
}
