// The checker allocates nothing once it has started: its heap allocations counted by a preloaded counter over
// ten thousand cycles with traffic in every flow, and its resident memory.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using namespace std::chrono_literals;
using Support::Bytes;

constexpr std::uint16_t Domain = 12u;
constexpr unsigned CycleCount = 10000u;
// Unlock requests only near the end: the first one starts the 60-second deadline after which the PLC is reset
// and frames stop.
constexpr unsigned UnlockCycleCount = 1000u;

struct CAllocationReport
{
    std::uint64_t m_startup = 0u;
    std::uint64_t m_initialExit = 0u;
    std::uint64_t m_tasks = 0u;
};

// Asks the counter in the checker for its figures; nothing when it does not answer within a few seconds.
std::optional<CAllocationReport> RequestReport(pid_t pid, const std::filesystem::path& file)
{
    std::filesystem::remove(file);
    if (kill(pid, SIGUSR1) != 0)
    {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 500; ++attempt)
    {
        std::ifstream stream(file);
        std::string line;
        if (std::getline(stream, line) && !line.empty())
        {
            CAllocationReport report;
            if (std::sscanf(line.c_str(), "startup=%lu initial_exit=%lu tasks=%lu", &report.m_startup,
                            &report.m_initialExit, &report.m_tasks) == 3)
            {
                return report;
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

// A memory field of the process in KiB ("VmRSS", "VmHWM"), read from a live thread: once the initial thread has
// ended, the process's own status no longer shows its memory.
std::uint64_t ReadStatusKib(pid_t pid, const std::string& field)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
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

struct CTraffic
{
    unsigned m_framesAtRuntime = 0u;
    unsigned m_framesAtScm = 0u;
    unsigned m_commandsAtScm = 0u;
    unsigned m_responsesAtRuntime = 0u;
    unsigned m_eventsAtRuntime = 0u;
    unsigned m_unlockRequestsAtScm = 0u;
    unsigned m_unlockResponsesAtRuntime = 0u;
};

TEST(Allocation, NoneAfterStartUpOverTenThousandCyclesWithTrafficInEveryFlow)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers bring their own allocator";
#endif
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(Domain);
    provisioner.Create(Support::MakeCleanDomainProvision());
    const std::filesystem::path reportFile = std::filesystem::path(isolation.GetKernelRoot()) / "allocations";
    Support::CCheckerProcess checker({{"SafetyDomainNumber", std::to_string(Domain)},
                                      {"LD_PRELOAD", SCM_ALLOCATION_COUNTER},
                                      {"SCM_ALLOCATION_REPORT", reportFile.string()}});
    Support::CPlayedDomain peers(Domain);
    (void)peers.Start();
    peers.Cycle();
    const std::optional<CAllocationReport> atStart = RequestReport(checker.GetPid(), reportFile);
    ASSERT_TRUE(atStart.has_value()) << "the allocation counter does not answer";
    const std::uint64_t rssStartKib = ReadStatusKib(checker.GetPid(), "VmRSS");

    const Bytes frameFromRuntime =
        Support::CFrameBuilder::SnmtResponseUdid(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
    const Bytes frameFromScm = Support::CFrameBuilder::SnmtAssignSadr(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
    const Bytes command = Support::CCommandBuilder::RequestStatus().Build();
    const Bytes status = Support::CStatusBuilder().Number(3u).Build();
    const Bytes event = Support::CEventBuilder().Level(2u).Code(0xC123u).Information0(9u).Information1(7u).Build();
    const Bytes unlock(21u, 0x5Au);
    CTraffic traffic;
    for (unsigned cycle = 0u; cycle < CycleCount; ++cycle)
    {
        peers.Cycle(
            [&]
            {
                Support::CPlayedScm& scm = peers.GetScm();
                Support::CPlayedRuntime& runtime = peers.GetRuntime();
                traffic.m_framesAtScm += static_cast<unsigned>(scm.ReceiveFrames().size());
                if (scm.ReceiveCommand().has_value())
                {
                    ++traffic.m_commandsAtScm;
                    (void)scm.SendResponse(status);
                }
                while (scm.ReceiveUnlockRequest().has_value())
                {
                    ++traffic.m_unlockRequestsAtScm;
                }
                while (runtime.ReceiveFrame().has_value())
                {
                    ++traffic.m_framesAtRuntime;
                }
                while (runtime.ReceiveResponse().has_value())
                {
                    ++traffic.m_responsesAtRuntime;
                }
                while (runtime.ReceiveEventMessage().has_value())
                {
                    ++traffic.m_eventsAtRuntime;
                }
                while (runtime.ReceiveUnlockResponse().has_value())
                {
                    ++traffic.m_unlockResponsesAtRuntime;
                }
                (void)scm.SendFrame(frameFromScm);
                (void)scm.SendEvent(event);
                (void)scm.SendUnlockResponse(unlock);
                (void)runtime.SendFrame(frameFromRuntime);
                (void)runtime.SendCommand(command);
                if (cycle + UnlockCycleCount >= CycleCount)
                {
                    (void)runtime.SendUnlockRequest(unlock);
                }
            });
    }
    const std::optional<CAllocationReport> atEnd = RequestReport(checker.GetPid(), reportFile);
    ASSERT_TRUE(atEnd.has_value()) << "the allocation counter does not answer";
    const std::uint64_t rssEndKib = ReadStatusKib(checker.GetPid(), "VmRSS");
    const std::uint64_t peakKib = ReadStatusKib(checker.GetPid(), "VmHWM");
    std::cout << "cycles=" << CycleCount << " allocations_startup=" << atEnd->m_startup
              << " allocations_initial_exit=" << atEnd->m_initialExit << " allocations_after_startup=" << atEnd->m_tasks
              << " rss_start_kib=" << rssStartKib << " rss_end_kib=" << rssEndKib << " rss_peak_kib=" << peakKib
              << "\n";

    // Every flow carried traffic through the whole run (the last cycle's messages are still under way).
    EXPECT_GE(traffic.m_framesAtRuntime, CycleCount - 2u);
    EXPECT_GE(traffic.m_framesAtScm, CycleCount - 2u);
    EXPECT_GE(traffic.m_commandsAtScm, CycleCount - 2u);
    EXPECT_GE(traffic.m_responsesAtRuntime, CycleCount - 3u);
    EXPECT_GE(traffic.m_eventsAtRuntime, CycleCount - 2u);
    EXPECT_GE(traffic.m_unlockResponsesAtRuntime, CycleCount - 2u);
    EXPECT_GE(traffic.m_unlockRequestsAtScm, UnlockCycleCount - 2u);
    // The check and timeout tasks allocate nothing, neither in the cycles measured before nor after.
    EXPECT_EQ(0u, atStart->m_tasks);
    EXPECT_EQ(0u, atEnd->m_tasks);
    EXPECT_GT(atEnd->m_startup, 0u) << "the counter saw no allocation at all: it is not in the checker";
    EXPECT_GT(rssEndKib, 0u);
}
} // namespace
