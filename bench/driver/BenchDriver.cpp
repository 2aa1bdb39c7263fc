// Starts programs under measurement and prints one line per sample; bench/bench.py runs it
// and does the statistics. Windows paths throughout.
//
//   BenchDriver sync <rounds> <address> <label>=<exe> ...
//       process start (just before CreateProcess) to exit of "<exe> /ip <address>"
//   BenchDriver paint <label>=<exe>:<rows>:<rounds> ...
//       GUI start to first visible window and to first paint (see FirstPaint below), then
//       the process's counters
//   BenchDriver memory <rounds> <read after ms> <hold ms> <slow address> <label>=<exe>:<rows> ...
//       counters of each GUI (rows > 0: its list's row count) read <read after ms> after its
//       first paint; a program given with 0 rows is a sync program started with /ip <slow
//       address> and read 1 s after its start, while it waits connected. Each program is
//       then kept as it is for <hold ms> after a line "hold <label> <round>", so that bench.py
//       can look at its mappings from the Linux side.
//
// With the environment variable ZORVANE_TRACE_FILE set, every start and first paint is also
// appended to that file ("trace start:<label> <ms>", "trace visible <ms>", "trace painted <ms>",
// "trace ended <ms>"),
// on the clock of the programs' own trace lines (bench/phases.py).
//
// Programs of one command run interleaved: round r runs each program once, the order turning
// by one place every round, so drift of the machine falls on all of them alike.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kMainTitle[] = "Zorvane v1.0";
constexpr int kServerListId = 100;
constexpr DWORD kStartTimeoutMs = 600000;
constexpr DWORD kPollMs = 2;
constexpr double kFloorReadAtMs = 1000;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Appends a mark to the trace file of a ZORVANE_TRACE build, when there is one.
void TraceMark(const std::string& what)
{
    const char* path = std::getenv("ZORVANE_TRACE_FILE");
    FILE* out = path ? std::fopen(path, "a") : nullptr;
    if (!out)
        return;
    std::fprintf(out, "trace %s %.3f\n", what.c_str(), Now());
    std::fclose(out);
}

struct Program {
    std::string label;
    std::string exe;
    int rows = 0;
    int rounds = 0;
};

// "label=exe[:rows:rounds]"; the exe may hold a drive colon, so the numbers are cut off the end.
Program ParseProgram(const std::string& text, bool withCounts)
{
    Program program;
    size_t equals = text.find('=');
    program.label = text.substr(0, equals);
    program.exe = text.substr(equals + 1);
    if (withCounts) {
        size_t last = program.exe.rfind(':');
        program.rounds = std::atoi(program.exe.c_str() + last + 1);
        program.exe.resize(last);
        size_t rows = program.exe.rfind(':');
        program.rows = std::atoi(program.exe.c_str() + rows + 1);
        program.exe.resize(rows);
    }
    return program;
}

