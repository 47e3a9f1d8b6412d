// The tick rate of the layer and the conversion of tick counts into POSIX times.
#include "Ticks.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace Platform
{
namespace
{
constexpr std::int64_t NanosecondsPerSecond = 1000000000;

int ReadTickRate()
{
    const char* text = std::getenv("SCM_TICK_RATE");
    if ((text == nullptr) || (*text == '\0'))
    {
        return DefaultTickRate;
    }
    long rate = 0;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if ((*p < '0') || (*p > '9'))
        {
            return DefaultTickRate;
        }
        rate = rate * 10 + (*p - '0');
        if (rate > TickRateMax)
        {
            return DefaultTickRate;
        }
    }
    return (rate >= 1) ? static_cast<int>(rate) : DefaultTickRate;
}
} // namespace

int GetTickRate()
{
    static std::once_flag once;
    static int rate = DefaultTickRate;
    std::call_once(once, [] { rate = ReadTickRate(); });
    return rate;
}

timespec GetTickDuration(int ticks)
{
    const std::int64_t count = (ticks > 0) ? ticks : 0;
    const std::int64_t nanoseconds = count * (NanosecondsPerSecond / GetTickRate()) +
                                     (count * (NanosecondsPerSecond % GetTickRate())) / GetTickRate();
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
