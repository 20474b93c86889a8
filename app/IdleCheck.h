#pragma once
#include <cstdint>

namespace IdleCheck {

constexpr uint32_t kMillisecondsPerMinute = 60000;
// The idle minutes the settings dialog accepts. A value outside, possible only by
// editing the file, means no idle action: 0 would act on every tick and lock the
// user out again after each Ctrl+Alt+Del, and from 71583 on the threshold wraps.
constexpr int32_t kMinutesMin = 1;
constexpr int32_t kMinutesMax = 10000;

// Both the idle time and the threshold are unsigned 32-bit quantities: the tick
// counter wraps after 49.7 days and the difference stays right across the wrap; the
// threshold is minutes x 60000 modulo 2^32, as the file's value gives it.
uint32_t IdleMilliseconds(uint32_t lastInputTick, uint32_t nowTick);
uint32_t ThresholdMilliseconds(int32_t minutes);
bool InRange(int32_t minutes);
bool ShouldAct(uint32_t lastInputTick, uint32_t nowTick, int32_t minutes);

}  // namespace IdleCheck
