// The shipped layer's answers where a test build has controls: system clocks, the fixed tick rate, no injected
// failure, real-time scheduling always asked for, the process's memory protected.
#ifndef SCM_PLATFORM_LINUX_SHIPPED_PLATFORMHOOKS_H
#define SCM_PLATFORM_LINUX_SHIPPED_PLATFORMHOOKS_H

#include <cstdint>
#include <ctime>

#include "FaultService.h"
#include "Ticks.h"

// Every hook is inline and constant where it can be, so that nothing of the test controls, not even a call,
// reaches a shipped program.
namespace Platform
{
/// Never fails a call: failures come from the OS alone.
constexpr bool TryFail(int /*service*/)
{
    return false;
}

/// CLOCK_REALTIME, CLOCK_MONOTONIC and any other clock as the system reads it.
inline int ReadClock(clockid_t clock, timespec* value)
{
    return clock_gettime(clock, value);
}

/// Microseconds of the monotonic clock (the kernel's microsecond counter).
inline std::uint64_t GetMicroseconds()
{
    timespec value{};
    (void)clock_gettime(CLOCK_MONOTONIC, &value);
    return static_cast<std::uint64_t>(value.tv_sec) * 1000000u + static_cast<std::uint64_t>(value.tv_nsec) / 1000u;
}

constexpr int GetTickRate()
{
    return DefaultTickRate;
}

constexpr bool IsNormalSchedulingRequested()
{
    return false;
}

/// processCheckEnvironment refuses every SCM_ variable that the layer does not read.
constexpr bool ChecksEnvironment()
{
    return true;
}

/// processHarden makes the process non-dumpable and drops its core limit.
constexpr bool ProtectsMemoryContents()
{
    return true;
}
} // namespace Platform

#endif
