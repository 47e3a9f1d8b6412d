// The kill campaign: the checker killed at random points while it rewrites "fwrevcnf.bin.chk" (password, setup mode)
// and "tessera.uid.chk" (the key medium's signature taken over at start-up), and started again each time.
#include "KillCampaign.h"

#include <signal.h>

#include <chrono>
#include <functional>
#include <optional>
#include <cstdio>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <thread>

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

constexpr std::uint16_t Domain = 42u;
constexpr std::uint8_t ErrorLevel = 3u;
constexpr Support::Password Passwords[] = {
    {'k', 'i', 'l', 'l', '-', 'a', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 1u},
    {'k', 'i', 'l', 'l', '-', 'b', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 2u},
};

// The write that an iteration asks for.
enum class CWrite
{
    Password,
    SetupMode,
    Signature,
    Module
};

struct CPair
{
    const char* m_plain;
    const char* m_copy;
    // The events of the start-up cross-check of this pair.
    std::uint32_t m_firstCode;
    std::uint32_t m_lastCode;
};

constexpr CPair FwRevCnfPair{"fwrevcnf.bin", "fwrevcnf.bin.chk", 0xE21Bu, 0xE228u};
constexpr CPair TesseraUidPair{"tessera.uid", "tessera.uid.chk", 0xE212u, 0xE215u};
constexpr CPair TesseraDatPair{"tessera.dat", "tessera.dat.chk", 0xE217u, 0xE21Au};
// Module 2 is exchanged between two modules of the same type, each acknowledged by the operator in turn.
constexpr Support::Udid ModuleUdids[] = {{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x02u},
                                         {0x00u, 0x60u, 0x65u, 0x00u, 0x0Au, 0x02u}};

struct CCounts
{
    unsigned m_kills = 0u;
    unsigned m_insideWrite = 0u;
    unsigned m_oldFound = 0u;
    unsigned m_newFound = 0u;
    unsigned m_torn = 0u;
    unsigned m_unexpected = 0u;
    unsigned m_cleanStarts = 0u;
    unsigned m_refusedStarts = 0u;
    unsigned m_wrongStarts = 0u;
    // Per copy: kills that left the new version, and kills inside its write.
    std::map<std::string, std::pair<unsigned, unsigned>> m_byCopy;
};

// What the next start must show.
struct CExpectation
{
    bool m_refused = false;
    CPair m_pair = FwRevCnfPair;
};

class CKillRun
{
public:
    CKillRun(const CKillOptions& options) : m_options(options), m_domain(Domain), m_random(options.m_seed)
    {
        m_configuration = Support::MakeExampleConfiguration();
        m_configuration.m_password = Passwords[0];
        m_domain.Create(m_configuration.MakeProvision());
    }

