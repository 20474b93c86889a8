#include "CommandLine.h"

namespace CommandLine {

const Switch kSwitches[] = {
    {L"off", kOff, IDS_SWITCH_OFF},
    {L"lock", kLock, IDS_SWITCH_LOCK},
    {L"exit", kExit, IDS_SWITCH_EXIT},
    {L"?", kHelp, IDS_SWITCH_HELP},
    {L"help", kHelp, IDS_SWITCH_HELP_SAME},
};
const int kSwitchCount = sizeof(kSwitches) / sizeof(kSwitches[0]);

namespace {
wchar_t Lower(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

// The flag of one argument; 0 when it is no switch.
unsigned FlagOf(const wchar_t* arg)
{
    if (arg[0] != L'/' && arg[0] != L'-') return 0;
    for (const Switch& sw : kSwitches) {
        std::size_t i = 0;
        while (sw.name[i] && Lower(arg[i + 1]) == sw.name[i]) ++i;
        if (!sw.name[i] && !arg[i + 1]) return sw.flag;
    }
    return 0;
}
}  // namespace

Parsed Parse(int argc, const wchar_t* const* args)
{
    Parsed parsed = {0, nullptr};
    for (int i = 0; i < argc; ++i) {
        if (!args[i][0]) continue;
        const unsigned flag = FlagOf(args[i]);
        if (!flag) {
            parsed.unknown = args[i];
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
