#include "app/AutostartCommand.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Refused: this program with arguments start-up answers with the usage box. The address is
// named where "/ip" and one value are all there is.
TEST(AutostartCommand, OnlyThisProgramsCommandsThatStartUpAnswersWithTheUsageBox)
{
    const std::string own = "\"" + ExePath() + "\"";
    const std::optional<std::string> wrongForm;
    const std::pair<std::string, std::optional<std::string>> refused[] = {
        {own + " /ip time.nist.gov", "time.nist.gov"}, {own + " -ip 1.2.3", "1.2.3"},
        {own + " /ip \"\"", ""},                       {own + " time.nist.gov", wrongForm},
        {own + " /IP 1.2.3.4", wrongForm},             {own + " /ip 1.2.3.4 more", wrongForm},
        {own + " /ip", wrongForm},                     {own + " /ipx 1.2.3.4", wrongForm},
    };
    for (const auto& [command, address] : refused) {
        const std::optional<SyncCommandRefusal> refusal = SplitAutostartCommand(command.c_str()).refusal;
        ASSERT_TRUE(refusal) << command;
        EXPECT_EQ(address, refusal->address) << command;
    }
    for (const std::string& command : {own + " /ip 1.2.3.4", own + " xip 1.2.3.4.5", own,
                                       std::string("\"C:\\Tools\\Other.exe\" /ip time.nist.gov"),
                                       std::string("\"C:\\Tools\\Other.exe\" /IP 1.2.3.4")})
        EXPECT_FALSE(SplitAutostartCommand(command.c_str()).refusal) << command;
}
