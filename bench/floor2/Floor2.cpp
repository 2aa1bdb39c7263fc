// Zorvane's start-up work, written lean: the yardstick of bench/run.sh for start-up and memory.
// Like Zorvane it creates the main window with its seven controls, font, column headings,
// rows of srv.xml (libxml2), help text, autostart command and the first state of both check
// boxes (Run value; desktop shortcut, COM only when the file exists); with "/ip <address>"
// it then syncs with the window hidden and ends, without arguments it shows the window with
// title and icon. What it leaves out is listed in bench/README.md: no layout toolkit, one
// parse of srv.xml, controls created in place, no teardown beyond the process's exit.
// Built with FLOOR_ALL_STEPS=1 it is floor3: the same flat program, doing also every step of
// Zorvane's start-up and end that floor2 leaves out (bench/README.md), still without classes,
// layout toolkit or framework.
// Usage: Floor2.exe [/ip <IPv4 address>]
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/ExecutableDirectory.h"
#include "app/MainWindowText.h"
#include "floor/FloorSync.h"
#include "framework/Trace.h"

#ifndef FLOOR_ALL_STEPS
#define FLOOR_ALL_STEPS 0
#endif

namespace {

constexpr bool kAllSteps = FLOOR_ALL_STEPS != 0;
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT kTimeoutMs = 301000;
constexpr WORD kIconId = 128;
constexpr char kFirstDefaultAddress[] = "129.6.15.28";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kShortcutName[] = L"\\Zorvane v1.0.lnk";
constexpr char kNotParsed[] = "Document srv.xml not parsed successfully.";
constexpr char kFirstTitle[] = "新建工程";

struct Config {
    bool parsed = false;
    bool hasCfg = false;
    std::string command;  // GBK
    std::vector<std::pair<std::string, std::string>> servers;  // GBK
};

std::wstring Widen(const std::string& text, UINT codePage)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                    &wide[0], static_cast<int>(wide.size())));
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage)
{
    std::string text(wide.size() * 3, '\0');
    text.resize(WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                    &text[0], static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

// Plain ASCII reads the same in UTF-8 and GBK.
std::string Utf8ToAnsi(const std::string& text)
{
    for (unsigned char c : text) {
        if (c >= 0x80)
            return Narrow(Widen(text, CP_UTF8), CP_ACP);
    }
    return text;
}

std::string NodeText(const xmlNode* node, bool alwaysConvert = false)
{
    std::string text;
    for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            text += reinterpret_cast<const char*>(child->content);
    }
    return alwaysConvert ? Narrow(Widen(text, CP_UTF8), CP_ACP) : Utf8ToAnsi(text);
}

bool Named(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && lstrcmpA(reinterpret_cast<const char*>(node->name), name) == 0;
}

// One parse gives the rows and the autostart command.
Config ReadConfig(const std::string& path)
{
    Config config;
    xmlDoc* doc = xmlReadFile(Narrow(Widen(path, CP_ACP), CP_UTF8).c_str(), "UTF-8",
                              XML_PARSE_NOBLANKS | XML_PARSE_NODICT);
    config.parsed = doc != nullptr;
    const xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    for (const xmlNode* child = root ? root->children : nullptr; child; child = child->next) {
        if (Named(child, "cfg") && !config.hasCfg) {
            config.hasCfg = true;
            config.command = NodeText(child->children, kAllSteps);
        } else if (Named(child, "srv") && child->children && child->children->next) {
            std::string host = NodeText(child->children), address = NodeText(child->children->next);
            if (!host.empty() && !address.empty())
                config.servers.emplace_back(host, address);
        }
    }
    if (kAllSteps) {  // floor2 leaves the document to the process's exit
        xmlFreeDoc(doc);
        xmlCleanupParser();
    }
    return config;
}

// Four pieces between dots, digits only.
bool IsAddress(std::string text)
{
    int pieces = 0;
    for (char* piece = std::strtok(&text[0], "."); piece; piece = std::strtok(nullptr, ".")) {
        if (++pieces > 4 || piece[std::strspn(piece, "0123456789")] != '\0')
            return pieces > 4;
    }
    return pieces == 4;
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The argument vector of a command line.
class Arguments {
public:
    explicit Arguments(const std::wstring& line)
        : m_argv(CommandLineToArgvW(line.c_str(), &m_count)) {}
    ~Arguments() { LocalFree(m_argv); }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    int Count() const { return m_argv ? m_count : 0; }
    const wchar_t* operator[](int i) const { return m_argv[i]; }
    // "/ip", or any other character before "ip".
    bool IsIpSwitch(int i) const { return i < Count() && m_argv[i][0] && lstrcmpW(m_argv[i] + 1, L"ip") == 0; }

private:
    int m_count = 0;
    LPWSTR* m_argv;
};

// The stored command when it starts this executable with "/ip", else the default one.
std::string CommandToShow(const Config& config, const std::wstring& exe)
{
    if (!config.hasCfg)
        return std::string();
    if (!config.command.empty()) {
        Arguments argv(Widen(config.command, CP_ACP));
        if (argv.IsIpSwitch(1) && lstrcmpiW(argv[0], exe.c_str()) == 0)
            return config.command;
    }
    return "\"" + Narrow(exe, CP_ACP) + "\" /ip " + kFirstDefaultAddress;
}

// File name without folder and extension of the program the command starts.
std::string ProgramName(const std::string& command, const std::wstring& exe)
{
    Arguments argv(Widen(command, CP_ACP));
    std::wstring name = PathFindFileNameW(argv.Count() > 0 && !command.empty() ? argv[0] : exe.c_str());
    PathRemoveExtensionW(&name[0]);
    return Narrow(name.c_str(), CP_ACP);
}

bool IsRunValuePresent(const std::string& name)
{
    HKEY key = nullptr;
    if (name.empty() || RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS)
        return false;
    bool present = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

// A link that the shell can load; COM only when there is a file to load.
bool IsShortcutPresent(const std::wstring& exe)
{
    wchar_t path[MAX_PATH + 32] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOP, FALSE))
        return false;
    lstrcatW(path, kShortcutName);
    if (!kAllSteps && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    bool loaded = false;
    HRESULT com = CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(exe.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            loaded = SUCCEEDED(file->Load(path, STGM_READWRITE));
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return loaded;
}

// floor3's controls and where they go once all are made.
std::vector<std::pair<HWND, RECT>> g_controls;
HFONT g_font = nullptr;
HBRUSH g_background = nullptr;

// floor2 creates a control in its place; floor3 at an empty rectangle, shows it and moves it
// there later (PlaceControls).
HWND AddControl(HWND parent, HFONT font, DWORD exStyle, const char* className, const char* text,
                DWORD style, RECT place, int id)
{
    const RECT at = kAllSteps ? RECT{} : place;
    HWND control = CreateWindowExA(kAllSteps ? 0 : exStyle, className, text,
                                   kAllSteps ? style : style | WS_VISIBLE, at.left, at.top,
                                   at.right - at.left, at.bottom - at.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    if (kAllSteps) {
        if (exStyle)
            SetWindowLongA(control, GWL_EXSTYLE, GetWindowLongA(control, GWL_EXSTYLE) | exStyle);
        ShowWindow(control, SW_SHOW);
        g_controls.emplace_back(control, place);
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void PlaceControls()
{
    for (const auto& [control, place] : g_controls)
        MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   TRUE);
}

void DestroyControls()
{
    for (const auto& control : g_controls) {
        if (IsWindow(control.first))
            DestroyWindow(control.first);
    }
}

void AddColumn(HWND list, int column, const char* heading, int width)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = width;
    col.pszText = const_cast<char*>(heading);
    col.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
}

void AddRows(HWND list, const Config& config)
{
    int row = 0;
    for (const auto& server : config.servers) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(server.first.c_str());
        const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(server.second.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        ++row;
    }
}

// The controls in Zorvane's order, each created where Zorvane's layout puts it; the rows come
// from `rows`, the command from `config`.
void AddControls(HWND window, const Config& config, const Config& rows, const std::wstring& exe)
{
    HFONT font = g_font;
    HWND list = AddControl(window, font, 0x21, WC_LISTVIEWA, "", 0x50810009, {0, 0, 420, 300}, 100);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x21);
    AddColumn(list, 0, "时间服务器域名", 230);
    AddColumn(list, 1, "IP地址", 180);
    AddRows(list, rows);
    const std::string exeDir = DirectoryOfExecutable(Narrow(exe, CP_ACP));
    const std::string help = BuildHelpText(kFirstDefaultAddress, HelpPageAddress(exeDir));
    AddControl(window, font, 0, "EDIT", help.c_str(), 0x50201884, {421, 0, 821, 300}, 200);
    AddControl(window, font, 0, "BUTTON", "校时", 0x50000000, {190, 340, 250, 370}, 300);
    AddControl(window, font, 0, "STATIC", "勾选复选框，即将相应命令行指令写入注册表，实现开机自启:",
               WS_CHILD, {260, 330, 860, 350}, 0);
    HWND shortcut = AddControl(window, font, 0, "BUTTON", "创建桌面快捷方式", 0x50000003,
                               {260, 374, 560, 394}, 501);
    if (IsShortcutPresent(exe))
        SendMessageA(shortcut, BM_SETCHECK, BST_CHECKED, 0);
    const std::string command = CommandToShow(config, exe);
    AddControl(window, font, 0, "EDIT", command.c_str(), 0x50000080, {260, 352, 610, 372}, 400);
    HWND autostart = AddControl(window, font, 0, "BUTTON", "开机自启", 0x50000003,
                                {620, 352, 780, 372}, 500);
    if (IsRunValuePresent(ProgramName(command, exe)))
        SendMessageA(autostart, BM_SETCHECK, BST_CHECKED, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case floorsync::kSocketMessage:
        floorsync::OnSocketEvent(lParam);
        return 0;
    case WM_TIMER:
        PostQuitMessage(1);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_ERASEBKGND:
        if (kAllSteps)
            return 1;
        break;
    case WM_PAINT:
        if (kAllSteps) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, g_background);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// floor3: a class of its own under a GUID name, with COM brought up around CoCreateGuid; the
// window made at 0 × 0, its title set once more.
HWND CreateMainWindowAllSteps(HINSTANCE instance)
{
    char name[64] = {};
    CoInitialize(nullptr);
    GUID guid;
    if (SUCCEEDED(CoCreateGuid(&guid)))
        wsprintfA(name, "{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    CoUninitialize();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    if (!RegisterClassExA(&windowClass))
        return nullptr;
    HWND window = CreateWindowExA(0, name, kFirstTitle, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                  GetDesktopWindow(), nullptr, instance, nullptr);
    if (window)
        SetWindowTextA(window, kFirstTitle);
    return window;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    if (kAllSteps)
        return CreateMainWindowAllSteps(instance);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = g_background;
    windowClass.lpszClassName = "Floor2Window";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "Floor2Window", kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 750, 450,
                           nullptr, nullptr, instance, nullptr);
}

void ShowMainWindow(HWND window, HINSTANCE instance)
{
    if (kAllSteps)
        SetWindowTextA(window, kMainWindowTitle);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ShowWindow(window, SW_SHOW);
    TracePhase("gui-shown");
    UpdateWindow(window);
    TracePhase("gui-updated");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    TracePhase("winmain");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    const std::wstring exe = ModulePath();
    const std::string configPath = DirectoryOfExecutable(Narrow(exe, CP_ACP)) + "srv.xml";
    Arguments arguments(GetCommandLineW());
    g_background = CreateSolidBrush(RGB(236, 233, 216));
    g_font = CreateFontA(-15, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, GB2312_CHARSET,
                         OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                         VARIABLE_PITCH | FF_DONTCARE, "宋体");
    // Zorvane writes a default file when there is none; the bench always gives one.
    if (kAllSteps)
        PathFileExistsA(configPath.c_str());
    const Config config = ReadConfig(configPath);
    if (!config.parsed)
        MessageBoxA(nullptr, kNotParsed, "Floor2", MB_OK);
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 1;
    const Config second = kAllSteps ? ReadConfig(configPath) : Config();  // read again for the rows
    if (kAllSteps && !second.parsed)
        MessageBoxA(nullptr, kNotParsed, "Floor2", MB_OK);
    AddControls(window, config, kAllSteps ? second : config, exe);
    if (kAllSteps) {
        PlaceControls();
        SetWindowPos(window, HWND_TOP, 0, 0, 750, 450, SWP_FRAMECHANGED);
    }
    TracePhase("created");
    if (arguments.Count() == 3 && arguments.IsIpSwitch(1)) {
        if (kAllSteps && !IsAddress(Narrow(arguments[2], CP_ACP))) {
            MessageBoxA(nullptr, "usage: Floor2.exe /ip <address>", "Floor2", MB_OK);
            return 0;
        }
        if (!floorsync::StartSync(window, Narrow(arguments[2], CP_ACP)))
            return 1;
        SetTimer(window, kTimeoutTimer, kTimeoutMs, nullptr);
        TracePhase("connecting");
    } else if (arguments.Count() > 1) {
        MessageBoxA(nullptr, "usage: Floor2.exe /ip <address>", "Floor2", MB_OK);
        return 0;
    } else {
        ShowMainWindow(window, instance);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (kAllSteps) {  // what Zorvane releases itself; floor2 leaves it to the process's exit
        DestroyControls();
        if (IsWindow(window))
            DestroyWindow(window);
        DeleteObject(g_font);
        DeleteObject(g_background);
        if (floorsync::g_socket != INVALID_SOCKET) {
            closesocket(floorsync::g_socket);
            WSACleanup();
        }
    }
    TracePhase("exit");
    return static_cast<int>(message.wParam);
}
