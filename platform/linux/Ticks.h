// The tick rate of the layer and the conversion of tick counts into POSIX times.
#ifndef SCM_PLATFORM_LINUX_TICKS_H
#define SCM_PLATFORM_LINUX_TICKS_H

#include <ctime>

namespace Platform
{
/// Ticks per second of the shipped layer; a test build may run at another rate (PlatformHooks.h).
constexpr int DefaultTickRate = 1000;
constexpr int TickRateMax = 100000;

/// The duration of ticks (not negative) at the layer's tick rate.
timespec GetTickDuration(int ticks);

/// The reading of clock (a system clock, not under test control) ticks from now.
timespec GetDeadline(clockid_t clock, int ticks);
} // namespace Platform

#endif
