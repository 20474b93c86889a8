#include "CommandLine.h"

#include <cstring>

namespace CommandLine {

const Switch kSwitches[] = {
    {"off", kOff, "关闭显示器"},
    {"lock", kLock, "锁定键盘和鼠标（Ctrl+Alt+Del 解除）"},
    {"exit", kExit, "退出正在运行的 Velodusk"},
    {"?", kHelp, "显示本说明"},
    {"help", kHelp, "同 /?"},
};
const int kSwitchCount = sizeof(kSwitches) / sizeof(kSwitches[0]);

const char kBoxCaption[] = "提示";
const char kHelpHeading[] = "命令行开关：\n";
const char kHelpFooter[] = "\n\n关闭与锁定可同时给出；不分大小写，- 与 / 相同。";
const char kUnknownPrefix[] = "未知的开关：";

namespace {
bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

char Lower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// The flag of one argument without quotes; 0 when it is no switch.
unsigned FlagOf(const char* arg, std::size_t length)
{
    if (length < 2 || (arg[0] != '/' && arg[0] != '-')) return 0;
    for (const Switch& sw : kSwitches) {
        std::size_t i = 0;
        while (sw.name[i] && i + 1 < length && Lower(arg[i + 1]) == sw.name[i]) ++i;
        if (!sw.name[i] && i + 1 == length) return sw.flag;
    }
    return 0;
}
}  // namespace

Parsed Parse(const char* args)
{
    Parsed parsed = {0, nullptr, 0};
    for (const char* p = args; p && *p;) {
        if (IsBlank(*p) || *p == '"') {
            ++p;
            continue;
        }
        const char* start = p;
        while (*p && !IsBlank(*p) && *p != '"') ++p;
        const std::size_t length = static_cast<std::size_t>(p - start);
        const unsigned flag = FlagOf(start, length);
        if (!flag) {
            parsed.unknown = start;
            parsed.unknownLength = length;
            return parsed;
        }
        parsed.flags |= flag;
    }
    return parsed;
}

int LockMode(unsigned flags)
{
    switch (flags & (kOff | kLock)) {
    case kOff | kLock:
        return 0;
    case kOff:
        return 1;
    case kLock:
        return 2;
    default:
        return -1;
    }
}

std::string BoxText(const Parsed& parsed)
{
    std::string text;
    if (parsed.unknown) {
        text = kUnknownPrefix;
        text.append(parsed.unknown, parsed.unknownLength);
        text += "\n\n";
    }
    text += kHelpHeading;
    for (const Switch& sw : kSwitches) {
        text += "\n/";
        text += sw.name;
        text += '\t';
        text += sw.description;
    }
    return text += kHelpFooter;
}

}  // namespace CommandLine
