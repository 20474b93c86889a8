#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace CommandLine;

struct Case {
    const char* args;
    unsigned flags;
    const char* unknown;  // null: every argument is a switch
};

const Case kCases[] = {
    // empty
    {nullptr, 0, nullptr},
    {"", 0, nullptr},
    {" \t ", 0, nullptr},
    // valid
    {"/off", kOff, nullptr},
    {"/lock", kLock, nullptr},
    {"/exit", kExit, nullptr},
    {"/?", kHelp, nullptr},
    {"/help", kHelp, nullptr},
    // combined, repeated, quoted as a shortcut's target may quote them
    {"/off /lock", kOff | kLock, nullptr},
    {"  /lock\t/off  ", kOff | kLock, nullptr},
    {"/off /off", kOff, nullptr},
    {"\"/off\" \"/lock\"", kOff | kLock, nullptr},
    // case
    {"/OFF", kOff, nullptr},
    {"/Lock /eXiT", kLock | kExit, nullptr},
    {"/HELP", kHelp, nullptr},
    // dash
    {"-off", kOff, nullptr},
    {"-off /LOCK", kOff | kLock, nullptr},
    {"-?", kHelp, nullptr},
    // unknown: the first one, as given
    {"/bogus", 0, "/bogus"},
    {"/off /bogus /lock", kOff, "/bogus"},
    {"off", 0, "off"},
    {"/", 0, "/"},
    {"-", 0, "-"},
    {"/of", 0, "/of"},
    {"/offf", 0, "/offf"},
    {"/off/lock", 0, "/off/lock"},
    {"//off", 0, "//off"},
    {"/ off", 0, "/"},
    {"/\xC6\xC1", 0, "/\xC6\xC1"},
};

TEST(CommandLine, ParseTable)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args ? c.args : "(null)");
        const Parsed parsed = Parse(c.args);
        EXPECT_EQ(parsed.flags, c.flags);
        if (c.unknown) {
            ASSERT_NE(parsed.unknown, nullptr);
            EXPECT_EQ(std::string(parsed.unknown, parsed.unknownLength), c.unknown);
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