    int Run()
    {
        while (m_counts.m_kills < m_options.m_kills)
        {
            Iterate();
        }
        for (const auto& [name, counts] : m_counts.m_byCopy)
        {
            std::printf("%s: new_found=%u inside_write=%u\n", name.c_str(), counts.first, counts.second);
        }
        std::printf("kills=%u inside_write=%u old_found=%u new_found=%u clean_starts=%u refused_starts=%u "
                    "wrong_starts=%u unexpected_files=%u torn_files=%u\n",
                    m_counts.m_kills, m_counts.m_insideWrite, m_counts.m_oldFound, m_counts.m_newFound,
                    m_counts.m_cleanStarts, m_counts.m_refusedStarts, m_counts.m_wrongStarts,
                    m_counts.m_unexpected, m_counts.m_torn);
        return ((m_counts.m_torn | m_counts.m_unexpected | m_counts.m_wrongStarts) == 0u) ? 0 : 1;
    }

private:
    // Starts the checker on the files as they are, plays the handshake (with `beforePublish` in it) and checks
    // the start against the expectation.
    std::unique_ptr<Support::CCheckerProcess> Start(const std::function<void()>& beforePublish = {},
                                                    const std::optional<Support::Udid>& frameUdid = std::nullopt)
    {
        const std::uint64_t startUs = Support::CLoadPlayer::GetMonotonicUs();
        m_sizesAtStart.clear();
        for (const char* name : {"tessera.uid", "tessera.uid.chk", "fwrevcnf.bin", "fwrevcnf.bin.chk"})
        {
            m_sizesAtStart += " " + std::string(name) + "=" +
                              std::to_string(m_domain.ReadStorage(name).value_or(Bytes()).size());
        }
        // The killed checker's announcement must not be taken for the new one's.
        (void)scmKernelClearCondition(Domain, 1u);
        (void)scmKernelClearCondition(Domain, 2u);
        std::unique_ptr<Support::CCheckerProcess> checker = m_domain.StartChecker({});
        m_player = std::make_unique<Support::CLoadPlayer>(Domain, 2000ms, 2u,
                                                          frameUdid.value_or(m_configuration.GetModule(2u).m_udid));
        m_player->GetPeers().GetRuntime().StartDomain();
        if (!m_player->GetPeers().GetScm().WaitForCheckerRevision(10000ms).has_value())
        {
            throw std::runtime_error("the checker published no revision number");
        }
        if (beforePublish)
        {
            beforePublish();
        }
        m_player->GetPeers().GetScm().PublishRevision(SCM_CHECKER_REVISION_NUMBER);
        m_startUs = startUs;
        return checker;
    }

    // The start-up's own events (the log continues across restarts).
    std::vector<Support::CEventRecord> TakeStartEvents() const
    {
        std::vector<Support::CEventRecord> events;
        for (const Support::CLoggedEvent& logged : Support::ReadEventLog(Domain))
        {
            if ((logged.m_monotonicUs >= m_startUs) && (logged.m_event.m_level == ErrorLevel))
            {
                events.push_back(logged.m_event);
            }
        }
        return events;
    }

    // The start (after two cycles, by which it has cross-checked and synchronised) against the expectation.
    void VerifyStart(Support::CCheckerProcess& checker)
    {
        (void)m_player->Cycle(Quiet());
        (void)m_player->Cycle(Quiet());
        const std::vector<Support::CEventRecord> events = TakeStartEvents();
        bool right = checker.IsRunning();
        if (!m_expectation.m_refused)
        {
            right = right && events.empty();
            m_counts.m_cleanStarts += right ? 1u : 0u;
        }
        else
        {
            const bool pairEvent = (events.size() == 1u) && (events.front().m_code >= m_expectation.m_pair.m_firstCode) &&
                                   (events.front().m_code <= m_expectation.m_pair.m_lastCode);
            const bool emptied = m_domain.ReadStorage(m_expectation.m_pair.m_plain).value_or(Bytes{0u}).empty() &&
                                 m_domain.ReadStorage(m_expectation.m_pair.m_copy).value_or(Bytes{0u}).empty();
            right = right && pairEvent && emptied;
            m_counts.m_refusedStarts += right ? 1u : 0u;
        }
        if (!right)
        {
            ++m_counts.m_wrongStarts;
            std::cout << "wrong start after kill " << m_counts.m_kills << ": expected "
                      << (m_expectation.m_refused ? "a refused pair " : "a clean start ")
                      << m_expectation.m_pair.m_copy << ", events:";
            for (const Support::CEventRecord& event : events)
            {
                std::cout << " " << event;
            }
            std::cout << " (files at start:" << m_sizesAtStart << "; after: " << m_expectation.m_pair.m_plain << "="
                      << m_domain.ReadStorage(m_expectation.m_pair.m_plain).value_or(Bytes()).size() << " "
                      << m_expectation.m_pair.m_copy << "="
                      << m_domain.ReadStorage(m_expectation.m_pair.m_copy).value_or(Bytes()).size()
                      << (checker.IsRunning() ? "" : ", ended") << ")\n";
        }
        // Temporaries left by the kill are no concern of a start; the campaign removes them after it.
        m_domain.RemoveTemporaryFiles();
    }

