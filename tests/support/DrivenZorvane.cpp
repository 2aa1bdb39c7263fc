#include "support/DrivenZorvane.h"

#include "support/Dialogs.h"

#include <gtest/gtest.h>

DrivenZorvane::DrivenZorvane() : m_folder("zorvane") {}

DrivenZorvane::DrivenZorvane(const ServerRows& rows, const std::string& folderName) : m_folder(folderName)
{
    WriteFileBytes(m_folder.file("srv.xml"), SavedSrvXml(AutorunElement(""), rows));
}

DrivenZorvane::~DrivenZorvane()
{
    if (m_process && m_process->Running() && m_window)
        Close();
}

bool DrivenZorvane::Start(const std::string& arguments)
{
    m_window = nullptr;
    m_process = std::make_unique<ZorvaneProcess>(m_folder.path());
    return m_process->Start(arguments);
}

bool DrivenZorvane::AwaitWindow(const char* title)
{
    m_window = m_process->WaitForWindow(title);
    return m_window != nullptr;
}

bool DrivenZorvane::LaunchByBareName()
{
    m_window = nullptr;
    m_process = std::make_unique<ZorvaneProcess>(m_folder.path());
    return m_process->StartWithCommandLine("Zorvane.exe") && AwaitWindow() && m_process->WaitIdle();
}

std::string DrivenZorvane::LogWithoutTrailingDots() const
{
    std::string log = Log();
    while (log.size() >= 2 && log.back() == '.' && log[log.size() - 2] == '.')
        log.pop_back();
    return log;
}

// A click that opens a message box would hold this thread for as long as the box stays open:
// the test fails, the box is answered and the test goes on.
bool DrivenZorvane::Click(int id) const
{
    constexpr DWORD kClickMs = 8000;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, kClickMs, &answer))
        return true;
    std::string boxes;
    for (const MessageBoxInfo& box : FindMessageBoxes(m_process->pid())) {
        boxes += "\n" + box.text;
        CloseMessageBox(box);
    }
    ADD_FAILURE() << "the click on control " << id << " did not return; message boxes:" << boxes;
    return false;
}

std::string DrivenZorvane::AnswerMessageBox(HWND owner, DWORD timeoutMs)
{
    std::vector<MessageBoxInfo> boxes;
    if (!WaitFor([&] { return !(boxes = FindMessageBoxes(m_process->pid())).empty(); }, timeoutMs))
        return {};
    const MessageBoxInfo& box = boxes.front();
    EXPECT_EQ("Zorvane", box.caption);
    EXPECT_EQ(owner, GetWindow(box.window, GW_OWNER))
        << "in front of the window it is about; owned by a hidden one, it could hide";
    EXPECT_TRUE(m_process->Running()) << "the box is modal: the program waits";
    // The window's own boxes say a step failed, with the warning icon; the usage and srv.xml
    // boxes, owned by no window, have always been plain.
    EXPECT_EQ(owner != nullptr, box.icon) << box.text;
    EXPECT_TRUE(CloseMessageBox(box));
    return box.text;
}

std::string DrivenZorvane::MessageAfterClicking(int id)
{
    PostMessageA(Control(id), BM_CLICK, 0, 0);
    return AnswerMessageBox(m_window);
}

void DrivenZorvane::PostTicks(int count) const
{
    for (int tick = 0; tick < count; ++tick)
        PostMessageA(m_window, WM_TIMER, kSyncTimerId, 0);
}

void DrivenZorvane::Tick(int count) const
{
    for (int tick = 0; tick < count; ++tick)
        SendMessageA(m_window, WM_TIMER, kSyncTimerId, 0);
}

bool DrivenZorvane::Settled(DWORD timeoutMs) const
{
    HWND button = Control(kSyncButtonId);
    PostMessageA(button, BM_SETSTATE, TRUE, 0);
    const bool arrived = WaitFor([&] { return (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }, timeoutMs);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    return arrived;
}

int DrivenZorvane::Close()
{
    PostMessageA(m_window, WM_CLOSE, 0, 0);
    return m_process->WaitForExit();
}

void ExpectUsageAndExitZero(const std::string& arguments)
{
    DrivenZorvane app;
    ASSERT_LT(app.Folder().file("Zorvane.exe").size() + 3 + arguments.size(), 32767u) << "beyond CreateProcess";
    ASSERT_TRUE(app.Start(arguments));
    EXPECT_EQ(kUsageText, app.AnswerMessageBox(nullptr, 15000));
    EXPECT_EQ(0, app.ExitCode());
}
