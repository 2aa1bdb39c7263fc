#include "support/DrivenZorvaneTest.h"

void DrivenZorvaneTest::TearDown()
{
    if (!app)
        return;
    for (const MessageBoxInfo& box : FindMessageBoxes(app->Process().pid()))
        CloseMessageBox(box);
    EXPECT_EQ(0, app->Close());
}

bool DrivenZorvaneTest::Launch(const ServerRows& rows, const std::string& folderName)
{
    app = std::make_unique<DrivenZorvane>(rows, folderName);
    return app->Launch();
}

bool DrivenZorvaneTest::LaunchWithoutSrvXml()
{
    app = std::make_unique<DrivenZorvane>();
    return app->Launch();
}

bool DrivenZorvaneTest::LaunchAndSync(const ServerRows& rows, int row)
{
    if (!Launch(rows) || !app->SelectRow(row))
        return false;
    app->ClickSync();
    return true;
}

void DrivenZorvaneTest::ExpectKept(const std::string& command, bool ticked, const ServerRows& rows,
                                   const std::string& element) const
{
    const std::string file = SavedSrvXml(element.empty() ? AutorunElement(command) : element, rows);
    EXPECT_EQ(Autostart(ticked, ticked ? RunCommandValue(command) : RegistryValue{}, file), AutostartNow());
}
