#include "IdleCheck.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace IdleCheck;

TEST(IdleCheck, ActsFromTheThresholdOn)
{
    EXPECT_FALSE(ShouldAct(1000, 1000 + 59999, 1));
    EXPECT_TRUE(ShouldAct(1000, 1000 + 60000, 1));
    EXPECT_TRUE(ShouldAct(1000, 1000 + 60001, 1));
    EXPECT_FALSE(ShouldAct(0, 10 * 60000 - 1, 10));
    EXPECT_TRUE(ShouldAct(0, 10 * 60000, 10));
}

TEST(IdleCheck, TickCounterWrap)
{
    // Last input 1 s before the wrap, now 59 s after it: 60 s idle.
    const uint32_t last = 0xFFFFFFFFu - 999;
    EXPECT_EQ(IdleMilliseconds(last, 59000), 60000u);
    EXPECT_TRUE(ShouldAct(last, 59000, 1));
    EXPECT_FALSE(ShouldAct(last, 58999, 1));
}

TEST(IdleCheck, ThresholdIsTheProductModulo2To32)
{
    EXPECT_EQ(ThresholdMilliseconds(0), 0u);
    EXPECT_EQ(ThresholdMilliseconds(-1), 0xFFFFFFFFu - 59999);
    EXPECT_EQ(ThresholdMilliseconds(10000), 600000000u);
    // 71583 minutes is the first that overflows 32 bits: 4294980000 mod 2^32 = 12704.
    EXPECT_EQ(ThresholdMilliseconds(71583), 12704u);
    EXPECT_EQ(ThresholdMilliseconds(INT32_MIN), static_cast<uint32_t>(0x80000000u * 60000u));
}

TEST(IdleCheck, OutOfTheDialogsRangeNeverActs)
{
    // Zero minutes acted on every tick; 71583 acted after 12.7 s.
    EXPECT_FALSE(ShouldAct(5000, 5000, 0));
    EXPECT_FALSE(ShouldAct(0, 0xFFFFFFFFu, 0));
    EXPECT_FALSE(ShouldAct(0, 12704, 71583));
    EXPECT_FALSE(ShouldAct(0, 0xFFFFFFFFu, kMinutesMax + 1));
    EXPECT_FALSE(ShouldAct(0, 0xFFFFFFFFu, -1));
    EXPECT_FALSE(ShouldAct(0, 0xFFFFFFFFu, INT32_MIN));
    EXPECT_TRUE(ShouldAct(0, kMinutesMin * kMillisecondsPerMinute, kMinutesMin));
    EXPECT_TRUE(ShouldAct(0, kMinutesMax * kMillisecondsPerMinute, kMinutesMax));
    EXPECT_FALSE(ShouldAct(0, kMinutesMax * kMillisecondsPerMinute - 1, kMinutesMax));
}

TEST(IdleCheck, WarnsTheLastSecondsBeforeActing)
{
    // {idle ms, minutes, warn seconds, seconds left shown (0: no warning)}
    const struct { uint32_t idle; int32_t minutes, warn; uint32_t left; } cases[] = {
        {49999, 1, 10, 0},   // more than ten seconds away
        {50000, 1, 10, 10},  // exactly ten
        {50001, 1, 10, 10},  // rounded up: never "0 s" while not due
        {59001, 1, 10, 1},
        {59999, 1, 10, 1},
        {60000, 1, 10, 0},   // due: the action, not the warning
        {55000, 1, 0, 0},    // switched off
        {55000, 1, -5, 0},
        {0, 1, 60, 60},      // as long as the period: from the first tick
        {0, 0, 10, 0},       // out of range never acts, so never warns
        {12000, 71583, 10, 0},
    };
    for (const auto& c : cases) {
        // Across the tick counter's wrap too.
        for (uint32_t last : {1000u, 0xFFFFFFFFu - 20000}) {
            EXPECT_EQ(WarnSecondsLeft(last, last + c.idle, c.minutes, c.warn), c.left)
                << c.idle << " ms idle, " << c.minutes << " min, warn " << c.warn << " s";
        }
    }
}

}  // namespace
