#include "CommandLine.h"

#include <cstring>

namespace CommandLine {

const Switch kSwitches[] = {
    {"off", kOff, IDS_SWITCH_OFF},
    {"lock", kLock, IDS_SWITCH_LOCK},
    {"exit", kExit, IDS_SWITCH_EXIT},
    {"?", kHelp, IDS_SWITCH_HELP},
    {"help", kHelp, IDS_SWITCH_HELP_SAME},
};
const int kSwitchCount = sizeof(kSwitches) / sizeof(kSwitches[0]);

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

}  // namespace CommandLine
