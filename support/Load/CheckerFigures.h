// Figures of a running checker process read from outside: its memory, its heap allocations (through the preloaded
// allocation counter) and its event log.
#ifndef SUPPORT_LOAD_CHECKERFIGURES_H
#define SUPPORT_LOAD_CHECKERFIGURES_H

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/Peers/CPlayedRuntime.h"

namespace Support
{
/// The counts of the preloaded allocation counter: allocations of the initial thread before and after it ended,
/// and of every other thread (the checker's tasks).
struct CAllocationReport
{
    std::uint64_t m_startup = 0u;
    std::uint64_t m_initialExit = 0u;
    std::uint64_t m_tasks = 0u;
};

/// Asks the counter in the process (SIGUSR1) for its figures, written to `file`; nothing when it does not answer
/// within about five seconds.
std::optional<CAllocationReport> RequestAllocationReport(pid_t pid, const std::filesystem::path& file);

/// A memory field of /proc/<pid>/task/*/status in KiB ("VmRSS", "VmHWM"), read from a live thread (once the
/// initial thread has ended the process's own status no longer shows its memory); 0 when none is found.
std::uint64_t ReadStatusKib(pid_t pid, const std::string& field);

/// The context switches (voluntary and not) of the process's thread of that name (/proc/<pid>/task/*/comm); nothing
/// when there is none. A thread that keeps switching is running or waking from its waits; one whose count stands
/// still is blocked.
std::optional<std::uint64_t> ReadThreadSwitches(pid_t pid, const std::string& threadName);

/// One record of a domain's event log: its event and its CLOCK_MONOTONIC stamp.
struct CLoggedEvent
{
    std::uint64_t m_monotonicUs = 0u;
    CEventRecord m_event;
};

/// Every record of the domain's event log, oldest first (empty when the domain has no log yet).
std::vector<CLoggedEvent> ReadEventLog(std::uint16_t safetyDomainNumber);
} // namespace Support

#endif
