// Figures of a running checker process read from outside.
#include "support/Load/CheckerFigures.h"

#include <signal.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "eventLogLib.h"

namespace Support
{
std::optional<CAllocationReport> RequestAllocationReport(pid_t pid, const std::filesystem::path& file)
{
    std::error_code ignored;
    (void)std::filesystem::remove(file, ignored);
    if (kill(pid, SIGUSR1) != 0)
    {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 500; ++attempt)
    {
        std::ifstream stream(file);
        std::string line;
        CAllocationReport report;
        if (std::getline(stream, line) &&
            (std::sscanf(line.c_str(), "startup=%lu initial_exit=%lu tasks=%lu", &report.m_startup,
                         &report.m_initialExit, &report.m_tasks) == 3))
        {
            return report;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

std::uint64_t ReadStatusKib(pid_t pid, const std::string& field)
{
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error))
    {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line))
        {
            if (line.rfind(field + ":", 0u) == 0u)
            {
                return std::stoull(line.substr(field.size() + 1u));
            }
        }
    }
    return 0u;
}

std::optional<std::uint64_t> ReadThreadSwitches(pid_t pid, const std::string& threadName)
{
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error))
    {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (!std::getline(comm, name) || (name != threadName))
        {
            continue;
        }
        std::ifstream status(task.path() / "status");
        std::string line;
        std::uint64_t switches = 0u;
        while (std::getline(status, line))
        {
            if ((line.rfind("voluntary_ctxt_switches:", 0u) == 0u) ||
                (line.rfind("nonvoluntary_ctxt_switches:", 0u) == 0u))
            {
                switches += std::stoull(line.substr(line.find(':') + 1u));
            }
        }
        return switches;
    }
    return std::nullopt;
}

std::vector<CLoggedEvent> ReadEventLog(std::uint16_t safetyDomainNumber)
{
    std::array<EVENT_LOG_ENTRY, EVENT_LOG_CAPACITY> entries{};
    const int count = eventLogRead(safetyDomainNumber, entries.data(), entries.size());
    std::vector<CLoggedEvent> events;
    for (int i = 0; i < count; ++i)
    {
        const EVENT_LOG_ENTRY& entry = entries[static_cast<std::size_t>(i)];
        const std::optional<CEventRecord> record =
            CEventRecord::Parse(Bytes(entry.event, entry.event + EVENT_LOG_EVENT_LENGTH));
        if (record.has_value())
        {
            events.push_back(CLoggedEvent{entry.monotonicMicroseconds, *record});
        }
    }
    return events;
}
} // namespace Support
