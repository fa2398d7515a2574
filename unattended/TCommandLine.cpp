#include "TCommandLine.h"
#include "../catalogue/Gbk.h"

const char TCommandLine::Usage[] =
    "用法：UninstallZolt.exe [/quiet] [/all | /items:项目[;项目...]] [/allusers] [/list] [/log:文件]\r\n"
    "\r\n"
    "/? 或 /help\t显示本说明。\r\n"
    "/quiet\t\t不显示任何窗口或提示，须与 /all、/items 或 /list 同用。\r\n"
    "/all\t\t选择可卸载的全部项目。\r\n"
    "/items:项目\t选择这些项目，文字与树中所示相同，以分号分隔；\r\n"
    "\t\t“程序”或“定额库”选择其下全部项目。\r\n"
    "/allusers\t对本机每个用户都删除其桌面和开始菜单中的快捷方式、\r\n"
    "\t\t文档中的历史记录和注册表中的设置，须与 /quiet 同用；\r\n"
    "\t\t以 LocalSystem 运行时总是如此。\r\n"
    "/list\t\t列出可卸载的项目，不删除任何内容。\r\n"
    "/log:文件\t把卸载经过追加写入该文件（UTF-8）。\r\n"
    "\r\n"
    "不带 /quiet 时，/all 或 /items 打开窗口并直接请您确认。\r\n"
    "\r\n"
    "退出代码：0 完成；3010 完成，部分文件重新启动后删除；\r\n"
    "1603 有项目无法删除；1605 指定的项目未安装；\r\n"
    "1618 另一个卸载正在进行，什么也没有删除；\r\n"
    "1622 无法打开日志文件；1639 命令行无效。";

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLead(const std::string& text, size_t i)
{
    return IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}

std::string Lower(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The texts of a ";"-separated list; ";" is never a GBK trail byte.
std::vector<std::string> SplitItems(const std::string& value)
{
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        size_t end = value.find(';', start);
        items.push_back(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return items;
        start = end + 1;
    }
}
} // namespace

std::vector<std::string> TCommandLine::SplitArguments(const std::string& commandLine)
{
    const std::string line = commandLine.substr(0, commandLine.find('\0'));
    size_t i = 0;
    // The program name, as the C runtime reads it: a quote anywhere in it
    // opens or closes a quoted stretch, and a blank outside one ends it.
    bool quotedName = false;
    while (i < line.size() && (quotedName || !IsBlank(line[i]))) {
        if (line[i] == '"') {
            quotedName = !quotedName;
            ++i;
        } else {
            i += IsLead(line, i) ? 2 : 1;
        }
    }

    std::vector<std::string> arguments;
    for (;;) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            if (IsLead(line, i)) {
                argument += line.substr(i, 2);
                i += 2;
            } else if (line[i] == '\\') {
                size_t backslashes = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                // Backslashes count only before a quote: 2n give n and the
                // quote acts; 2n+1 give n and a literal quote.
                if (i < line.size() && line[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (line[i] == '"') {
                // Inside quotes, a doubled quote is one literal quote.
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
}

TCommandLine TCommandLine::Parse(const std::string& commandLine)
{
    // The system's command line ends at its first zero, as a C string does.
    const std::string line = commandLine.substr(0, commandLine.find('\0'));
    TCommandLine options;
    bool haveItems = false, haveLog = false;
    size_t switches = 0;
    auto fail = [&](const std::string& error) {
        if (options.Error.empty())
            options.Error = error;
    };
    for (const std::string& argument : SplitArguments(line)) {
        options.Arguments = true;
        ++switches;
        if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
            fail("无法识别的参数：" + argument);
            continue;
        }
        size_t colon = argument.find(':');
        std::string name = Lower(argument.substr(1, colon == std::string::npos ? std::string::npos : colon - 1));
        bool hasValue = colon != std::string::npos;
        std::string value = hasValue ? argument.substr(colon + 1) : std::string();

        if (name == "?" || name == "help" || name == "quiet" || name == "all" || name == "allusers" ||
            name == "list") {
            if (hasValue)
                fail("开关 /" + name + " 不带值：" + argument);
            else if (name == "quiet")
                options.Quiet = true;
            else if (name == "all")
                options.All = true;
            else if (name == "allusers")
                options.AllUsers = true;
            else if (name == "list")
                options.List = true;
            else
                options.Help = true;
        } else if (name == "items") {
            if (haveItems)
                fail("/items 只能给一次。");
            haveItems = true;
            if (value.empty()) {
                fail("/items 需要项目名，例如 /items:ZOLT网络计划");
                continue;
            }
            for (const std::string& item : SplitItems(value)) {
                if (item.empty())
                    fail("/items 中有空的项目名：" + argument);
                else
                    options.Items.push_back(item);
            }
        } else if (name == "log") {
            if (haveLog)
                fail("/log 只能给一次。");
            haveLog = true;
            if (value.empty())
                fail("/log 需要文件名，例如 /log:C:\\uninstall.log");
            options.LogFile = value;
        } else {
            fail("未知的开关：" + argument);
        }
    }
    // Help with anything else could not be told from a run that did nothing.
    if (options.Help && switches > 1)
        fail("/? 不能与其他开关同用。");
    if (options.All && haveItems)
        fail("/all 与 /items 不能同用。");
    if (options.Quiet && !options.ChoosesItems() && !options.List && !options.Help)
        fail("/quiet 须与 /all、/items 或 /list 同用。");
    // The window removes the current user's parts only; say so rather than ignore it.
    if (options.AllUsers && !options.Quiet && !options.Help)
        fail("/allusers 须与 /quiet 同用。");
    if (!options.IsValid()) {
        options.Items.clear();
        options.All = false;
        options.Help = false;
    }
    return options;
}
