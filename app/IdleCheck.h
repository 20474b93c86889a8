#pragma once
#include <cstdint>

#include "SettingsValues.h"

namespace IdleCheck {

constexpr uint32_t kMillisecondsPerSecond = 1000;
constexpr uint32_t kMillisecondsPerMinute = 60000;
// The settings' own bounds: outside them no idle action.
constexpr int32_t kMinutesMin = SettingsValues::kMinutesMin;
constexpr int32_t kMinutesMax = SettingsValues::kMinutesMax;

// Both the idle time and the threshold are unsigned 32-bit quantities: the tick
// counter wraps after 49.7 days and the difference stays right across the wrap; the
// threshold is minutes x 60000 modulo 2^32, as the file's value gives it.
uint32_t IdleMilliseconds(uint32_t lastInputTick, uint32_t nowTick);
uint32_t ThresholdMilliseconds(int32_t minutes);
bool InRange(int32_t minutes);
bool ShouldAct(uint32_t lastInputTick, uint32_t nowTick, int32_t minutes);
// The whole seconds left, rounded up, while the action is at most warnSeconds away
// and not yet due; 0 otherwise (no warning then: also for minutes out of range).
uint32_t WarnSecondsLeft(uint32_t lastInputTick, uint32_t nowTick, int32_t minutes, int32_t warnSeconds);

}  // namespace IdleCheck
