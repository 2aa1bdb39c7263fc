// The fixture of the tests that drive one copy of the program through its window.
#pragma once

#include "support/Dialogs.h"
#include "support/DrivenZorvane.h"
#include "support/SystemPlaces.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

// A test of one copy of the program driven through its window. The named Run values and the
// desktop shortcut are removed before and after it; at its end a message box left open is
// answered, and closing the window must end the program with 0.
class DrivenZorvaneTest : public ::testing::Test {
protected:
    explicit DrivenZorvaneTest(std::vector<std::string> runValueNames = {"Zorvane"})
        : cleanup(std::move(runValueNames), true) {}
    void TearDown() override;

    // Starts a copy with srv.xml holding the rows, or none; true once its window is idle.
    bool Launch(const ServerRows& rows, const std::string& folderName = "zorvane");
    bool LaunchWithoutSrvXml();
    // Launch, then a sync of the row: selected, and "校时" clicked.
    bool LaunchAndSync(const ServerRows& rows, int row = 0);
    std::string SrvXml() const { return ReadFileBytes(app->Folder().file("srv.xml")); }
    // This copy in double quotes, then the arguments.
    std::string OwnCommand(const std::string& arguments) const
    {
        return "\"" + app->Process().exePath() + "\" " + arguments;
    }
    // What the command box first holds: /ip and the first default server.
    std::string DefaultCommand() const { return OwnCommand("/ip 129.6.15.28"); }
    // The command box's text set, as a paste sets it.
    void Type(const std::string& command) const { SetWindowTextA(app->Control(kCommandEditId), command.c_str()); }
    // A click whose handler returns without showing anything.
    bool ClickedQuietly(int id) const { return app->Click(id) && FindMessageBoxes(app->Process().pid()).empty(); }
    bool Restarted() { return app->Close() == 0 && app->Launch(); }

    // Where a click of the autostart box shows: the box, the Run value "Zorvane" and srv.xml.
    using Autostart = std::tuple<bool, RegistryValue, std::string>;
    Autostart AutostartNow() const { return {app->Checked(kAutostartCheckId), ReadRunValue("Zorvane"), SrvXml()}; }
    // The three once the command is kept: the box ticked or not, the Run value following it,
    // srv.xml with the command (in its plain element unless another is given) and the rows.
    void ExpectKept(const std::string& command, bool ticked, const ServerRows& rows,
                    const std::string& element = {}) const;

    const SystemPlacesCleanup cleanup;
    std::unique_ptr<DrivenZorvane> app;
};
