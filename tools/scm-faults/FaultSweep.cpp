// The fault sweep: every service of the platform layer and the kernel made to fail at its n-th call.
#include "FaultSweep.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "CCampaignDomain.h"
#include "support/Load/CFileVersions.h"
#include "ScmCheckerVersion.h"
#include "scmKernelEmulation.h"
#include "support/Load/CLoadPlayer.h"
#include "support/Load/CheckerFigures.h"
#include "support/Messages/CCommandBuilder.h"

namespace Faults
{
namespace
{
using namespace std::chrono_literals;
using Support::Bytes;

constexpr std::uint16_t Domain = 41u;
constexpr std::uint8_t ErrorLevel = 3u;
constexpr unsigned LoadCycleCount = 8u;
constexpr auto TimeoutPhaseBound = std::chrono::seconds(4);
// Beyond the hand-over timeout of the check task (10 s): a checker that shows no progress for this long hangs.
constexpr auto HangBound = 12s;
// A checker announces itself within a second of its start; one that has not after this long never will.
constexpr auto HandshakeBound = 5s;
constexpr Support::Password FirstPassword{'s', 'w', 'e', 'e', 'p', '-', '1', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 1u};
constexpr Support::Password SecondPassword{'s', 'w', 'e', 'e', 'p', '-', '2', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 2u};

enum class COutcome
{
    NoEffect,
    FailSafe,
    StartUpFailure,
    Crash,
    Hang,
    // The checker could not announce itself (condition 1) and waits for the SCM as it always does; it went on once
    // the SCM published its number anyway.
    StalledHandshake
};

const char* GetOutcomeName(COutcome outcome)
{
    switch (outcome)
    {
    case COutcome::NoEffect:
        return "no effect";
    case COutcome::FailSafe:
        return "fail-safe";
    case COutcome::StartUpFailure:
        return "start-up failure";
    case COutcome::Crash:
        return "crash";
    case COutcome::Hang:
        return "hang";
    case COutcome::StalledHandshake:
        return "stalled handshake";
    }
    return "?";
}

struct CService
{
    const char* m_name;
    // The unlock deadline's phase (clock moved past it, PLC reset by the timeout task) belongs to its cases.
    bool m_withTimeoutPhase;
};

// Every service the layer can make fail; those the checker never calls show as never reached.
constexpr CService Services[] = {
    {"msgQOpen", false},          {"msgQSend", false},          {"msgQReceive", false},
    {"msgQInfoGet", false},       {"msgQDelete", false},        {"msgQUnlink", false},
    {"semOpen", false},           {"semGive", false},           {"semTake", false},
    {"semClose", false},          {"semUnlink", false},         {"taskSpawn", false},
    {"taskDelay", true},          {"taskDelete", false},        {"clockGetTime", true},
    {"ScmGetUSecCounter", false}, {"ScmGetCpuProductCode", false}, {"ScmGetCpuSerialNumber", false},
    {"ScmRequestKelUdid", false}, {"ScmOpenStorage", false},    {"ScmCloseStorage", false},
    {"ScmGetStorageLength", false}, {"ScmReadStorage", false},  {"ScmWriteStorage", false},
    {"ScmLockReset", false},      {"ScmUnlockReset", false},    {"ScmWaitForCondition", false},
    {"ScmSetCondition", false},   {"ScmResetPlc", true},        {"ScmReadKelFlashFile", false},
    {"ScmClearCondition", false},
};

struct CCaseResult
{
    bool m_reached = false;
    COutcome m_outcome = COutcome::NoEffect;
    // Event codes, the start-up message or the exit status.
    std::string m_detail;
    unsigned m_releasesAfterFault = 0u;
    unsigned m_tornFiles = 0u;
    std::map<std::string, Bytes> m_files;
};

// The domain the sweep plays on: configured, with its modules acknowledged, so that start-up reads and
// cross-checks every pair; the load's frames commission module 2 again.
Support::CDomainConfiguration MakeConfiguration()
{
    return Support::MakeExampleConfiguration();
}

std::string Hex16(std::uint32_t code)
{
    char text[16] = {};
    (void)std::snprintf(text, sizeof text, "0x%04X", code);
    return text;
}

unsigned ReadFiredCount(const std::filesystem::path& file)
{
    std::ifstream stream(file);
    unsigned count = 0u;
    return (stream >> count) ? count : 0u;
}

std::string FirstLine(const std::string& text)
{
    const std::size_t end = text.find('\n');
    return text.substr(0u, end);
}

// What the load sends in each cycle: operator commands that rewrite the checker's password copy and set and
// clear the setup mode, and an unlock request before the timeout phase.
Support::CCycleLoad MakeLoad(unsigned cycle, bool withTimeoutPhase)
{
    Support::CCycleLoad load;
    load.m_framesEachWay = 2u;
    if (cycle == 1u)
    {
        load.m_command = Support::CCommandBuilder::ChangePassword(FirstPassword, SecondPassword).Build();
    }
    else if (cycle == 3u)
    {
        load.m_command = Support::CCommandBuilder::ActivateSetupMode(SecondPassword).Build();
    }
    else if (cycle == 5u)
    {
        load.m_command = Support::CCommandBuilder::DeactivateSetupMode(SecondPassword).Build();
    }
    load.m_unlockRequest = withTimeoutPhase && (cycle == LoadCycleCount - 3u);
    return load;
}

CCaseResult RunCase(CCampaignDomain& domain, const std::string& rules, bool withTimeoutPhase,
                    const Support::CFileVersions& versions)
{
    const Support::CDomainConfiguration configuration = MakeConfiguration();
    domain.Create(configuration.MakeProvision());
    const std::filesystem::path firedFile = domain.GetKernelRoot() / "fired";
    std::error_code ignored;
    (void)std::filesystem::remove(firedFile, ignored);
    Support::CCheckerProcess::CEnvironment environment;
    if (!rules.empty())
    {
        environment["SCM_FAULTS"] = rules;
        environment["SCM_FAULTS_REPORT"] = firedFile.string();
    }
    const std::unique_ptr<Support::CCheckerProcess> checker = domain.StartChecker(environment);
    const Support::CPlayedModule& module = configuration.GetModule(2u);
    Support::CLoadPlayer player(Domain, 300ms, module.m_safetyAddress, module.m_udid);
    Support::CPlayedScm& scm = player.GetPeers().GetScm();
    player.GetPeers().GetRuntime().StartDomain();

    CCaseResult result;
    std::vector<Support::CDrain> drains;
    std::optional<std::uint32_t> revision;
    const auto handshakeEnd = std::chrono::steady_clock::now() + HandshakeBound;
    while (!revision.has_value() && checker->IsRunning() && (std::chrono::steady_clock::now() < handshakeEnd))
    {
        revision = scm.WaitForCheckerRevision(100ms);
    }
    bool handshakeStalled = false;
    if (checker->IsRunning())
    {
        handshakeStalled = !revision.has_value();
        // The SCM publishes its own number anyway: a checker that failed to announce itself must not wait forever.
        scm.PublishRevision(SCM_CHECKER_REVISION_NUMBER);
        for (unsigned cycle = 0u; (cycle < LoadCycleCount) && checker->IsRunning(); ++cycle)
        {
            drains.push_back(player.Cycle(MakeLoad(cycle, withTimeoutPhase)));
        }
        if (withTimeoutPhase && checker->IsRunning())
        {
            // Past the 60-second unlock deadline; the timeout task looks once a second. The phase lasts until an
            // error is logged (or the bound), and two cycles more.
            const std::uint64_t shiftedUs = Support::CLoadPlayer::GetMonotonicUs();
            (void)scmKernelSetClockControl(Domain, 61000000, 0, 0);
            const auto logged = [shiftedUs]
            {
                const std::vector<Support::CLoggedEvent> events = Support::ReadEventLog(Domain);
                return std::any_of(events.begin(), events.end(),
                                   [shiftedUs](const Support::CLoggedEvent& event)
                                   { return (event.m_event.m_level == ErrorLevel) && (event.m_monotonicUs >= shiftedUs); });
            };
            Support::CCycleLoad quiet;
            quiet.m_framesEachWay = 0u;
            const auto end = std::chrono::steady_clock::now() + TimeoutPhaseBound;
            while (checker->IsRunning() && !logged() && (std::chrono::steady_clock::now() < end))
            {
                drains.push_back(player.Cycle(quiet));
                std::this_thread::sleep_for(100ms);
            }
            for (unsigned cycle = 0u; (cycle < 2u) && checker->IsRunning(); ++cycle)
            {
                drains.push_back(player.Cycle(quiet));
            }
        }
    }
    // A checker hangs when its check task stays blocked longer than its own waits allow (the hand-over's 10 s).
    // A task that fails at the start of every cycle shows nothing at the queues but still wakes every 10 ms.
    bool hang = false;
    const auto progressed = [&drains]
    {
        const std::size_t recent = std::min<std::size_t>(drains.size(), 3u);
        return std::any_of(drains.end() - static_cast<std::ptrdiff_t>(recent), drains.end(),
                           [](const Support::CDrain& drain) { return drain.ShowsProgress(); });
    };
    if (checker->IsRunning() && !progressed())
    {
        char taskName[32] = {};
        (void)std::snprintf(taskName, sizeof taskName, "scm%04u/check", static_cast<unsigned>(Domain));
        const std::optional<std::uint64_t> first = Support::ReadThreadSwitches(checker->GetPid(), taskName);
        hang = true;
        const auto end = std::chrono::steady_clock::now() + HangBound;
        while (hang && checker->IsRunning() && (std::chrono::steady_clock::now() < end))
        {
            std::this_thread::sleep_for(200ms);
            const std::optional<std::uint64_t> now = Support::ReadThreadSwitches(checker->GetPid(), taskName);
            hang = !first.has_value() || !now.has_value() || (*now == *first);
        }
    }
    const bool running = checker->IsRunning();
    const std::optional<int> status = running ? KillChecker(*checker) : checker->WaitForExit(1000ms);
    result.m_reached = rules.empty() || (ReadFiredCount(firedFile) != 0u);

    std::vector<Support::CLoggedEvent> events = Support::ReadEventLog(Domain);
    std::set<std::string> codes;
    std::optional<std::uint64_t> firstErrorUs;
    for (const Support::CLoggedEvent& logged : events)
    {
        if (logged.m_event.m_level != ErrorLevel)
        {
            continue;
        }
        codes.insert(Hex16(logged.m_event.m_code));
        if (!firstErrorUs.has_value())
        {
            firstErrorUs = logged.m_monotonicUs;
        }
    }
    // A status response that reports the checker fail-safe was sent before the drain that found it began (the
    // checker goes fail-safe without an event where a missing key-medium signature is no error).
    bool failSafe = firstErrorUs.has_value();
    for (const Support::CDrain& drain : drains)
    {
        if (drain.m_checkerFailSafe)
        {
            failSafe = true;
            firstErrorUs = std::min(firstErrorUs.value_or(drain.m_startUs), drain.m_startUs);
            break;
        }
    }
    // Whatever a drain found was sent after the drain before it began.
    if (firstErrorUs.has_value())
    {
        for (std::size_t i = 1u; i < drains.size(); ++i)
        {
            if (drains[i - 1u].m_startUs > *firstErrorUs)
            {
                result.m_releasesAfterFault += static_cast<unsigned>(drains[i].GetFrames());
            }
        }
    }
    for (const std::string& name : GetCheckerCopyNames())
    {
        const std::optional<Bytes> content = domain.ReadStorage(name);
        result.m_files[name] = content.value_or(Bytes());
        if (content.has_value() && !versions.IsWhole(name, *content))
        {
            ++result.m_tornFiles;
        }
    }

    std::string detail;
    for (const std::string& code : codes)
    {
        detail += (detail.empty() ? "" : " ") + code;
    }
    if (hang)
    {
        result.m_outcome = COutcome::Hang;
        result.m_detail = "check task blocked";
    }
    else if (handshakeStalled && running)
    {
        result.m_outcome = COutcome::StalledHandshake;
        result.m_detail = "no revision published" + (detail.empty() ? std::string() : "; then " + detail);
    }
    else if (running)
    {
        result.m_outcome = failSafe ? COutcome::FailSafe : COutcome::NoEffect;
        result.m_detail = (failSafe && codes.empty()) ? std::string("no event") : detail;
    }
    else if (status == 255)
    {
        result.m_outcome = COutcome::StartUpFailure;
        const std::string message = FirstLine(checker->GetOutput());
        result.m_detail = message.empty() ? detail : message;
    }
    else
    {
        result.m_outcome = COutcome::Crash;
        result.m_detail = "exit status " + (status.has_value() ? std::to_string(*status) : std::string("?"));
    }
    return result;
}

// The n to try: every one up to `dense`, then growing by half until the service is no longer reached.
unsigned NextN(unsigned n, unsigned dense)
{
    return (n < dense) ? (n + 1u) : std::max(n + 1u, n + n / 2u);
}

struct CRow
{
    std::string m_service;
    std::string m_mode;
    std::map<COutcome, unsigned> m_outcomes;
    unsigned m_lastReachedN = 0u;
    unsigned m_releases = 0u;
    unsigned m_torn = 0u;
    std::set<std::string> m_details;
};
} // namespace

int RunFaultSweep(const CSweepOptions& options)
{
    CCampaignDomain domain(Domain);
    Support::CFileVersions versions;
    for (const std::string& name : GetCheckerCopyNames())
    {
        const Support::CDomainProvision provision = MakeConfiguration().MakeProvision();
        const auto found = provision.m_storages.find(name);
        if (found != provision.m_storages.end())
        {
            versions.Add(name, found->second);
        }
    }
    // Fault-free runs, with and without the timeout phase: what the checker writes when nothing fails.
    for (const bool withTimeoutPhase : {false, true})
    {
        const CCaseResult baseline = RunCase(domain, "", withTimeoutPhase, versions);
        for (const auto& [name, content] : baseline.m_files)
        {
            versions.Add(name, content);
        }
        const bool expectedEvents = withTimeoutPhase;
        if ((baseline.m_outcome != (expectedEvents ? COutcome::FailSafe : COutcome::NoEffect)) ||
            (baseline.m_releasesAfterFault != 0u))
        {
            std::cerr << "scm-faults: the fault-free run ended " << GetOutcomeName(baseline.m_outcome) << " ("
                      << baseline.m_detail << "), releases after fault " << baseline.m_releasesAfterFault << "\n";
            return 1;
        }
    }

    const unsigned dense = options.m_quick ? 2u : 24u;
    const unsigned quickFar = 40u;
    std::vector<CRow> rows;
    unsigned cases = 0u;
    unsigned crashes = 0u;
    unsigned hangs = 0u;
    unsigned releases = 0u;
    unsigned torn = 0u;
    for (const CService& service : Services)
    {
        if (!options.m_serviceFilter.empty() &&
            (std::string(service.m_name).find(options.m_serviceFilter) == std::string::npos))
        {
            continue;
        }
        for (const bool persistent : {false, true})
        {
            CRow row{service.m_name, persistent ? "from n on" : "n-th only", {}, 0u, 0u, 0u, {}};
            for (unsigned n = 1u; n != 0u;)
            {
                const std::string rules =
                    std::string(service.m_name) + ":" + std::to_string(n) + (persistent ? ":5:0" : "");
                const CCaseResult result = RunCase(domain, rules, service.m_withTimeoutPhase, versions);
                if (options.m_verbose)
                {
                    std::cout << "  " << rules << ": "
                              << (result.m_reached ? GetOutcomeName(result.m_outcome) : "not reached") << " "
                              << result.m_detail << "\n"
                              << std::flush;
                }
                if (!result.m_reached)
                {
                    break;
                }
                ++cases;
                row.m_lastReachedN = n;
                ++row.m_outcomes[result.m_outcome];
                row.m_details.insert(result.m_detail);
                row.m_releases += result.m_releasesAfterFault;
                row.m_torn += result.m_tornFiles;
                crashes += (result.m_outcome == COutcome::Crash) ? 1u : 0u;
                hangs += (result.m_outcome == COutcome::Hang) ? 1u : 0u;
                releases += result.m_releasesAfterFault;
                torn += result.m_tornFiles;
                if (options.m_quick && persistent)
                {
                    break;
                }
                n = (options.m_quick && n >= dense) ? n * quickFar / 2u : NextN(n, dense);
                if (options.m_quick && n > quickFar * quickFar)
                {
                    break;
                }
            }
            rows.push_back(row);
        }
    }

    std::printf("%-22s %-9s %6s %6s %9s %9s %7s %6s %5s %8s %5s  %s\n", "service", "fails", "max n", "none",
                "fail-safe", "start-up", "stalled", "crash", "hang", "releases", "torn", "events / messages");
    for (const CRow& row : rows)
    {
        std::string details;
        for (const std::string& detail : row.m_details)
        {
            if (!detail.empty())
            {
                details += (details.empty() ? "" : "; ") + detail;
            }
        }
        const auto count = [&row](COutcome outcome)
        {
            const auto found = row.m_outcomes.find(outcome);
            return (found == row.m_outcomes.end()) ? 0u : found->second;
        };
        std::printf("%-22s %-9s %6u %6u %9u %9u %7u %6u %5u %8u %5u  %s\n", row.m_service.c_str(),
                    row.m_mode.c_str(), row.m_lastReachedN, count(COutcome::NoEffect), count(COutcome::FailSafe),
                    count(COutcome::StartUpFailure), count(COutcome::StalledHandshake), count(COutcome::Crash),
                    count(COutcome::Hang), row.m_releases,
                    row.m_torn, row.m_lastReachedN == 0u ? "never called" : details.c_str());
    }
    std::printf("cases=%u crashes=%u hangs=%u releases_after_fault=%u torn_files=%u\n", cases, crashes, hangs,
                releases, torn);
    return ((crashes | hangs | releases | torn) == 0u) ? 0 : 1;
}
} // namespace Faults
