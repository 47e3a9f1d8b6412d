// CPU time of idle checkers: each runs the installed checker's process between played peers that hand over every
// cycle and send nothing; its time on the CPU (all its tasks, from /proc) over a window, as a share of one core. One
// domain, then 16 domains at once. Prints one key=value line last.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Peers/CPlayedDomain.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using namespace std::chrono_literals;

constexpr std::uint16_t FirstDomain = 101u;
constexpr unsigned WarmUpCycles = 20u;

struct COptions
{
    double m_seconds = 60.0;
    std::vector<unsigned> m_domainCounts{1u, 16u};
};

void PrintUsage()
{
    std::cout << "Usage: IdleBenchmark [--help] [--seconds S] [--domains N[,N...]]\n"
                 "Runs N checkers at once (default 1, then 16) on clean domains whose played peers hand over every\n"
                 "cycle and send nothing, for S seconds (default 60) each, and reports each checker's CPU time as a\n"
                 "share of one core (N from 1 to 18). The last line is key=value.\n"
                 "Exit status: 0 measured, 1 a checker or its peers failed, 2 wrong arguments.\n";
}

bool ParseOptions(int argc, char** argv, COptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if ((argument == "--seconds") && (i + 1 < argc))
        {
            options.m_seconds = std::stod(argv[++i]);
        }
        else if ((argument == "--domains") && (i + 1 < argc))
        {
            options.m_domainCounts.clear();
            std::stringstream list(argv[++i]);
            std::string count;
            while (std::getline(list, count, ','))
            {
                options.m_domainCounts.push_back(static_cast<unsigned>(std::stoul(count)));
            }
        }
        else
        {
            return false;
        }
    }
    return (options.m_seconds > 0.0) && !options.m_domainCounts.empty() &&
           std::all_of(options.m_domainCounts.begin(), options.m_domainCounts.end(),
                       [](unsigned count) { return (count >= 1u) && (count <= 18u); });
}

// Nanoseconds on the CPU of every task of the process that still exists (the check and timeout tasks of an idle
// checker; its initial task has ended after start-up).
std::uint64_t ReadCpuNanoseconds(pid_t pid)
{
    std::uint64_t total = 0u;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
    {
        std::ifstream schedstat(task.path() / "schedstat");
        std::uint64_t onCpu = 0u;
        if (schedstat >> onCpu)
        {
            total += onCpu;
        }
    }
    return total;
}

struct CDomain
{
    explicit CDomain(std::uint16_t number) : m_number(number), m_provisioner(number)
    {
        m_provisioner.Create(Support::MakeCleanDomainProvision());
        // The checker as installed: the test build's controls would cost in every kernel call.
        m_checker = std::make_unique<Support::CCheckerProcess>(
            Support::CCheckerProcess::CEnvironment{{"SafetyDomainNumber", std::to_string(number)}},
            Support::CCheckerProcess::CVariant::Shipped);
        m_peers = std::make_unique<Support::CPlayedDomain>(number);
    }

    ~CDomain()
    {
        m_peers.reset();
        m_checker.reset();
        m_provisioner.Destroy();
    }

    CDomain(const CDomain&) = delete;
    CDomain& operator=(const CDomain&) = delete;

    std::uint16_t m_number;
    Support::CDomainProvisioner m_provisioner;
    std::unique_ptr<Support::CCheckerProcess> m_checker;
    std::unique_ptr<Support::CPlayedDomain> m_peers;
    std::uint64_t m_cycles = 0u;
    std::string m_failure;
};

struct CResult
{
    std::vector<double> m_percentOfCore;
    std::uint64_t m_cycles = 0u;
    std::size_t m_events = 0u;
    bool m_failed = false;
};

