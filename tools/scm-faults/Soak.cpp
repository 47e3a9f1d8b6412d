// The soak: the checker under load in every flow for millions of frames.
#include "Soak.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "CCampaignDomain.h"
#include "ScmCheckerVersion.h"
#include "support/Load/CLoadPlayer.h"
#include "support/Load/CheckerFigures.h"

namespace Faults
{
namespace
{
using namespace std::chrono_literals;

constexpr std::uint16_t Domain = 43u;
// The relay's limit per cycle and direction; queues that hold fewer limit the load to their capacity.
constexpr unsigned FramesPerCycleEachWay = 20u;
// The first unlock request starts the checker's 60-second reset deadline: unlock requests only in the last
// cycles, well within it.
constexpr std::uint64_t UnlockCycleCount = 1000u;
// By then the code-memory test has read every watched page once: the resident memory is taken from here on.
constexpr std::uint64_t WarmUpCycleCount = 1000u;
// Resident memory may move by a few pages (stacks, the kernel's accounting), never grow with the frames.
constexpr std::uint64_t FlatMemorySlackKib = 256u;
} // namespace

int RunSoak(const CSoakOptions& options)
{
    CCampaignDomain domain(Domain);
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    Support::CDomainProvision provision = configuration.MakeProvision();
    provision.m_queueCapacity = 64u;
    domain.Create(provision);
    const std::filesystem::path reportFile = domain.GetKernelRoot() / "allocations";
    const std::unique_ptr<Support::CCheckerProcess> checker =
        domain.StartChecker({{"LD_PRELOAD", SCM_ALLOCATION_COUNTER}, {"SCM_ALLOCATION_REPORT", reportFile.string()}});
    const Support::CPlayedModule& module = configuration.GetModule(2u);
    Support::CLoadPlayer player(Domain, 10000ms, module.m_safetyAddress, module.m_udid);
    (void)player.GetPeers().Start(SCM_CHECKER_REVISION_NUMBER, 30000ms);

    // The frames one cycle can carry: the smaller of the relay's limit and the queues' capacity.
    const std::uint64_t framesPerCycle =
        2u * std::min<std::uint64_t>(FramesPerCycleEachWay, std::max<std::size_t>(1u, domain.GetQueueCapacity()));
    std::uint64_t frames = 0u;
    std::uint64_t events = 0u;
    std::uint64_t cycles = 0u;
    std::uint64_t longestCycleUs = 0u;
    std::uint64_t rssStartKib = 0u;
    std::uint64_t previousUs = 0u;
    bool stalled = false;
    const auto started = std::chrono::steady_clock::now();
    while ((frames < options.m_frames) && !stalled)
    {
        Support::CCycleLoad load;
        load.m_framesEachWay = FramesPerCycleEachWay;
        load.m_unlockRequest = (options.m_frames - frames) <= UnlockCycleCount * framesPerCycle;
        const Support::CDrain drain = player.Cycle(load);
        stalled = !drain.m_handedOver;
        frames += drain.GetFrames();
        events += drain.m_checkerEvents.size();
        if (options.m_verbose)
        {
            for (const Support::CEventRecord& event : drain.m_checkerEvents)
            {
                std::cout << "event " << event << "\n";
            }
        }
        // One cycle of the checker: from one hand-over to the next, its 10 ms pause included.
        if ((previousUs != 0u) && (cycles > 1u))
        {
            longestCycleUs = std::max(longestCycleUs, drain.m_startUs - previousUs);
        }
        previousUs = drain.m_startUs;
        ++cycles;
        if (cycles == WarmUpCycleCount)
        {
            rssStartKib = Support::ReadStatusKib(checker->GetPid(), "VmRSS");
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (rssStartKib == 0u)
    {
        rssStartKib = Support::ReadStatusKib(checker->GetPid(), "VmRSS");
    }
    const std::uint64_t rssEndKib = Support::ReadStatusKib(checker->GetPid(), "VmRSS");
    const std::optional<Support::CAllocationReport> report =
        Support::RequestAllocationReport(checker->GetPid(), reportFile);
    for (const Support::CLoggedEvent& logged : Support::ReadEventLog(Domain))
    {
        std::cout << "logged event " << logged.m_event << "\n";
    }
    if (stalled)
    {
        std::cout << "the checker stopped handing over after " << cycles << " cycles\n";
    }
    if (!report.has_value())
    {
        std::cout << "the allocation counter did not answer\n";
    }
    const std::uint64_t allocations = report.has_value() ? report->m_tasks : 0u;
    std::printf("frames=%llu frames_per_s=%llu rss_start_kib=%llu rss_end_kib=%llu allocations_after_startup=%llu "
                "events=%llu longest_cycle_us=%llu\n",
                static_cast<unsigned long long>(frames),
                static_cast<unsigned long long>(seconds > 0.0 ? static_cast<double>(frames) / seconds : 0.0),
                static_cast<unsigned long long>(rssStartKib), static_cast<unsigned long long>(rssEndKib),
                static_cast<unsigned long long>(allocations), static_cast<unsigned long long>(events),
                static_cast<unsigned long long>(longestCycleUs));
    const bool flat = rssEndKib <= rssStartKib + FlatMemorySlackKib;
    return (!stalled && report.has_value() && (allocations == 0u) && (events == 0u) && flat) ? 0 : 1;
}
} // namespace Faults
