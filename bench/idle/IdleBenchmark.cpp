// CPU time of idle checkers: each runs the installed checker's process between played peers that hand over every
// cycle and send nothing; its time on the CPU (all its tasks, from /proc) over a window, as a share of one core. One
// domain, then 16 domains at once. Prints one key=value line last.
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
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
                 "share of one core (N from 1 to 18). Each domain runs in a process of its own. In the same window\n"
                 "it measures two floors: a task that only wakes every 10 ms, and one that also hands over to a\n"
                 "partner process and waits for its answer, as the check task does with the SCM. The last line is\n"
                 "key=value.\n"
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
    double m_sleepFloorPercent = 0.0;
    double m_handOverFloorPercent = 0.0;
};

// What one domain's child reports through the result pipe (one write, shorter than PIPE_BUF, so never torn).
struct CDomainReport
{
    std::uint16_t m_number;
    bool m_failed;
    double m_percentOfCore;
    std::uint64_t m_cycles;
    std::uint64_t m_events;
};

void WriteByte(int descriptor)
{
    const char byte = 1;
    while ((write(descriptor, &byte, 1) < 0) && (errno == EINTR))
    {
    }
}

bool ReadByte(int descriptor)
{
    char byte = 0;
    ssize_t count = 0;
    while (((count = read(descriptor, &byte, 1)) < 0) && (errno == EINTR))
    {
    }
    return count == 1;
}

struct CPipe
{
    CPipe()
    {
        if (pipe(m_ends) != 0)
        {
            throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
        }
    }
    ~CPipe()
    {
        (void)close(m_ends[0]);
        (void)close(m_ends[1]);
    }
    CPipe(const CPipe&) = delete;
    CPipe& operator=(const CPipe&) = delete;

    int m_ends[2] = {-1, -1};
};

// One domain in a process of its own: the platform layer holds a bounded number of queue handles per process, and
// sixteen domains' peers hold more than that. The window opens when the parent says go.
[[noreturn]] void RunDomain(std::uint16_t number, double seconds, int ready, int go, int results)
{
    CDomainReport report{number, true, 0.0, 0u, 0u};
    try
    {
        CDomain domain(number);
        (void)domain.m_peers->Start();
        domain.m_peers->Cycles(WarmUpCycles);
        WriteByte(ready);
        if (ReadByte(go))
        {
            // The SCM hands over as soon as the checker does, for as long as the window lasts.
            std::atomic<bool> stop(false);
            std::thread player(
                [&domain, &stop]
                {
                    try
                    {
                        while (!stop.load())
                        {
                            domain.m_peers->Cycle();
                            ++domain.m_cycles;
                        }
                    }
                    catch (const std::exception& exception)
                    {
                        domain.m_failure = exception.what();
                    }
                });
            const std::uint64_t startCpu = ReadCpuNanoseconds(domain.m_checker->GetPid());
            const auto start = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
            const std::uint64_t endCpu = ReadCpuNanoseconds(domain.m_checker->GetPid());
            const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            stop.store(true);
            player.join();
            report.m_percentOfCore = 100.0 * static_cast<double>(endCpu - startCpu) / (elapsed * 1e9);
            report.m_cycles = domain.m_cycles;
            report.m_events = domain.m_peers->GetRuntime().ReceiveEvents().size();
            report.m_failed = !domain.m_failure.empty() || !domain.m_checker->IsRunning();
            if (report.m_failed)
            {
                std::cerr << "domain " << number << ": "
                          << (domain.m_failure.empty() ? "the checker ended" : domain.m_failure) << "\n";
            }
        }
    }
    catch (const std::exception& exception)
    {
        std::cerr << "domain " << number << ": " << exception.what() << "\n";
    }
    while ((write(results, &report, sizeof report) < 0) && (errno == EINTR))
    {
    }
    std::cerr.flush();
    // Not exit(): the parent's isolation and its kernel directory belong to the parent.
    _exit(0);
}

