#pragma once
// The switches Velodusk takes from scripts and shortcuts.
#include <cstddef>

#include "Resource.h"

namespace CommandLine {

enum Flag : unsigned { kOff = 1, kLock = 2, kExit = 4, kHelp = 8 };

struct Switch {
    const char* name;  // without its '/' or '-'
    unsigned flag;
    unsigned descriptionId;  // the string resource that says what it does
};
extern const Switch kSwitches[];
extern const int kSwitchCount;

struct Parsed {
    unsigned flags;
    // The first argument that is no switch, as given; null when there is none.
    const char* unknown;
    std::size_t unknownLength;
};

// The arguments after the program's name: switches start with '/' or '-', match
// whatever their case, and stand apart by blanks; quotes are dropped. A null or
// empty line is a plain start: no flags.
Parsed Parse(const char* args);

// The lock mode the flags ask for, as the settings number them: both 0, monitor
// off 1, input blocked 2; -1 when they ask for neither.
int LockMode(unsigned flags);

// An argument that is no switch: its box, then this exit code, and nothing done.
constexpr int kExitUnknownSwitch = 2;

}  // namespace CommandLine
