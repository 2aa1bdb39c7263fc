#include "app/MessageBoxTexts.h"

#include "config/AutorunValue.h"
#include "config/ShortcutPath.h"

#include <cstdio>

namespace {

// The texts a Chinese system gives for the errors these steps meet most.
const char* KnownReason(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "系统找不到指定的文件。";
    case ERROR_PATH_NOT_FOUND:
        return "系统找不到指定的路径。";
    case ERROR_ACCESS_DENIED:
        return "拒绝访问。";
    case ERROR_SHARING_VIOLATION:
        return "另一个程序正在使用此文件，进程无法访问。";
    }
    return nullptr;
}

std::string FormattedSystemText(DWORD error)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                            FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    reason.erase(reason.find_last_not_of(" \r\n") + 1);
    return reason.empty() ? "未知错误。" : reason;
}

std::string HexCode(DWORD code)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(code));
    return text;
}

// Win32 errors in decimal, as the system's own dialogs give them; HRESULTs in hexadecimal.
std::string ErrorCodeText(DWORD error)
{
    return error > 0xFFFF ? HexCode(error) : std::to_string(error);
}

std::string CommandHint(const std::string& example)
{
    return "\r\n\r\n命令框中应填写带双引号的本程序完整路径，后接 /ip 和一个 IP 地址，例如：\r\n" +
           example;
}

// The box stays as it is after clicking it twice, and each click stores the command again.
std::string ClickTwice(bool ticked)
{
    return ticked ? "先取消勾选“开机自启”，再重新勾选它。" : "先勾选“开机自启”，再取消勾选它。";
}

// A restart shows the command srv.xml holds, or the default one, in the command box: the advice
// names the user's command, so that done literally it is the one written.
std::string YourCommand(const std::string& command)
{
    return command.empty() ? "再清空命令框。\r\n" : "再在命令框中填入你的命令行：\r\n" + command + "\r\n";
}

// After a restart the box shows whether a value of the shown command's name exists: whichever
// it shows, the clicks end with the click the user made.
std::string AsAdministrator(const std::string& command, bool enable)
{
    return "\r\n更改 HKEY_LOCAL_MACHINE 需要管理员权限：请以管理员身份重新启动本程序，" + YourCommand(command) +
           (enable ? "然后让“开机自启”显示为未勾选（已勾选时点一次），再勾选它。"
                   : "然后让“开机自启”显示为已勾选（未勾选时点一次），再取消勾选它。");
}

std::string RegistryFailureText(const std::string& command, const std::string& valueName, bool enable, DWORD error)
{
    std::string text = enable ? "没有设置开机自启：无法把命令行写入注册表值“"
                              : "没有取消开机自启：无法删除注册表值“";
    text += valueName + "”（HKEY_LOCAL_MACHINE\\" + kRunKeyPath + "）。\r\n\r\n原因：" + SystemReasonText(error);
    return error == ERROR_ACCESS_DENIED ? text + AsAdministrator(command, enable) : text;
}

// Why, and what the user changes first.
std::string NotKeptReason(const std::string& command, const CommandNotKept& notKept)
{
    switch (notKept.reason) {
    case CommandNotKept::NotParsed:
        return "srv.xml 不是本程序能读取的 UTF-8 编码的 XML 文件（文件已损坏、是空的，或被编辑器另存为 GBK 等编码）；"
               "本程序不会改写这样的文件。\r\n请修好 srv.xml 并以 UTF-8 编码保存，或删除它后重新启动本程序"
               "（本程序会写入默认的 srv.xml，命令框随之显示默认的命令行）。\r\n" + YourCommand(command);
    case CommandNotKept::NotStorable:
        return "命令行中有 srv.xml 无法保存的字符（控制字符或不完整的汉字，常见于粘贴来的文字）。"
               "\r\n请在命令框中删去这些字符，或重新输入命令行，";
    case CommandNotKept::SaveRefused:
        break;
    }
    return SystemReasonText(notKept.saveError) +
           "\r\n请让本程序的文件夹可以写入，并去掉其中 srv.xml 的只读属性，";
}

}  // namespace

bool IsFailureToReport(bool succeeded, bool wanted, bool presentAfter)
{
    return !succeeded && (wanted || presentAfter);
}

std::string AutostartFailureText(const std::string& command, const std::string& valueName,
                                 bool enable, DWORD error, const std::string& example)
{
    if (enable && command.empty())
        return "没有设置开机自启：命令框是空的。" + CommandHint(example);
    if (valueName.empty())
        return "没有更改开机自启：无法从命令框中的命令行得出程序名。" + CommandHint(example);
    return RegistryFailureText(command, valueName, enable, error);
}

std::string CommandNotKeptText(const std::string& command, const std::string& valueName, bool enable,
                               const CommandNotKept& notKept)
{
    std::string text = enable ? "已设置开机自启（已写入注册表值“" : "已取消开机自启（已删除注册表值“";
    return text + valueName + "”），但 srv.xml 没能保存命令框中的命令行，下次启动时命令框不会显示它。"
           "\r\n\r\n原因：" + NotKeptReason(command, notKept) + "然后" + ClickTwice(enable);
}

std::string UnusableCommandText(const std::optional<std::string>& address, const std::string& example)
{
    const std::string fault = address ? "“" + *address + "”不是本程序接受的 IP 地址"
                                      : "本程序只接受 /ip 和一个 IP 地址这两个参数";
    return "没有设置开机自启：" + fault + "，开机时本程序只会显示用法，不会校时。" + CommandHint(example);
}

// No system text belongs to SHFileOperationA's own values.
std::string ShortcutFailureText(bool create, const ShortcutError& error)
{
    std::string text = create ? "没有创建桌面快捷方式：无法在桌面文件夹中保存“"
                              : "没有删除桌面快捷方式：无法删除桌面上的“";
    text += kShortcutFileName + std::string("”。\r\n\r\n原因：");
    if (error.source == ShortcutError::FileOperation)
        return text + "外壳删除文件失败（SHFileOperationA 自己的结果代码 " + HexCode(error.code) + "）";
    return text + SystemReasonText(error.code);
}

std::string SystemReasonText(DWORD error)
{
    const char* known = KnownReason(error);
    const std::string reason = known ? known : FormattedSystemText(error);
    return reason + "（错误代码 " + ErrorCodeText(error) + "）";
}