class ChildProcess {
public:
    ChildProcess(const std::string& exe, const std::string& arguments)
    {
        std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        std::vector<char> mutableLine(line.begin(), line.end());
        mutableLine.push_back('\0');
        std::string folder = exe.substr(0, exe.rfind('\\') + 1);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        m_started = CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, folder.c_str(), &startup, &m_info) != 0;
    }
    ~ChildProcess()
    {
        if (!m_started)
            return;
        if (Running()) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 10000);
        }
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_started; }
    bool Running() const { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD Pid() const { return m_info.dwProcessId; }
    // Exit code, or -1 after the timeout.
    int WaitForExit(DWORD timeoutMs) const
    {
        if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !IsWindowVisible(window))
        return TRUE;
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, kMainTitle) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindVisibleMainWindow(DWORD pid)
{
    WindowSearch search{pid, nullptr};
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindPendingPaint(HWND window, LPARAM param)
{
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

// True when neither the window nor any visible window inside it has an update region left.
bool NothingLeftToPaint(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool pending = false;
    EnumChildWindows(window, FindPendingPaint, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

// The server list's row count as its own thread answers it: the answer comes only once the
// window's thread takes messages again, so by then start-up has run to the message loop.
bool ListShowsRows(HWND mainWindow, int rows)
{
    HWND list = GetDlgItem(mainWindow, kServerListId);
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0,
                                      SMTO_NORMAL, kStartTimeoutMs, &count))
        return false;
    return static_cast<int>(count) == rows;
}

struct StartTimes {
    double visible = -1;  // the window visible
    double painted = -1;  // ... its list filled and nothing left to paint
    int pendingPolls = 0;  // polls that found the list filled but something left to paint
};

// First visible window: the first moment at which the main window "Zorvane v1.0" is visible.
// First paint: the first moment at which, in addition, its list view answers with the
// expected row count and no visible window of it has anything left to paint (GetUpdateRect
// empty for the window and all its descendants). Milliseconds from just before
// CreateProcess; painted stays negative on failure.
StartTimes FirstPaint(const ChildProcess& child, double startMs, int rows, HWND& mainWindow)
{
    StartTimes times;
    while (Now() - startMs < kStartTimeoutMs) {
        if (!child.Running())
            return times;
        mainWindow = FindVisibleMainWindow(child.Pid());
        if (mainWindow && times.visible < 0) {
            times.visible = Now() - startMs;
            TraceMark("visible");
        }
        if (mainWindow && ListShowsRows(mainWindow, rows)) {
            const double now = Now() - startMs;
            if (NothingLeftToPaint(mainWindow)) {
                times.painted = now;
                TraceMark("painted");
                return times;
            }
            ++times.pendingPolls;
        }
        Sleep(kPollMs);
    }
    return times;
}

struct Counters {
    bool valid = false;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    SIZE_T privateCommit = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD handles = 0;
    bool handlesKnown = false;
};

// Committed private memory, region by region: what "private bytes" means on Windows, for
// when the process's own counter is not filled in.
SIZE_T PrivateCommit(HANDLE process)
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

Counters ReadCounters(HANDLE process)
{
    Counters counters;
    counters.memory.cb = sizeof counters.memory;
    counters.valid = GetProcessMemoryInfo(process,
        reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters.memory), sizeof counters.memory) != 0;
    counters.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    counters.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    counters.handlesKnown = GetProcessHandleCount(process, &counters.handles) != 0;
    counters.privateCommit = PrivateCommit(process);
    return counters;
}

void PrintCounters(const char* figure, const std::string& label, int round, const Counters& c)
{
    if (!c.valid) {
        std::printf("error %s %s %d counters unavailable (%lu)\n", figure, label.c_str(), round,
                    GetLastError());
        return;
    }
    std::printf("sample %s %s %d peak_working_set_kib=%lu working_set_kib=%lu "
                "private_usage_kib=%lu private_commit_kib=%lu gdi_objects=%lu user_objects=%lu "
                "handles=%ld\n",
                figure, label.c_str(), round,
                static_cast<unsigned long>(c.memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(c.memory.WorkingSetSize / 1024),
                static_cast<unsigned long>(c.memory.PrivateUsage / 1024),
                static_cast<unsigned long>(c.privateCommit / 1024), c.gdiObjects, c.userObjects,
                c.handlesKnown ? static_cast<long>(c.handles) : -1L);
}

void CloseGui(ChildProcess& child, HWND mainWindow)
{
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    if (child.WaitForExit(60000) != 0)
        std::printf("error close exit code not 0 or timeout\n");
}

int RunSync(int rounds, const std::string& address, const std::vector<Program>& programs)
{
    const size_t count = programs.size();
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < count; ++i) {
            const Program& program = programs[(i + round) % count];
            TraceMark("start:" + program.label);
            double start = Now();
            ChildProcess child(program.exe, "/ip " + address);
            int code = child.Started() ? child.WaitForExit(60000) : -2;
            double elapsed = Now() - start;
            TraceMark("ended");
            if (code != 0)
                std::printf("error sync %s %d exit code %d\n", program.label.c_str(), round, code);
            else
                std::printf("sample sync %s %d %.3f\n", program.label.c_str(), round, elapsed);
            std::fflush(stdout);
        }
    }
    return 0;
}

