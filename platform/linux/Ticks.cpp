// The tick rate of the layer and the conversion of tick counts into POSIX times.
#include "Ticks.h"

#include <cstdint>

#include "PlatformHooks.h"

namespace Platform
{
namespace
{
constexpr std::int64_t NanosecondsPerSecond = 1000000000;
} // namespace

timespec GetTickDuration(int ticks)
{
    const std::int64_t count = (ticks > 0) ? ticks : 0;
    const std::int64_t rate = GetTickRate();
    const std::int64_t nanoseconds =
        count * (NanosecondsPerSecond / rate) + (count * (NanosecondsPerSecond % rate)) / rate;
    timespec duration{};
    duration.tv_sec = static_cast<time_t>(nanoseconds / NanosecondsPerSecond);
    duration.tv_nsec = static_cast<long>(nanoseconds % NanosecondsPerSecond);
    return duration;
}

timespec GetDeadline(clockid_t clock, int ticks)
{
    timespec now{};
    (void)clock_gettime(clock, &now);
    const timespec duration = GetTickDuration(ticks);
    now.tv_sec += duration.tv_sec;
    now.tv_nsec += duration.tv_nsec;
    if (now.tv_nsec >= NanosecondsPerSecond)
    {
        now.tv_sec += 1;
        now.tv_nsec -= NanosecondsPerSecond;
    }
    return now;
}
} // namespace Platform