CResult Measure(unsigned domainCount, double seconds)
{
    std::vector<std::unique_ptr<CDomain>> domains;
    for (unsigned i = 0u; i < domainCount; ++i)
    {
        domains.push_back(std::make_unique<CDomain>(static_cast<std::uint16_t>(FirstDomain + i)));
    }
    for (const auto& domain : domains)
    {
        (void)domain->m_peers->Start();
        domain->m_peers->Cycles(WarmUpCycles);
    }

    // Each domain's SCM hands over as soon as its checker does, for as long as the window lasts.
    std::atomic<bool> stop(false);
    std::vector<std::thread> players;
    for (const auto& domain : domains)
    {
        CDomain* played = domain.get();
        players.emplace_back(
            [played, &stop]
            {
                try
                {
                    while (!stop.load())
                    {
                        played->m_peers->Cycle();
                        ++played->m_cycles;
                    }
                }
                catch (const std::exception& exception)
                {
                    played->m_failure = exception.what();
                }
            });
    }
    std::vector<std::uint64_t> startCpu;
    for (const auto& domain : domains)
    {
        startCpu.push_back(ReadCpuNanoseconds(domain->m_checker->GetPid()));
    }
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    std::vector<std::uint64_t> endCpu;
    for (const auto& domain : domains)
    {
        endCpu.push_back(ReadCpuNanoseconds(domain->m_checker->GetPid()));
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop.store(true);
    for (std::thread& player : players)
    {
        player.join();
    }

    CResult result;
    for (std::size_t i = 0u; i < domains.size(); ++i)
    {
        CDomain& domain = *domains[i];
        const double percent = 100.0 * static_cast<double>(endCpu[i] - startCpu[i]) / (elapsed * 1e9);
        result.m_percentOfCore.push_back(percent);
        result.m_cycles += domain.m_cycles;
        result.m_events += domain.m_peers->GetRuntime().ReceiveEvents().size();
        if (!domain.m_failure.empty() || !domain.m_checker->IsRunning())
        {
            std::cerr << "domain " << domain.m_number << ": "
                      << (domain.m_failure.empty() ? "the checker ended" : domain.m_failure) << "\n";
            result.m_failed = true;
        }
        std::cout << "domains=" << domainCount << " domain=" << domain.m_number << " cycles=" << domain.m_cycles
                  << " cpu_percent_of_core=" << std::fixed << std::setprecision(3) << percent << "\n";
    }
    return result;
}

double Mean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (const double value : values)
    {
        sum += value;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}
} // namespace

int main(int argc, char** argv)
{
    if ((argc == 2) && (std::string(argv[1]) == "--help"))
    {
        PrintUsage();
        return 0;
    }
    COptions options;
    if (!ParseOptions(argc, argv, options))
    {
        PrintUsage();
        return 2;
    }
    // Sixteen domains' queues take about 720 KiB of the user's message-queue budget, which other programs of the same
    // user share: take as much as this process may.
    rlimit limit{};
    if (getrlimit(RLIMIT_MSGQUEUE, &limit) == 0)
    {
        limit.rlim_cur = limit.rlim_max = RLIM_INFINITY;
        if (setrlimit(RLIMIT_MSGQUEUE, &limit) != 0)
        {
            (void)getrlimit(RLIMIT_MSGQUEUE, &limit);
            limit.rlim_cur = limit.rlim_max;
            (void)setrlimit(RLIMIT_MSGQUEUE, &limit);
        }
    }
    // Each domain's played peers hold its queues and semaphores open on both sides: raise the descriptor limit too.
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0)
    {
        limit.rlim_cur = limit.rlim_max;
        (void)setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::ostringstream summary;
    summary << std::fixed << std::setprecision(3) << "idle_seconds=" << options.m_seconds;
    bool failed = false;
    try
    {
        Support::CPlatformIsolation isolation;
        for (const unsigned count : options.m_domainCounts)
        {
            const CResult result = Measure(count, options.m_seconds);
            const double highest = *std::max_element(result.m_percentOfCore.begin(), result.m_percentOfCore.end());
            const std::string key = "idle_" + std::to_string(count) + ((count == 1u) ? "_domain" : "_domains");
            summary << " " << key << "_cpu_percent_per_domain=" << Mean(result.m_percentOfCore) << " " << key
                    << "_cpu_percent_highest=" << highest << " " << key << "_cycles_per_second_per_domain="
                    << static_cast<double>(result.m_cycles) / (options.m_seconds * count) << " " << key
                    << "_events=" << result.m_events;
            failed = failed || result.m_failed;
        }
    }
    catch (const std::exception& exception)
    {
        std::cerr << "IdleBenchmark: " << exception.what() << "\n";
        return 1;
    }
    summary << " result=" << (failed ? "failed" : "ok");
    std::cout << summary.str() << "\n";
    return failed ? 1 : 0;
}
