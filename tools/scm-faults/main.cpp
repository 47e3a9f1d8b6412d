// scm-faults: campaigns against the test build of the checker: the fault sweep, kills during writes, the soak.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "CCampaignDomain.h"
#include "FaultSweep.h"
#include "KillCampaign.h"
#include "Soak.h"

namespace
{
constexpr const char* Help =
    "Usage: scm-faults sweep [--quick] [--service TEXT] [--verbose] [--checker PATH]\n"
    "       scm-faults kill [N] [--seed S] [--verbose] [--checker PATH]\n"
    "       scm-faults soak [FRAMES] [--verbose] [--checker PATH]\n"
    "\n"
    "Campaigns against scm-checker-test (built beside this program) in a private kernel directory and queue\n"
    "names, with a played runtime and SCM. --checker runs another copy of the test build (a long campaign\n"
    "keeps its own copy while the tree is rebuilt).\n"
    "\n"
    "  sweep   makes the n-th call of each platform and kernel service fail, once and from then on, for every n\n"
    "          up to the calls the checker makes in start-up and a few cycles with traffic in every flow; prints\n"
    "          a table of outcomes by service and the line\n"
    "          cases=N crashes=N hangs=N releases_after_fault=N torn_files=N\n"
    "          --quick: the first calls and a few far ones, failures from the first call on (the CI version)\n"
    "  kill    kills the checker N times (default 1000) at random points while it rewrites fwrevcnf.bin.chk\n"
    "          (password, setup mode) or tessera.uid.chk (the signature taken over at start-up), restarts it each\n"
    "          time and checks that every copy is the whole old or the whole new version and that the next start\n"
    "          passes or refuses the pair as for that version; the last line counts kills, kills inside a write\n"
    "          (its temporary file left behind), and torn or unexpected files\n"
    "  soak    runs the checker under load in every flow until FRAMES frames (default 10000000) were relayed;\n"
    "          last line: frames=N frames_per_s=N rss_start_kib=N rss_end_kib=N allocations_after_startup=N\n"
    "          events=N longest_cycle_us=N (resident memory from the 1000th cycle on; a cycle is the time from\n"
    "          one hand-over to the next, the checker's 10 ms pause included)\n"
    "\n"
    "Exit status: 0 the campaign found nothing; 1 it found a fault (a crash, hang, release after a fault, torn\n"
    "or unexpected file, wrong start, allocation, event or growing memory) or could not run; 2 usage error.\n";

int Usage(const std::string& problem)
{
    std::cerr << "scm-faults: " << problem << "\n" << Help;
    return 2;
}

bool ParseNumber(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || (text.find_first_not_of("0123456789") != std::string::npos) || (text.size() > 12u))
    {
        return false;
    }
    value = std::stoull(text);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
    {
        return Usage("a campaign is needed");
    }
    for (const std::string& argument : arguments)
    {
        if ((argument == "--help") || (argument == "-h"))
        {
            std::cout << Help;
            return 0;
        }
    }
    const std::string& campaign = arguments.front();
    bool verbose = false;
    bool quick = false;
    std::string service;
    std::uint64_t seed = std::random_device()();
    std::vector<std::uint64_t> numbers;
    for (std::size_t i = 1u; i < arguments.size(); ++i)
    {
        std::uint64_t number = 0u;
        if (arguments[i] == "--verbose")
        {
            verbose = true;
        }
        else if ((arguments[i] == "--checker") && (i + 1u < arguments.size()))
        {
            Faults::SetCheckerExecutable(arguments[++i]);
        }
        else if ((arguments[i] == "--quick") && (campaign == "sweep"))
        {
            quick = true;
        }
        else if ((arguments[i] == "--service") && (campaign == "sweep") && (i + 1u < arguments.size()))
        {
            service = arguments[++i];
        }
        else if ((arguments[i] == "--seed") && (campaign == "kill") && (i + 1u < arguments.size()) &&
                 ParseNumber(arguments[i + 1u], seed) && (seed <= 0xFFFFFFFFu))
        {
            ++i;
        }
        else if (ParseNumber(arguments[i], number) && (number > 0u) && (campaign != "sweep") && numbers.empty())
        {
            numbers.push_back(number);
        }
        else
        {
            return Usage("unexpected argument " + arguments[i]);
        }
    }
    try
    {
        if (campaign == "sweep")
        {
            return Faults::RunFaultSweep(Faults::CSweepOptions{quick, service, verbose});
        }
        if (campaign == "kill")
        {
            return Faults::RunKillCampaign(Faults::CKillOptions{
                numbers.empty() ? 1000u : static_cast<unsigned>(numbers.front()), static_cast<std::uint32_t>(seed),
                verbose});
        }
        if (campaign == "soak")
        {
            return Faults::RunSoak(Faults::CSoakOptions{numbers.empty() ? 10000000u : numbers.front(), verbose});
        }
    }
    catch (const std::exception& exception)
    {
        std::cerr << "scm-faults: " << exception.what() << "\n";
        return 1;
    }
    return Usage("unknown campaign " + campaign);
}
