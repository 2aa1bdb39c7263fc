// Runs the real Zorvane.exe, copied into a temporary folder (its srv.xml lands there),
// against time servers on loopback 127.0.2.x port 37.
#include "support/Dialogs.h"
#include "support/TempDir.h"
#include "support/TimeServer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace {

constexpr DWORD START_TIMEOUT_MS = 15000;
constexpr DWORD EXIT_TIMEOUT_MS = 15000;
constexpr const char* USAGE_TEXT = "用法: \"Zorvane.exe\" /ip 129.6.15.28\r\n";

// The program as a child process.

class Zorvane {
public:
    explicit Zorvane(const std::string& arguments)
    {
        const std::string exe = m_folder.file("Zorvane.exe");
        if (!CopyFileA(WinePathFromEnv("ZORVANE_EXE").c_str(), exe.c_str(), FALSE))
            return;
        std::string commandLine = "\"" + exe + "\"";
        if (!arguments.empty())
            commandLine += " " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           m_folder.path().c_str(), &startup, &m_process)) {
            CloseHandle(m_process.hThread);
        } else {
            m_process = PROCESS_INFORMATION{};
        }
    }

    ~Zorvane()
    {
        if (!m_process.hProcess)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 99);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
    }

    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD Id() const { return m_process.dwProcessId; }
    const TempDir& Folder() const { return m_folder; }

    // The exit code, or STILL_ACTIVE when the process has not ended in time.
    DWORD ExitCode(DWORD timeoutMs = EXIT_TIMEOUT_MS) const
    {
        WaitForSingleObject(m_process.hProcess, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

    // The top-level window of this process with the given title, hidden ones included.
    HWND WaitForWindow(const char* title, DWORD timeoutMs = START_TIMEOUT_MS) const
    {
        DWORD start = GetTickCount();
        do {
            if (HWND window = FindWindowOf(title))
                return window;
            Sleep(50);
        } while (GetTickCount() - start < timeoutMs);
        return nullptr;
    }

private:
    struct Search {
        DWORD processId;
        const char* title;
        HWND found;
    };

    static BOOL CALLBACK Match(HWND window, LPARAM param)
    {
        auto* search = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (owner == search->processId && lstrcmpA(text, search->title) == 0) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    HWND FindWindowOf(const char* title) const
    {
        Search search{m_process.dwProcessId, title, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    TempDir m_folder{"zorvane_app"};
    PROCESS_INFORMATION m_process{};
};

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

void PostTicks(HWND window, int count)
{
    for (int tick = 0; tick < count; ++tick)
        PostMessageA(window, WM_TIMER, 1, 0);
}

// Shows the usage box with the exact text and the program's name as caption, exits with 0.
void ExpectUsage(const std::string& arguments)
{
    SCOPED_TRACE("arguments: " + arguments);
    Zorvane zorvane(arguments);
    ASSERT_TRUE(zorvane.Started());
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(zorvane.Id(), START_TIMEOUT_MS, box));
    EXPECT_EQ(USAGE_TEXT, box.text);
    EXPECT_EQ("Zorvane", box.caption);
    EXPECT_EQ(STILL_ACTIVE, zorvane.ExitCode(0)) << "the box is modal: the program waits";
    ASSERT_TRUE(CloseMessageBox(box));
    EXPECT_EQ(0u, zorvane.ExitCode());
}

}  // namespace

TEST(CommandLineMode, ReceivedTimeEndsTheProgramWithZero)
{
    TimeServer server("127.0.2.1", TimeScripts::CurrentTime());
    ASSERT_TRUE(server.IsListening());
    Zorvane zorvane("/ip 127.0.2.1");
    ASSERT_TRUE(zorvane.Started());
    EXPECT_EQ(0u, zorvane.ExitCode());
    EXPECT_EQ(1, server.AcceptedCount());
    EXPECT_TRUE(FindMessageBoxes(zorvane.Id()).empty());
}

TEST(CommandLineMode, DashSwitchWorksLikeSlash)
{
    TimeServer server("127.0.2.2", TimeScripts::CurrentTime());
    ASSERT_TRUE(server.IsListening());
    Zorvane zorvane("-ip 127.0.2.2");
    ASSERT_TRUE(zorvane.Started());
    EXPECT_EQ(0u, zorvane.ExitCode());
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST(CommandLineMode, RefusedConnectionEndsWithOne)
{
    Zorvane zorvane("/ip 127.0.2.3");  // nothing listens there
    ASSERT_TRUE(zorvane.Started());
    EXPECT_EQ(1u, zorvane.ExitCode());
}

TEST(CommandLineMode, ShortAnswerEndsWithOne)
{
    TimeServer server("127.0.2.4", TimeScripts::TwoBytesThenClose());
    ASSERT_TRUE(server.IsListening());
    Zorvane zorvane("/ip 127.0.2.4");
    ASSERT_TRUE(zorvane.Started());
    EXPECT_EQ(1u, zorvane.ExitCode());
    EXPECT_EQ(1, server.AcceptedCount());
}

TEST(CommandLineMode, SilentServerTimesOutAfterThreeHundredTicks)
{
    TimeServer server("127.0.2.5", TimeScripts::Silent());
    ASSERT_TRUE(server.IsListening());
    Zorvane zorvane("/ip 127.0.2.5");
    ASSERT_TRUE(zorvane.Started());
    HWND window = zorvane.WaitForWindow("新建工程");
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_TRUE(server.WaitForAccepted(1, START_TIMEOUT_MS));

    // The program's own timer adds a tick a second; well below the limit it keeps waiting.
    PostTicks(window, 290);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_EQ(STILL_ACTIVE, zorvane.ExitCode(500));
    PostTicks(window, 11);
    EXPECT_EQ(1u, zorvane.ExitCode());
}

TEST(CommandLineMode, WrongCommandLinesShowUsageAndEndWithZero)
{
    for (const char* arguments : {"/IP 1.2.3.4", "/ipx 1.2.3.4", "/ip", "/ip 1.2.3.4 more", "foo",
                                  "/ip 1.2.3", "/ip a.b.c.d", "/ip 1.2.3.-4"})
        ExpectUsage(arguments);
}

TEST(GuiMode, WindowShownAtTopLeftWithTitleAndClosedWithZero)
{
    Zorvane zorvane("");
    ASSERT_TRUE(zorvane.Started());
    HWND window = zorvane.WaitForWindow("Zorvane v1.0");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, START_TIMEOUT_MS));

    RECT placement{};
    GetWindowRect(window, &placement);
    EXPECT_EQ(0, placement.left);
    EXPECT_EQ(0, placement.top);
    EXPECT_EQ(750, placement.right - placement.left);
    EXPECT_EQ(450, placement.bottom - placement.top);

    // The icons are checked on the X side (tests/scripts/gui_icon.sh): Wine answers no
    // WM_GETICON sent from another process.

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, zorvane.ExitCode());
}