void MeasurePaint(const Program& program, int round)
{
    TraceMark("start:" + program.label);
    double start = Now();
    ChildProcess child(program.exe, "");
    HWND mainWindow = nullptr;
    StartTimes times;
    if (child.Started())
        times = FirstPaint(child, start, program.rows, mainWindow);
    if (times.painted < 0) {
        std::printf("error paint %s %d no first paint\n", program.label.c_str(), round);
        return;
    }
    std::printf("sample paint %s %d %.3f visible=%.3f pending_polls=%d\n", program.label.c_str(),
                round, times.painted, times.visible, times.pendingPolls);
    PrintCounters("paint_counters", program.label, round, ReadCounters(child.Handle()));
    CloseGui(child, mainWindow);
}

int RunPaint(const std::vector<Program>& programs)
{
    int rounds = 0;
    for (const Program& program : programs)
        rounds = std::max(rounds, program.rounds);
    const size_t count = programs.size();
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < count; ++i) {
            const Program& program = programs[(i + round) % count];
            if (round < program.rounds)
                MeasurePaint(program, round);
            std::fflush(stdout);
        }
    }
    return 0;
}

void HoldForInspection(const std::string& label, int round, DWORD holdMs)
{
    if (holdMs == 0)
        return;
    std::printf("hold %s %d\n", label.c_str(), round);
    std::fflush(stdout);
    Sleep(holdMs);
}

void MeasureGuiMemory(const Program& program, int round, DWORD readAfterMs, DWORD holdMs)
{
    double start = Now();
    ChildProcess child(program.exe, "");
    HWND mainWindow = nullptr;
    if (!child.Started() || FirstPaint(child, start, program.rows, mainWindow).painted < 0) {
        std::printf("error memory %s %d no first paint\n", program.label.c_str(), round);
        return;
    }
    Sleep(readAfterMs);  // let late start-up work land before reading the peak
    PrintCounters("memory", program.label, round, ReadCounters(child.Handle()));
    HoldForInspection(program.label, round, holdMs);
    CloseGui(child, mainWindow);
}

// A sync program ends as soon as it has the time; against a server that answers late
// (after 2.5 s) it waits connected, with all its work but the last four bytes done, and is
// read at that point.
void MeasureSyncMemory(const Program& program, const std::string& slowAddress, int round,
                       DWORD holdMs)
{
    double start = Now();
    ChildProcess child(program.exe, "/ip " + slowAddress);
    while (child.Started() && child.Running() && Now() - start < kFloorReadAtMs)
        Sleep(kPollMs);
    if (!child.Started() || !child.Running()) {
        std::printf("error memory %s %d ended before it was read\n", program.label.c_str(), round);
        return;
    }
    Counters counters = ReadCounters(child.Handle());
    HoldForInspection(program.label, round, holdMs);
    int code = child.WaitForExit(60000);
    if (code != 0)
        std::printf("error memory %s %d exit code %d\n", program.label.c_str(), round, code);
    PrintCounters("memory", program.label, round, counters);
}

int RunMemory(int rounds, DWORD readAfterMs, DWORD holdMs, const std::string& slow,
              const std::vector<Program>& programs)
{
    const size_t count = programs.size();
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < count; ++i) {
            const Program& program = programs[(i + round) % count];
            if (program.rows > 0)
                MeasureGuiMemory(program, round, readAfterMs, holdMs);
            else
                MeasureSyncMemory(program, slow, round, holdMs);
            std::fflush(stdout);
        }
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: BenchDriver sync|paint|memory ... (see the source)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string mode = argv[1];
    if (mode == "sync" && argc >= 5) {
        std::vector<Program> programs;
        for (int i = 4; i < argc; ++i)
            programs.push_back(ParseProgram(argv[i], false));
        return RunSync(std::atoi(argv[2]), argv[3], programs);
    }
    if (mode == "paint") {
        std::vector<Program> programs;
        for (int i = 2; i < argc; ++i)
            programs.push_back(ParseProgram(argv[i], true));
        return RunPaint(programs);
    }
    if (mode == "memory" && argc >= 7) {
        std::vector<Program> programs;
        for (int i = 6; i < argc; ++i)
            programs.push_back(ParseProgram(argv[i], true));
        return RunMemory(std::atoi(argv[2]), static_cast<DWORD>(std::atoi(argv[3])),
                         static_cast<DWORD>(std::atoi(argv[4])), argv[5], programs);
    }
    return Usage();
}
