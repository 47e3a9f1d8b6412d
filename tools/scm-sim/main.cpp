// scm-sim: plays the PLC runtime, an openSAFETY SCM, its safety nodes and the operator around a real scm-checker.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Cli/ProgramVersion.h"
#include "tools/scm-sim/CDomainDescription.h"
#include "tools/scm-sim/CScenario.h"
#include "tools/scm-sim/CSimulation.h"

namespace
{
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

constexpr const char* HelpText =
    R"(Usage: scm-sim init [FILE]
   or: scm-sim list
   or: scm-sim run NAME [--nodes N] [--seed S] [OPTIONS]
   or: scm-sim run --description FILE [OPTIONS]
   or: scm-sim --help | --version

Plays the PLC runtime, an openSAFETY SCM, its safety nodes (up to 1022, SADR 2 to 1023; the SCM holds SADR 1)
and the operator around a real scm-checker process, through the domain's real queues, hand-over semaphores and
kernel directory (a private one for each run). The SCM commissions every node through the checker: SADR
assignment (UDID request when it fails), the SCM's UDID, the device vendor information, the parameter checksum,
pre-operational and the parameter download (slim SSDO, expedited or segmented), the additional SADRs
(service 10), set to operational with BUSY answers, SN FAIL group 5 and the additional parameters; it
acknowledges in setup mode with events of its own, otherwise the operator acknowledges with commands.

Commands:
  init [FILE]   writes a commented example domain description (JSON) to FILE or standard output
  list          names the scenarios, their default node count and what the checker must do
  run NAME      runs a scenario on a generated domain
  run --description FILE
                commissions the domain of a description file; every node must become operational

Options of run:
  --nodes N         nodes of the generated domain (default: the scenario's)
  --seed S          varies the generated domain (checksum lengths, fresh nodes, BUSY answers; default 1)
  --checker PATH    the checker to start (default: SCM_SIM_CHECKER, else the test build scm-checker-test of
                    this build tree)
  --timeline        every frame in the timeline (default up to 16 nodes; above, only events, commands,
                    withheld and tampered frames)
  --brief           only the key frames of a story: UDID requests and answers, SN FAIL, SN ACK, aborts and
                    nodes going operational
  --quiet           no lines for frames that pass (withheld and tampered frames are always shown)
  --pcap FILE       writes every frame seen on the runtime's side as an openSAFETY-over-UDP capture; view it
                    with: tshark -r FILE -o opensafety_udp.network_udp_port:9999
                          -o opensafety.scm_udid:00:60:65:5C:3D:01 -o opensafety.scm_udid_autoset:FALSE
  --summary         per node at the end: commissioned or refused, by which check, after how many cycles
  --stats           a line with cycles, seconds, frames through the checker per second and the cycles and
                    seconds to commission
  --max-cycles N    gives up after N cycles of the checker (default 20000)

The timeline has one key=value line per step (cycle, flow, direction, class, module, verdict) and ends with
"verdict=pass|fail scenario=... expected=... observed=...". On a terminal, runs without the frame timeline
show one updating progress line on standard error; in a pipe they show none.

--version prints the version and the checker's revision number.

Exit status: 0 the checker behaved as the scenario expects (init, list: done), 1 it did not or the run failed
(the message says why), 2 usage error.
)";

int Usage(const std::string& message)
{
    std::cerr << "scm-sim: " << message << "\nTry 'scm-sim --help'.\n";
    return ExitUsage;
}

unsigned long ParseNumber(const std::string& text, const std::string& option)
{
    std::size_t used = 0u;
    const unsigned long value = std::stoul(text, &used, 0);
    if (used != text.size())
    {
        throw std::invalid_argument(option + ": not a number");
    }
    return value;
}

std::string DefaultChecker()
{
    const char* fromEnvironment = std::getenv("SCM_SIM_CHECKER");
    return (fromEnvironment != nullptr) ? std::string(fromEnvironment) : std::string(SCM_SIM_DEFAULT_CHECKER);
}

int Init(const std::vector<std::string>& arguments)
{
    ScmSim::CDomainDescription example = ScmSim::MakeGeneratedDomain(3u, 1u, true);
    example.m_nodes[1].m_deviceMinorRevision = 4u;
    // A fresh node: the SCM downloads its parameters and assigns it an additional SADR.
    example.m_nodes[2].m_deviceChecksum = ScmSim::Bytes{0x00u, 0x00u, 0x00u, 0x00u};
    example.m_nodes[2].m_additionalSadrs.push_back({0x0100u, 1u});
    const std::string text = example.ToJson(true);
    if (arguments.empty())
    {
        std::cout << text;
        return ExitOk;
    }
    std::ofstream file(arguments[0]);
    file << text;
    if (!file)
    {
        std::cerr << "scm-sim: cannot write " << arguments[0] << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

int List()
{
    for (const ScmSim::CScenario& scenario : ScmSim::GetScenarios())
    {
        std::cout << "name=" << scenario.m_name << " nodes=" << scenario.m_defaultNodes
                  << " expected=" << scenario.m_expected.ToString() << " story=\"" << scenario.m_story << "\"\n";
    }
    return ExitOk;
}

int Run(const std::vector<std::string>& arguments)
{
    ScmSim::CRunOptions options;
    options.m_checker = DefaultChecker();
    std::string name;
    std::string descriptionFile;
    bool timeline = false;
    bool brief = false;
    bool quiet = false;
    for (std::size_t i = 0u; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        const auto value = [&]() -> const std::string&
        {
            if (i + 1u >= arguments.size())
            {
                throw std::invalid_argument(argument + " needs a value");
            }
            return arguments[++i];
        };
        if (argument == "--nodes")
        {
            options.m_nodes = static_cast<unsigned>(ParseNumber(value(), argument));
        }
        else if (argument == "--seed")
        {
            options.m_seed = static_cast<std::uint32_t>(ParseNumber(value(), argument));
        }
        else if (argument == "--checker")
        {
            options.m_checker = value();
        }
        else if (argument == "--description")
        {
            descriptionFile = value();
        }
        else if (argument == "--pcap")
        {
            options.m_pcap = value();
        }
        else if (argument == "--max-cycles")
        {
            options.m_maxCycles = static_cast<unsigned>(ParseNumber(value(), argument));
        }
        else if (argument == "--timeline")
        {
            timeline = true;
        }
        else if (argument == "--quiet")
        {
            quiet = true;
        }
        else if (argument == "--brief")
        {
            brief = true;
        }
        else if (argument == "--summary")
        {
            options.m_summary = true;
        }
        else if (argument == "--stats")
        {
            options.m_stats = true;
        }
        else if (!argument.empty() && (argument[0] != '-') && name.empty())
        {
            name = argument;
        }
        else
        {
            throw std::invalid_argument("unknown argument " + argument);
        }
    }
    if (name.empty() == descriptionFile.empty())
    {
        throw std::invalid_argument("run takes a scenario name or --description FILE");
    }
    ScmSim::CScenario scenario;
    if (!descriptionFile.empty())
    {
        std::ifstream file(descriptionFile);
        std::stringstream text;
        text << file.rdbuf();
        if (!file)
        {
            std::cerr << "scm-sim: cannot read " << descriptionFile << "\n";
            return ExitFailure;
        }
        scenario = ScmSim::MakeDescriptionScenario(ScmSim::CDomainDescription::FromJson(text.str()));
    }
    else
    {
        const ScmSim::CScenario* found = ScmSim::FindScenario(name);
        if (found == nullptr)
        {
            throw std::invalid_argument("no scenario " + name + " (scm-sim list names them)");
        }
        scenario = *found;
    }
    const unsigned nodes = (options.m_nodes != 0u) ? options.m_nodes : scenario.m_defaultNodes;
    using CFrameLines = ScmSim::CRunOptions::CFrameLines;
    options.m_frameLines = CFrameLines::None;
    if (!quiet && (timeline || (!brief && (nodes <= 16u))))
    {
        options.m_frameLines = CFrameLines::All;
    }
    else if (!quiet && brief)
    {
        options.m_frameLines = CFrameLines::Key;
    }
    options.m_progress = (options.m_frameLines == CFrameLines::None) && (isatty(STDERR_FILENO) == 1);
    try
    {
        ScmSim::CSimulation simulation(scenario, options, std::cout);
        return simulation.Run().m_asExpected ? ExitOk : ExitFailure;
    }
    catch (const std::runtime_error& error)
    {
        std::cout << "verdict=fail scenario=" << scenario.m_name << " error=\"" << error.what() << "\"\n";
        return ExitFailure;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (Support::AsksForVersion(argc, argv))
    {
        Support::PrintProgramVersion("scm-sim");
        return ExitOk;
    }
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
    {
        return Usage("a command is needed");
    }
    const std::string& command = arguments[0];
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    try
    {
        if ((command == "--help") || (command == "-h") || (command == "help"))
        {
            std::cout << HelpText;
            return ExitOk;
        }
        if (command == "init")
        {
            return Init(rest);
        }
        if (command == "list")
        {
            return List();
        }
        if (command == "run")
        {
            return Run(rest);
        }
        return Usage("unknown command " + command);
    }
    catch (const std::invalid_argument& error)
    {
        return Usage(error.what());
    }
    catch (const std::out_of_range& error)
    {
        return Usage(error.what());
    }
}
