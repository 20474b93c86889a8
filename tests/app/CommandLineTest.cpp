#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace CommandLine;

// The arguments as the system splits the command line (quotes gone, a quoted
// argument whole).
struct Case {
    std::vector<std::wstring> args;
    unsigned flags;
    const wchar_t* unknown;  // null: every argument is a switch
    int minutes = kNoMinutes;
};

const Case kCases[] = {
    // empty
    {{}, 0, nullptr},
    {{L""}, 0, nullptr},
    {{L"", L"/off", L""}, kOff, nullptr},
    // valid
    {{L"/off"}, kOff, nullptr},
    {{L"/lock"}, kLock, nullptr},
    {{L"/exit"}, kExit, nullptr},
    {{L"/?"}, kHelp, nullptr},
    {{L"/help"}, kHelp, nullptr},
    // combined, repeated
    {{L"/off", L"/lock"}, kOff | kLock, nullptr},
    {{L"/off", L"/off"}, kOff, nullptr},
    // case
    {{L"/OFF"}, kOff, nullptr},
    {{L"/Lock", L"/eXiT"}, kLock | kExit, nullptr},
    {{L"/HELP"}, kHelp, nullptr},
    // dash
    {{L"-off"}, kOff, nullptr},
    {{L"-off", L"/LOCK"}, kOff | kLock, nullptr},
    {{L"-?"}, kHelp, nullptr},
    // unknown: the first one, whole, as typed
    {{L"/bogus"}, 0, L"/bogus"},
    {{L"/off", L"/bogus", L"/lock"}, kOff, L"/bogus"},
    {{L"off"}, 0, L"off"},
    {{L"/"}, 0, L"/"},
    {{L"-"}, 0, L"-"},
    {{L"/of"}, 0, L"/of"},
    {{L"/offf"}, 0, L"/offf"},
    {{L"/off/lock"}, 0, L"/off/lock"},
    {{L"//off"}, 0, L"//off"},
    {{L"/off "}, 0, L"/off "},
    {{L"/off /lock"}, 0, L"/off /lock"},
    {{L"D:\\\u97E9\u6587 \uD55C\uAD6D\\a b.txt"}, 0, L"D:\\\u97E9\u6587 \uD55C\uAD6D\\a b.txt"},
    {{L"/\u5173"}, 0, L"/\u5173"},
    // a letter that lower-cases to a switch's in some languages is still no switch
    {{L"/ex\u0130t"}, 0, L"/ex\u0130t"},
    // a block's minutes: 0 (until Ctrl+Alt+Del) to a day; the last one given counts
    {{L"/lock:1"}, kLock, nullptr, 1},
    {{L"/off", L"-LOCK:1440"}, kOff | kLock, nullptr, 1440},
    {{L"/lock:0"}, kLock, nullptr, 0},
    {{L"/lock:007"}, kLock, nullptr, 7},
    {{L"/lock:5", L"/lock", L"/lock:30"}, kLock, nullptr, 30},
    {{L"/lock:1441"}, 0, L"/lock:1441"},
    {{L"/lock:99999999999"}, 0, L"/lock:99999999999"},
    {{L"/off", L"/lock:"}, kOff, L"/lock:"},
    {{L"/lock:abc"}, 0, L"/lock:abc"},
    {{L"/lock:5m"}, 0, L"/lock:5m"},
    {{L"/lock:-5"}, 0, L"/lock:-5"},
    {{L"/lock:+5"}, 0, L"/lock:+5"},
    {{L"/lock: 5"}, 0, L"/lock: 5"},
    {{L"/lock=5"}, 0, L"/lock=5"},
    {{L"/lock5"}, 0, L"/lock5"},
    {{L"/off:5"}, 0, L"/off:5"},
    {{L"/lock:\uFF15"}, 0, L"/lock:\uFF15"},  // a full-width digit
};

TEST(CommandLine, ParseTable)
{
    for (const Case& c : kCases) {
        std::vector<const wchar_t*> argv;
        for (const std::wstring& a : c.args) argv.push_back(a.c_str());
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Parsed parsed = Parse(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(parsed.flags, c.flags);
        EXPECT_EQ(parsed.minutes, c.minutes);
        if (c.unknown) {
            ASSERT_NE(parsed.unknown, nullptr);
            EXPECT_EQ(std::wstring(parsed.unknown), c.unknown);
        } else {
            EXPECT_EQ(parsed.unknown, nullptr);
        }
    }
}

TEST(CommandLine, LockModeAsTheSettingsNumberIt)
{
    EXPECT_EQ(LockMode(kOff | kLock), 0);
    EXPECT_EQ(LockMode(kOff), 1);
    EXPECT_EQ(LockMode(kLock), 2);
    EXPECT_EQ(LockMode(0), -1);
    EXPECT_EQ(LockMode(kExit | kHelp), -1);
}

}  // namespace
