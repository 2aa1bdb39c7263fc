#include "HardeningSupport.h"

#include "timesync/MainWindowIds.h"
#include "support/RemoteControls.h"

#include <winternl.h>

#include <fstream>
#include <sstream>

const std::string VALUE_2015("\xD8\x4F\x0C\x80", 4);
const char* const CLOCK_REFUSED = "不能设置新的日期和时间!";

std::string ConfigFileText(const std::string& autorun, const ServerRows& rows)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n  <cfg>\n    <autorun>" +
                      autorun + "</autorun>\n  </cfg>\n";
    for (const auto& row : rows)
        xml += "  <srv>\n    <url>" + row.first + "</url>\n    <ip>" + row.second + "</ip>\n  </srv>\n";
    return xml + "</srv_root>\n";
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

DrivenZorvane::DrivenZorvane(const ServerRows& rows) : m_folder("zorvane_hard")
{
    WriteFileBytes(m_folder.file("srv.xml"), ConfigFileText("", rows));
}

DrivenZorvane::~DrivenZorvane()
{
    if (m_process && m_process->Running() && m_window) {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
        m_process->WaitForExit(5000);
    }
}

bool DrivenZorvane::Launch(const std::string& arguments)
{
    m_process = std::make_unique<ZorvaneProcess>(m_folder.path());
    if (!m_process->Start(arguments))
        return false;
    m_window = m_process->WaitForWindow("Zorvane v1.0");
    return m_window && m_process->WaitIdle();
}

std::string DrivenZorvane::Log() const
{
    return WindowTextOf(Control(IDC_LOG));
}

std::string DrivenZorvane::LogWithoutTrailingDots() const
{
    std::string log = Log();
    while (log.size() >= 2 && log.back() == '.' && log[log.size() - 2] == '.')
        log.pop_back();
    return log;
}

bool DrivenZorvane::WaitForLogEnd(const std::string& tail, DWORD timeoutMs) const
{
    return WaitFor([&] {
        std::string log = Log();
        return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
    }, timeoutMs);
}

bool DrivenZorvane::SelectRow(int row) const
{
    return RemoteListSelect(Control(IDC_SERVERLIST), row);
}

void DrivenZorvane::ClickSync() const
{
    Click(IDC_SYNC);
}

void DrivenZorvane::Click(int id) const
{
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void DrivenZorvane::PostTicks(int count) const
{
    for (int tick = 0; tick < count; ++tick)
        PostMessageA(m_window, WM_TIMER, 1, 0);
}

bool DrivenZorvane::Answers(DWORD timeoutMs) const
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &answer) != 0;
}

int DrivenZorvane::Close()
{
    PostMessageA(m_window, WM_CLOSE, 0, 0);
    return m_process->WaitForExit();
}

namespace {

constexpr ULONG SYSTEM_HANDLE_INFORMATION = 16;

struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

int CountHandlesOf(DWORD processId)
{
    auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    while (query(SYSTEM_HANDLE_INFORMATION, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() > (64u << 20))
            return -1;
        buffer.resize(buffer.size() * 2);
    }
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    int count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        count += table->entries[i].ownerProcessId == processId ? 1 : 0;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId) {
        ++state->count;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&state->count));
    }
    return TRUE;
}

int CountWindowsOf(DWORD processId)
{
    WindowCount state{processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.count;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Wine runs each Windows process in a Unix process whose command line starts with the
// Windows path of its executable.
std::string UnixProcessFolder(const std::string& exePath)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    std::string found;
    do {
        const std::string name = entry.cFileName;
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string folder = "Z:\\proc\\" + name + "\\";
        const std::string commandLine = FileText(folder + "cmdline");
        if (commandLine.compare(0, exePath.size() + 1, exePath + '\0', 0, exePath.size() + 1) == 0)
            found = folder;
    } while (found.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

int CountEntries(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    do {
        const std::string name = entry.cFileName;
        count += name != "." && name != ".." ? 1 : 0;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return count;
}

int CountUnixDescriptors(const std::string& exePath)
{
    const std::string folder = UnixProcessFolder(exePath);
    return folder.empty() ? -1 : CountEntries(folder + "fd\\");
}

}  // namespace

ProcessHoldings MeasureHoldings(DWORD processId, const std::string& exePath)
{
    ProcessHoldings holdings;
    holdings.handles = CountHandlesOf(processId);
    holdings.windows = CountWindowsOf(processId);
    holdings.unixDescriptors = CountUnixDescriptors(exePath);
    holdings.connections = OpenTimeConnections();
    return holdings;
}

// /proc/net/tcp: "sl local rem st ...", addresses as little-endian hex "0104007F:0025".
int OpenTimeConnections()
{
    std::istringstream table(FileText("Z:\\proc\\net\\tcp"));
    std::string line;
    std::getline(table, line);
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const bool toOurBlock = remote.size() == 13 && remote.compare(2, 6, "04007F") == 0 &&
                                remote.compare(8, 5, ":0025") == 0;
        const bool held = state == "01" || state == "02" || state == "08";
        count += toOurBlock && held ? 1 : 0;
    }
    return count;
}
