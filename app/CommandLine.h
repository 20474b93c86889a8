#pragma once
// The switches Velodusk takes from scripts and shortcuts.
#include <cstddef>

#include "Resource.h"

namespace CommandLine {

enum Flag : unsigned { kOff = 1, kLock = 2, kExit = 4, kHelp = 8 };

struct Switch {
    const wchar_t* name;  // without its '/' or '-'
    unsigned flag;
    // The string resource that says what it does; with minutes, a wsprintf format
    // taking the most minutes.
    unsigned descriptionId;
    // Followed by ':' and a block's minutes, decimal digits alone, 0 to
    // SettingsValues::kLockMinutesMax; shown as ":N".
    bool minutes;
};
extern const Switch kSwitches[];
extern const int kSwitchCount;

// The minutes of an argument that gives none.
constexpr int kNoMinutes = -1;

struct Parsed {
    unsigned flags;
    // The block's minutes the last /lock:N gave, which override the settings file's;
    // kNoMinutes when none did.
    int minutes;
    // The first argument that is no switch, whole, as typed (one of args); null when
    // there is none.
    const wchar_t* unknown;
};

// The arguments after the program's name, split as the system splits a command line
// (quotes gone, a quoted argument whole): switches start with '/' or '-' and match
// whatever their case; empty arguments count for nothing. None is a plain start.
Parsed Parse(int argc, const wchar_t* const* args);

// The lock mode the flags ask for, as the settings number them: both 0, monitor
// off 1, input blocked 2; -1 when they ask for neither.
int LockMode(unsigned flags);

// An argument that is no switch: its box, then this exit code, and nothing done.
constexpr int kExitUnknownSwitch = 2;
// A copy runs but did not take what this start hands over.
constexpr int kExitNotHandedOver = 3;

}  // namespace CommandLine
