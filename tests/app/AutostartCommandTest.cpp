#include "app/AutostartCommand.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(RefusedSyncAddress, OnlyThisProgramsSyncCommandWithAnAddressStartUpRefuses)
{
    const std::string own = "\"" + ExePath() + "\"";
    EXPECT_EQ("time.nist.gov", RefusedSyncAddress((own + " /ip time.nist.gov").c_str()));
    EXPECT_EQ("1.2.3", RefusedSyncAddress((own + " -ip 1.2.3").c_str()));
    EXPECT_EQ("", RefusedSyncAddress((own + " /ip \"\"").c_str()));
    EXPECT_EQ(std::nullopt, RefusedSyncAddress((own + " /ip 1.2.3.4").c_str()));
    EXPECT_EQ(std::nullopt, RefusedSyncAddress((own + " time.nist.gov").c_str()));
    EXPECT_EQ(std::nullopt, RefusedSyncAddress("\"C:\\Tools\\Other.exe\" /ip time.nist.gov"));
}