// The floor any checker of this design pays on this machine, measured in the same window: a task that wakes every
// 10 ms and, with handOver, then gives a semaphore to a partner process and takes the partner's answer, as the check
// task does with the SCM. Returns its CPU time as a percentage of one core.
double MeasureFloor(double seconds, bool handOver)
{
    struct CShared
    {
        sem_t m_toPartner;
        sem_t m_fromPartner;
        std::atomic<bool> m_stop;
    };
    void* memory = mmap(nullptr, sizeof(CShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
    {
        throw std::runtime_error(std::string("cannot map shared memory: ") + std::strerror(errno));
    }
    auto* shared = new (memory) CShared;
    (void)sem_init(&shared->m_toPartner, 1, 0u);
    (void)sem_init(&shared->m_fromPartner, 1, 0u);
    shared->m_stop.store(false);
    pid_t partner = -1;
    if (handOver)
    {
        partner = fork();
        if (partner == 0)
        {
            while ((sem_wait(&shared->m_toPartner) == 0 || errno == EINTR) && !shared->m_stop.load())
            {
                (void)sem_post(&shared->m_fromPartner);
            }
            _exit(0);
        }
    }
    const bool handsOver = handOver && (partner > 0);
    timespec cpuStart{};
    timespec cpuEnd{};
    (void)clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end)
    {
        timespec period{0, 10000000};
        while (clock_nanosleep(CLOCK_MONOTONIC, 0, &period, &period) == EINTR)
        {
        }
        if (handsOver)
        {
            (void)sem_post(&shared->m_toPartner);
            while ((sem_wait(&shared->m_fromPartner) != 0) && (errno == EINTR))
            {
            }
        }
    }
    (void)clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (partner > 0)
    {
        shared->m_stop.store(true);
        (void)sem_post(&shared->m_toPartner);
        (void)waitpid(partner, nullptr, 0);
    }
    (void)sem_destroy(&shared->m_toPartner);
    (void)sem_destroy(&shared->m_fromPartner);
    shared->~CShared();
    (void)munmap(memory, sizeof(CShared));
    if (handOver && !handsOver)
    {
        throw std::runtime_error(std::string("cannot fork the floor's partner: ") + std::strerror(errno));
    }
    const double cpu = static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) * 1e9 +
                       static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec);
    return 100.0 * cpu / (elapsed * 1e9);
}

CResult Measure(unsigned domainCount, double seconds)
{
    CPipe ready;
    CPipe go;
    CPipe results;
    std::vector<pid_t> children;
    std::cout.flush();
    for (unsigned i = 0u; i < domainCount; ++i)
    {
        const pid_t child = fork();
        if (child == 0)
        {
            RunDomain(static_cast<std::uint16_t>(FirstDomain + i), seconds, ready.m_ends[1], go.m_ends[0],
                      results.m_ends[1]);
        }
        if (child < 0)
        {
            throw std::runtime_error(std::string("cannot fork: ") + std::strerror(errno));
        }
        children.push_back(child);
    }
    CResult result;
    unsigned readyCount = 0u;
    while ((readyCount < domainCount) && ReadByte(ready.m_ends[0]))
    {
        ++readyCount;
    }
    for (unsigned i = 0u; i < domainCount; ++i)
    {
        WriteByte(go.m_ends[1]);
    }
    // Both floors in the same window as the checkers, each in a task of its own; the hand-over's partner is a
    // process of its own, as the SCM is.
    std::thread sleepFloor([&] { result.m_sleepFloorPercent = MeasureFloor(seconds, false); });
    result.m_handOverFloorPercent = MeasureFloor(seconds, true);
    sleepFloor.join();

    std::vector<CDomainReport> reports;
    CDomainReport report{};
    while ((reports.size() < domainCount) && (read(results.m_ends[0], &report, sizeof report) == sizeof report))
    {
        reports.push_back(report);
    }
    for (const pid_t child : children)
    {
        int status = 0;
        (void)waitpid(child, &status, 0);
    }
    std::sort(reports.begin(), reports.end(),
              [](const CDomainReport& left, const CDomainReport& right) { return left.m_number < right.m_number; });
    result.m_failed = (reports.size() != domainCount);
    for (const CDomainReport& domain : reports)
    {
        result.m_percentOfCore.push_back(domain.m_percentOfCore);
        result.m_cycles += domain.m_cycles;
        result.m_events += domain.m_events;
        result.m_failed = result.m_failed || domain.m_failed;
        std::cout << "domains=" << domainCount << " domain=" << domain.m_number << " cycles=" << domain.m_cycles
                  << " cpu_percent_of_core=" << std::fixed << std::setprecision(3) << domain.m_percentOfCore << "\n";
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
            const double highest = result.m_percentOfCore.empty()
                                       ? 0.0
                                       : *std::max_element(result.m_percentOfCore.begin(), result.m_percentOfCore.end());
            const double perDomain = Mean(result.m_percentOfCore);
            const std::string key = "idle_" + std::to_string(count) + ((count == 1u) ? "_domain" : "_domains");
            summary << " " << key << "_cpu_percent_per_domain=" << perDomain << " " << key
                    << "_cpu_percent_highest=" << highest << " " << key << "_cycles_per_second_per_domain="
                    << static_cast<double>(result.m_cycles) / (options.m_seconds * count) << " " << key
                    << "_events=" << result.m_events << " " << key
                    << "_floor_sleep_cpu_percent=" << result.m_sleepFloorPercent << " " << key
                    << "_floor_hand_over_cpu_percent=" << result.m_handOverFloorPercent << " " << key
                    << "_per_hand_over_floor="
                    << ((result.m_handOverFloorPercent > 0.0) ? perDomain / result.m_handOverFloorPercent : 0.0);
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
