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

}  // namespace IdleCheck
