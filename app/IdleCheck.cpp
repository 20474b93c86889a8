#include "IdleCheck.h"

namespace IdleCheck {

uint32_t IdleMilliseconds(uint32_t lastInputTick, uint32_t nowTick)
{
    return nowTick - lastInputTick;
}

uint32_t ThresholdMilliseconds(int32_t minutes)
{
    return static_cast<uint32_t>(minutes) * kMillisecondsPerMinute;
}

bool InRange(int32_t minutes)
{
    return minutes >= kMinutesMin && minutes <= kMinutesMax;
}

bool ShouldAct(uint32_t lastInputTick, uint32_t nowTick, int32_t minutes)
{
    return InRange(minutes) && IdleMilliseconds(lastInputTick, nowTick) >= ThresholdMilliseconds(minutes);
}

uint32_t WarnSecondsLeft(uint32_t lastInputTick, uint32_t nowTick, int32_t minutes, int32_t warnSeconds)
{
    if (!InRange(minutes) || warnSeconds <= 0) return 0;
    const uint32_t idle = IdleMilliseconds(lastInputTick, nowTick);
    const uint32_t threshold = ThresholdMilliseconds(minutes);
    if (idle >= threshold) return 0;
    const uint32_t left = threshold - idle;
    const uint32_t warn = static_cast<uint32_t>(warnSeconds) * kMillisecondsPerSecond;
    return left <= warn ? (left + kMillisecondsPerSecond - 1) / kMillisecondsPerSecond : 0;
}

}  // namespace IdleCheck
