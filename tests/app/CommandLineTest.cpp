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
};

TEST(CommandLine, ParseTable)
{
    for (const Case& c : kCases) {
        std::vector<const wchar_t*> argv;
        for (const std::wstring& a : c.args) argv.push_back(a.c_str());
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Parsed parsed = Parse(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(parsed.flags, c.flags);
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
