#pragma once
// The switches Velodusk takes from scripts and shortcuts.
#include <cstddef>

#include "Resource.h"

namespace CommandLine {

enum Flag : unsigned { kOff = 1, kLock = 2, kExit = 4, kHelp = 8 };

struct Switch {
    const wchar_t* name;  // without its '/' or '-'
    unsigned flag;
    unsigned descriptionId;  // the string resource that says what it does
};
extern const Switch kSwitches[];
extern const int kSwitchCount;

struct Parsed {
    unsigned flags;
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
