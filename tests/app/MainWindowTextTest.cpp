#include "app/MainWindowText.h"
#include "support/SyncTranscript.h"

#include <gtest/gtest.h>

TEST(HelpText, NamesTheCommandLineAndTheHelpPage)
{
    EXPECT_EQ("file:///C:/Program Files/Zorvane/Zorvane-help.html",
              HelpPageAddress("C:\\Program Files\\Zorvane\\"));
    EXPECT_EQ(HelpText("1.2.3.4", "file:///x"), BuildHelpText("1.2.3.4", "file:///x"));
}
