#include "CommandLine.h"

#include "SettingsValues.h"

namespace CommandLine {

const Switch kSwitches[] = {
    {L"off", kOff, IDS_SWITCH_OFF, false},
    {L"lock", kLock, IDS_SWITCH_LOCK, false},
    {L"lock", kLock, IDS_SWITCH_LOCK_MINUTES, true},
    {L"exit", kExit, IDS_SWITCH_EXIT, false},
    {L"?", kHelp, IDS_SWITCH_HELP, false},
    {L"help", kHelp, IDS_SWITCH_HELP_SAME, false},
};
const int kSwitchCount = sizeof(kSwitches) / sizeof(kSwitches[0]);

namespace {
wchar_t Lower(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

// Digits alone, at most the longest block: no sign, no blank, no other digits.
bool ReadMinutes(const wchar_t* text, int& minutes)
{
    if (!*text) return false;
    int n = 0;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9') return false;
        n = n * 10 + (*text - L'0');
        if (n > SettingsValues::kLockMinutesMax) return false;
    }
    minutes = n;
    return true;
}

// The flag of one argument, with the minutes it gives (kNoMinutes when none); 0 when
// it is no switch.
unsigned FlagOf(const wchar_t* arg, int& minutes)
{
    minutes = kNoMinutes;
    if (arg[0] != L'/' && arg[0] != L'-') return 0;
    for (const Switch& sw : kSwitches) {
        std::size_t i = 0;
        while (sw.name[i] && Lower(arg[i + 1]) == sw.name[i]) ++i;
        if (sw.name[i]) continue;
        const wchar_t* rest = arg + i + 1;
        if (!sw.minutes ? !*rest : *rest == L':' && ReadMinutes(rest + 1, minutes)) return sw.flag;
    }
    return 0;
}
}  // namespace

Parsed Parse(int argc, const wchar_t* const* args)
{
    Parsed parsed = {0, kNoMinutes, nullptr};
    for (int i = 0; i < argc; ++i) {
        if (!args[i][0]) continue;
        int minutes = kNoMinutes;
        const unsigned flag = FlagOf(args[i], minutes);
        if (!flag) {
            parsed.unknown = args[i];
            return parsed;
        }
        parsed.flags |= flag;
        if (minutes != kNoMinutes) parsed.minutes = minutes;
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
