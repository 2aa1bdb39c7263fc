#include "support/DrivenZorvaneTest.h"

#include "support/Dialogs.h"

DrivenZorvaneTest::DrivenZorvaneTest(std::vector<std::string> runValueNames)
    : cleanup(std::move(runValueNames), true)
{
}

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

std::string DrivenZorvaneTest::SrvXml() const
{
    return ReadFileBytes(app->Folder().file("srv.xml"));
}

std::string DrivenZorvaneTest::OwnCommand(const std::string& arguments) const
{
    return "\"" + app->Process().exePath() + "\" " + arguments;
}

void DrivenZorvaneTest::Type(const std::string& command) const
{
    SetWindowTextA(app->Control(kCommandEditId), command.c_str());
}

bool DrivenZorvaneTest::ClickedQuietly(int id) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(app->Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 8000, &result) != 0 &&
           FindMessageBoxes(app->Process().pid()).empty();
}

void DrivenZorvaneTest::ExpectKept(const std::string& command, bool ticked, const ServerRows& rows,
                                   const std::string& element) const
{
    const std::string file = SavedSrvXml(element.empty() ? AutorunElement(command) : element, rows);
    EXPECT_EQ(Autostart(ticked, ticked ? RunCommandValue(command) : RegistryValue{}, file), AutostartNow());
}