    static Support::CCycleLoad Quiet()
    {
        Support::CCycleLoad load;
        load.m_framesEachWay = 0u;
        load.m_statusRequest = false;
        return load;
    }

    void WriteFiles(const Support::CDomainConfiguration& configuration, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
        {
            m_domain.WriteStorage(name, configuration.BuildFile(name));
        }
    }

    // Kills at a random point of the write: either a random time after it was asked for, or the moment its
    // temporary file shows (plus up to 200 microseconds), so that many kills land inside the write.
    void KillDuringWrite(Support::CCheckerProcess& checker, const std::string& copyName)
    {
        std::uniform_int_distribution<int> strategy(0, 1);
        if (strategy(m_random) == 0)
        {
            std::uniform_int_distribution<int> delayUs(0, 20000);
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs(m_random)));
        }
        else
        {
            const auto end = std::chrono::steady_clock::now() + 200ms;
            const std::string prefix = "." + copyName + ".";
            bool shown = false;
            while (!shown && (std::chrono::steady_clock::now() < end))
            {
                for (const std::string& name : m_domain.ListTemporaryFiles())
                {
                    shown = shown || (name.rfind(prefix, 0u) == 0u);
                }
            }
            std::uniform_int_distribution<int> delayUs(0, 200);
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs(m_random)));
        }
        (void)KillChecker(checker);
        ++m_counts.m_kills;
        // The domain is brought back with its peers: what they exchanged with the killed checker goes with it.
        m_domain.EmptyQueues();
        const std::string prefix = "." + copyName + ".";
        for (const std::string& name : m_domain.ListTemporaryFiles())
        {
            if (name.rfind(prefix, 0u) == 0u)
            {
                ++m_counts.m_insideWrite;
                ++m_counts.m_byCopy[copyName].second;
                break;
            }
        }
    }

    // Which of the two versions the copy is; the other copies must be as they were.
    void Classify(const Support::CDomainConfiguration& before, const Support::CDomainConfiguration& after,
                  const CPair& pair, const Bytes& oldCopy)
    {
        const Bytes found = m_domain.ReadStorage(pair.m_copy).value_or(Bytes());
        const Bytes newCopy = after.BuildFile(pair.m_copy);
        if (found == newCopy)
        {
            ++m_counts.m_newFound;
            ++m_counts.m_byCopy[pair.m_copy].first;
            m_configuration = after;
            m_expectation = CExpectation{false, pair};
        }
        else if (found == oldCopy)
        {
            ++m_counts.m_oldFound;
            // The SCM wrote its file before it answered: the pair now disagrees, and the next start must refuse it.
            m_configuration = before;
            m_expectation = CExpectation{found != newCopy, pair};
        }
        else
        {
            if (Support::CFileVersions::IsReadable(pair.m_copy, found))
            {
                ++m_counts.m_unexpected;
            }
            else
            {
                ++m_counts.m_torn;
            }
            std::cout << "kill " << m_counts.m_kills << ": " << pair.m_copy << " is neither the old nor the new version ("
                      << found.size() << " bytes)\n";
            m_configuration = before;
            m_expectation = CExpectation{false, pair};
            WriteFiles(before, {pair.m_plain, pair.m_copy});
        }
        for (const std::string& name : GetCheckerCopyNames())
        {
            if ((name != pair.m_copy) &&
                (m_domain.ReadStorage(name).value_or(Bytes()) != before.BuildFile(name)))
            {
                ++m_counts.m_unexpected;
                std::cout << "kill " << m_counts.m_kills << ": " << name << " changed\n";
                WriteFiles(before, {name});
            }
        }
    }

    void Iterate()
    {
        std::uniform_int_distribution<int> kinds(0, 3);
        const CWrite write = static_cast<CWrite>(kinds(m_random));
        const Support::CDomainConfiguration before = m_configuration;
        Support::CDomainConfiguration after = before;
        const CPair& pair = (write == CWrite::Signature) ? TesseraUidPair
                            : (write == CWrite::Module)  ? TesseraDatPair
                                                         : FwRevCnfPair;
        Bytes oldCopy = before.BuildFile(pair.m_copy);

        std::unique_ptr<Support::CCheckerProcess> checker;
        if (write == CWrite::Signature)
        {
            // The files the previous kill left are judged by a start of their own first.
            checker = Start();
            VerifyStart(*checker);
            (void)KillChecker(*checker);
            if (m_expectation.m_refused)
            {
                WriteFiles(m_configuration, {m_expectation.m_pair.m_plain, m_expectation.m_pair.m_copy});
                m_expectation = CExpectation{};
            }
            // A key medium not yet taken over: both files empty until the SCM writes its signature during the
            // handshake, which the starting checker then copies.
            m_domain.WriteStorage(pair.m_plain, Bytes());
            m_domain.WriteStorage(pair.m_copy, Bytes());
            oldCopy = Bytes();
            checker = Start([&] { WriteFiles(after, {pair.m_plain}); });
            KillDuringWrite(*checker, pair.m_copy);
            Classify(before, after, pair, oldCopy);
            return;
        }

        if (write == CWrite::Module)
        {
            after.GetModule(2u).m_udid =
                (before.GetModule(2u).m_udid == ModuleUdids[0]) ? ModuleUdids[1] : ModuleUdids[0];
        }
        // The module answers its SADR assignment with its own UDID.
        const Support::Udid frameUdid = after.GetModule(2u).m_udid;
        checker = Start({}, frameUdid);
        VerifyStart(*checker);
        if (m_expectation.m_refused)
        {
            // The refused pair was emptied; the campaign puts the whole files back and starts again.
            (void)KillChecker(*checker);
            WriteFiles(m_configuration, {m_expectation.m_pair.m_plain, m_expectation.m_pair.m_copy});
            m_expectation = CExpectation{};
            checker = Start({}, frameUdid);
            VerifyStart(*checker);
        }
        Bytes command;
        if (write == CWrite::Module)
        {
            // The exchanged module reports itself; the operator acknowledges the one pending module.
            Support::CCycleLoad frames = Quiet();
            frames.m_framesEachWay = 1u;
            (void)m_player->Cycle(frames);
            (void)m_player->Cycle(Quiet());
            command = Support::CCommandBuilder::AcknowledgeModules(*before.m_password, 1u).Build();
        }
        else if (write == CWrite::Password)
        {
            const Support::Password next =
                (*before.m_password == Passwords[0]) ? Passwords[1] : Passwords[0];
            command = Support::CCommandBuilder::ChangePassword(*before.m_password, next).Build();
            after.m_password = next;
        }
        else if (write == CWrite::SetupMode)
        {
            after.m_setupModeActive = !before.m_setupModeActive;
            command = (after.m_setupModeActive ? Support::CCommandBuilder::ActivateSetupMode(*before.m_password)
                                               : Support::CCommandBuilder::DeactivateSetupMode(*before.m_password))
                          .Build();
        }
        // The SCM records the change in its own file before it answers the command successfully.
        WriteFiles(after, {pair.m_plain});
        Support::CCycleLoad load = Quiet();
        load.m_command = command;
        (void)m_player->Cycle(load);
        (void)m_player->Cycle(Quiet());
        KillDuringWrite(*checker, pair.m_copy);
        Classify(before, after, pair, oldCopy);
        if (m_options.m_verbose)
        {
            std::cout << "kill " << m_counts.m_kills << (m_expectation.m_refused ? ": old copy" : ": new copy") << "\n";
        }
    }

    CKillOptions m_options;
    CCampaignDomain m_domain;
    std::mt19937 m_random;
    Support::CDomainConfiguration m_configuration;
    std::unique_ptr<Support::CLoadPlayer> m_player;
    std::uint64_t m_startUs = 0u;
    std::string m_sizesAtStart;
    CExpectation m_expectation;
    CCounts m_counts;
};
} // namespace

int RunKillCampaign(const CKillOptions& options)
{
    std::printf("seed=%u\n", options.m_seed);
    CKillRun run(options);
    return run.Run();
}
} // namespace Faults
