// The fixture of the tests that drive one copy of the program through its window.
#pragma once

#include "support/DrivenZorvane.h"
#include "support/SystemPlaces.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A test of one copy of the program driven through its window. The named Run values and the
// desktop shortcut are removed before and after it; at its end a message box left open is
// answered, and closing the window must end the program with 0.
class DrivenZorvaneTest : public ::testing::Test {
protected:
    explicit DrivenZorvaneTest(std::vector<std::string> runValueNames = {"Zorvane"});
    void TearDown() override;

    // Starts a copy with srv.xml holding the rows, or none; true once its window is idle.
    bool Launch(const ServerRows& rows, const std::string& folderName = "zorvane");
    bool LaunchWithoutSrvXml();
    // Launch, then a sync of the row: selected, and "校时" clicked.
    bool LaunchAndSync(const ServerRows& rows, int row = 0);
    std::string SrvXml() const;
    // What the command box first holds: this copy in double quotes, /ip, the first default server.
    std::string DefaultCommand() const;
    // A click whose handler returns without showing anything.
    bool ClickedQuietly(int id) const;

    const SystemPlacesCleanup cleanup;
    std::unique_ptr<DrivenZorvane> app;
};
