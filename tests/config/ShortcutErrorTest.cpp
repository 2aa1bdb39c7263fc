// What the shell's and the system's answers to a shortcut step mean.
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

// Wine's shell never reports an aborted operation and gives few of its own (DE_*) values, so
// what its answers mean is checked as a rule.
TEST(FileOperationError, TheShellsAnswerToADeletionDecidesItsResult)
{
    const std::tuple<DWORD, BOOL, ShortcutError> rows[] = {  // the result, aborted, the error
        {0, FALSE, {ShortcutError::System, 0}},
        {0, TRUE, {ShortcutError::FileOperation, 0x75}},
        {0x78, FALSE, {ShortcutError::FileOperation, 0x78}},
        {0x78, TRUE, {ShortcutError::FileOperation, 0x78}},
        {ERROR_ACCESS_DENIED, FALSE, {ShortcutError::System, ERROR_ACCESS_DENIED}},
    };
    for (const auto& [result, aborted, error] : rows)
        EXPECT_EQ(Pair(error), Pair(FileOperationError(result, aborted))) << result << (aborted ? " aborted" : "");
}

TEST(ShortcutError, TheShellsOwnValuesAreToldFromSystemCodes)
{
    const std::pair<DWORD, bool> rows[] = {{0x71, true}, {0x77, false}, {0x78, true}, {0x7B, false}, {0x7C, true},
                                           {0x7F, false}, {0x88, true}, {0xB7, true}, {0x402, true}, {0x10000, true},
                                           {0x10074, true}, {2, false}, {5, false}, {32, false}, {0x89, false}};
    for (const auto& [result, own] : rows)
        EXPECT_EQ(own, IsFileOperationOwnCode(result)) << std::hex << result;
}

// What a failed shortcut step reports: the system's error code, which a shell-link HRESULT
// carries inside when it has one.
TEST(ShortcutError, Win32CodesComeOutOfTheirHresults)
{
    for (DWORD code : {ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND})
        EXPECT_EQ(code, SystemErrorCode(HRESULT_FROM_WIN32(code)));
    EXPECT_EQ(static_cast<DWORD>(E_NOINTERFACE), SystemErrorCode(E_NOINTERFACE));
}
