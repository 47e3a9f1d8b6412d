// The test build's answers where the shipped layer has none: clocks under control, injected failures, the tick
// rate and scheduling from the environment, the process left open to the test that started it.
#ifndef SCM_PLATFORM_LINUX_TEST_PLATFORMHOOKS_H
#define SCM_PLATFORM_LINUX_TEST_PLATFORMHOOKS_H

#include <cstdint>
#include <ctime>

#include "CControlledClock.h"
#include "CFaultInjector.h"
#include "FaultService.h"
#include "Ticks.h"

namespace Platform
{
/// Counts a call of service; true, with errno set, when a fault rule (platformControl.h) makes it fail.
inline bool TryFail(int service)
{
    return CFaultInjector::GetInstance().TryFail(service);
}

/// CLOCK_REALTIME and CLOCK_MONOTONIC shifted or frozen by the clock controls; other clocks as they are.
inline int ReadClock(clockid_t clock, timespec* value)
{
    return CControlledClock::GetInstance().Read(clock, value);
}

/// Microseconds of the controlled monotonic clock.
inline std::uint64_t GetMicroseconds()
{
    return CControlledClock::GetInstance().GetMicroseconds();
}

/// SCM_TICK_RATE (1 to TickRateMax) as found at the first call, else DefaultTickRate.
int GetTickRate();

/// True when SCM_TASK_SCHEDULING is "normal": tasks stay off SCHED_FIFO and processHarden neither probes
/// real-time scheduling nor locks memory, so that tests need no real-time rights.
bool IsNormalSchedulingRequested();

/// A test build takes any environment: its controls, and whatever else tests and their preloaded helpers read.
constexpr bool ChecksEnvironment()
{
    return false;
}

/// A test build stays dumpable: tests read and change the memory of the checker they started.
constexpr bool ProtectsMemoryContents()
{
    return false;
}
} // namespace Platform

#endif
