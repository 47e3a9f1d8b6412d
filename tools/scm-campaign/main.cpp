// scm-campaign: an adversarial SCM against the test build of the checker.
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CCampaign.h"

namespace
{
constexpr const char* Help =
    "Usage: scm-campaign [--frames N] [--seed S] [--mutations M] [--jobs J] [--stop-at-escape] [--checker PATH]\n"
    "       scm-campaign --replay EPISODE_SEED [--checker PATH]\n"
    "\n"
    "Drives SCM frames through a real scm-checker-test (built beside this program) in a private kernel directory\n"
    "and queue names: a commissioned domain of three modules, commissioned over and over by a played SCM and\n"
    "answered by its played modules, with up to M (default 3) mutations an episode: bit flips, two-bit flips of\n"
    "slim frames, other addresses and SDNs, UDIDs, firmware versions, parameter checksums and additional-parameter\n"
    "headers that the domain's files do not allow, replayed and reordered SSDO frames, access numbers that wrap\n"
    "through 0, truncated and concatenated frames, answers that nothing asked for, requests in the wrong state,\n"
    "encoder failures. The campaign's own oracle, written from the rules of the frames and the checks, decides\n"
    "for every frame whether the checker must let it through. Each episode starts a fresh checker.\n"
    "\n"
    "Prints every escape (a frame that passed though the oracle refuses it), every frame that passed after\n"
    "fail-safe and every false refusal (withheld though the oracle allows it) with its episode seed, then the\n"
    "counts per mutation kind, frames per second, the two-bit flips of slim frames that passed both CRCs, and\n"
    "the last line\n"
    "    frames=N escapes=N after_failsafe=N false_refusals=N\n"
    "\n"
    "  --frames N        frames to judge (default 1000000); the last episode is finished\n"
    "  --seed S          the campaign's seed (default 1); each episode's seed derives from it\n"
    "  --mutations M     at most M mutations an episode (default 3; 0: clean traffic only)\n"
    "  --jobs J          domains played at once, each with its own checker (1 to 8, default 2; each domain's\n"
    "                    queues take about 45 KiB of the user's RLIMIT_MSGQUEUE)\n"
    "  --stop-at-escape  end at the first escape or frame after fail-safe (first_escape_frame=N)\n"
    "  --replay SEED     run the one episode of that seed (with the campaign's --mutations) and print every\n"
    "                    frame with both verdicts\n"
    "  --checker PATH    another executable built like scm-checker-test (a single-check variant)\n"
    "\n"
    "Exit status: 0 no escape and no frame after fail-safe; 1 escapes or frames after fail-safe, or the\n"
    "checker could not be run; 2 usage error.\n";

int Usage(const std::string& problem)
{
    std::cerr << "scm-campaign: " << problem << "\n" << Help;
    return 2;
}

bool ParseNumber(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || (text.find_first_not_of("0123456789") != std::string::npos) || (text.size() > 20u) ||
        ((text.size() == 20u) && (text > "18446744073709551615")))
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
    Campaign::COptions options;
    for (std::size_t i = 0u; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if ((argument == "--help") || (argument == "-h"))
        {
            std::cout << Help;
            return 0;
        }
        if (argument == "--stop-at-escape")
        {
            options.m_stopAtEscape = true;
            continue;
        }
        if (i + 1u >= arguments.size())
        {
            return Usage("unknown argument or missing value: " + argument);
        }
        const std::string& value = arguments[++i];
        std::uint64_t number = 0u;
        if (argument == "--checker")
        {
            options.m_checker = value;
        }
        else if (!ParseNumber(value, number))
        {
            return Usage("not a number: " + value);
        }
        else if (argument == "--frames")
        {
            options.m_frames = number;
        }
        else if (argument == "--seed")
        {
            options.m_seed = number;
        }
        else if (argument == "--jobs")
        {
            if ((number < 1u) || (number > 8u))
            {
                return Usage("--jobs takes 1 to 8");
            }
            options.m_jobs = static_cast<unsigned>(number);
        }
        else if (argument == "--mutations")
        {
            options.m_mutationsMax = static_cast<unsigned>(number);
        }
        else if (argument == "--replay")
        {
            options.m_replay = number;
            options.m_verbose = true;
        }
        else
        {
            return Usage("unknown argument: " + argument);
        }
    }
    try
    {
        const Campaign::CResult result = Campaign::Run(options, std::cout);
        Campaign::Print(result, std::cout);
        return ((result.m_escapes != 0u) || (result.m_afterFailSafe != 0u)) ? 1 : 0;
    }
    catch (const std::exception& error)
    {
        std::cerr << "scm-campaign: " << error.what() << "\n";
        return 1;
    }
}
