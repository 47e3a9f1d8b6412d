// The tick rate of the layer and the conversion of tick counts into POSIX times.
#ifndef SCM_PLATFORM_LINUX_TICKS_H
#define SCM_PLATFORM_LINUX_TICKS_H

#include <ctime>

namespace Platform
{
constexpr int DefaultTickRate = 1000;
constexpr int TickRateMax = 100000;

/// Ticks per second: SCM_TICK_RATE (1 to 100000) as found at the first call, else 1000.
int GetTickRate();

/// The duration of ticks (not negative).
timespec GetTickDuration(int ticks);

/// The reading of clock (a system clock, not under test control) ticks from now.
timespec GetDeadline(clockid_t clock, int ticks);
} // namespace Platform

#endif
