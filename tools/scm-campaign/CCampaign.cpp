// The campaign against a real checker process.
#include "CCampaign.h"

#include <signal.h>

#include <atomic>
#include <chrono>
#include <iomanip>
#include <memory>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "CEpisode.h"
#include "COracle.h"
#include "support/Peers/CDomainConfiguration.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace Campaign
{
namespace
{
using Support::Bytes;

constexpr std::uint16_t FirstDomain = 7u;
// Hand-overs after fail-safe before the episode ends: enough to see that nothing passes any more.
constexpr std::size_t CyclesAfterFailSafe = 3u;

std::uint64_t EpisodeSeed(std::uint64_t seed, std::uint64_t episode)
{
    // splitmix64: neighbouring episodes get unrelated streams.
    std::uint64_t z = seed + (episode + 1u) * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30u)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27u)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31u);
}

// Whether each sent frame came out, in order: what came out is a subsequence of what was sent.
std::vector<bool> Match(const std::vector<CMessage>& sent, const std::vector<Bytes>& received)
{
    std::vector<bool> passed(sent.size(), false);
    std::size_t next = 0u;
    for (std::size_t i = 0u; (i < sent.size()) && (next < received.size()); ++i)
    {
        if (sent[i].m_bytes == received[next])
        {
            passed[i] = true;
            ++next;
        }
    }
    if (next != received.size())
    {
        // Something came out that was never sent in this order: counted as passed frames that nothing allowed.
        passed.push_back(true);
    }
    return passed;
}

std::vector<Bytes> ReceiveAll(Support::CPlayedRuntime& runtime)
{
    std::vector<Bytes> frames;
    for (std::optional<Bytes> frame = runtime.ReceiveFrame(); frame.has_value(); frame = runtime.ReceiveFrame())
    {
        frames.push_back(*frame);
    }
    return frames;
}

// What the workers share: the output, the frames judged so far by all of them.
struct CShared
{
    std::ostream& m_out;
    std::mutex m_mutex;
    std::atomic<std::uint64_t> m_frames{0u};
    std::atomic<std::uint64_t> m_episodes{0u};
    std::atomic<bool> m_stop{false};
    std::optional<std::uint64_t> m_firstEscapeFrame;
};

class CEpisodeRunner
{
public:
    CEpisodeRunner(const COptions& options, CResult& result, CShared& shared, std::uint16_t domain)
        : m_options(options), m_result(result), m_shared(shared), m_domain(domain),
          m_configuration(Support::MakeExampleConfiguration()), m_provisioner(domain)
    {
        m_provision = m_configuration.MakeProvision();
        m_result.m_kinds.resize(GetMutationKinds().size());
    }

    ~CEpisodeRunner()
    {
        m_provisioner.Destroy();
    }

    CEpisodeRunner(const CEpisodeRunner&) = delete;
    CEpisodeRunner& operator=(const CEpisodeRunner&) = delete;

    void RunEpisode(std::uint64_t episodeSeed)
    {
        m_episodeSeed = episodeSeed;
        m_provisioner.Destroy();
        m_provisioner.Create(m_provision);
        const std::size_t framesPerCycle = std::max<std::size_t>(1u, m_provisioner.GetQueueCapacity() - 1u);
        CFlipStatistics flips;
        const std::vector<CCycle> cycles = GenerateEpisode(m_configuration, episodeSeed, framesPerCycle,
                                                           m_options.m_mutationsMax, flips);
        m_result.m_slimTwoBitFlipsTried += flips.m_tried;
        m_result.m_slimTwoBitFlipsPassingCrcs += flips.m_passingCrcs;
        const Support::CCheckerProcess::CEnvironment environment{{"SafetyDomainNumber", std::to_string(m_domain)}};
        std::unique_ptr<Support::CCheckerProcess> checker;
        {
            // One fork at a time.
            const std::lock_guard<std::mutex> lock(m_shared.m_mutex);
            checker = m_options.m_checker.empty()
                          ? std::make_unique<Support::CCheckerProcess>(environment)
                          : std::make_unique<Support::CCheckerProcess>(environment, m_options.m_checker);
        }
        {
            Support::CPlayedDomain peers(m_domain);
            const auto started = std::chrono::steady_clock::now();
            (void)peers.Start();
            if (m_options.m_verbose)
            {
                const std::lock_guard<std::mutex> lock(m_shared.m_mutex);
                m_shared.m_out << "checker started in "
                      << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() << " s\n";
            }
            m_oracle.emplace(m_configuration);
            m_observedFailSafe = false;
            m_diverged = false;
            std::size_t cyclesAfterFailSafe = 0u;
            const CCycle* previous = nullptr;
            for (std::size_t c = 0u; c <= cycles.size(); ++c)
            {
                const CCycle* current = (c < cycles.size()) ? &cycles[c] : nullptr;
                std::vector<Bytes> atRuntime;
                std::vector<Bytes> atScm;
                peers.Cycle(
                    [&]
                    {
                        atRuntime = ReceiveAll(peers.GetRuntime());
                        atScm = peers.GetScm().ReceiveFrames();
                        if (current == nullptr)
                        {
                            return;
                        }
                        for (const CMessage& message : current->m_fromScm)
                        {
                            // A full queue: the checker no longer takes the SCM's frames (fail-safe); what
                            // does not fit counts as withheld.
                            (void)peers.GetScm().SendFrame(message.m_bytes);
                        }
                        for (const CMessage& message : current->m_fromRuntime)
                        {
                            (void)peers.GetRuntime().SendFrame(message.m_bytes);
                        }
                    });
                if (previous != nullptr)
                {
                    Judge(*previous, atRuntime, atScm);
                }
                previous = current;
                if (IsFailSafe() && (++cyclesAfterFailSafe > CyclesAfterFailSafe))
                {
                    // One more hand-over collects what the last cycle let through.
                    std::vector<Bytes> lastAtRuntime;
                    std::vector<Bytes> lastAtScm;
                    peers.Cycle(
                        [&]
                        {
                            lastAtRuntime = ReceiveAll(peers.GetRuntime());
                            lastAtScm = peers.GetScm().ReceiveFrames();
                        });
                    if (previous != nullptr)
                    {
                        Judge(*previous, lastAtRuntime, lastAtScm);
                    }
                    break;
                }
            }
        }
        if (checker->IsRunning())
        {
            (void)kill(checker->GetPid(), SIGKILL);
        }
        (void)checker->WaitForExit(std::chrono::milliseconds(10000));
        ++m_result.m_episodes;
    }

private:
    bool IsFailSafe() const
    {
        return m_observedFailSafe || m_oracle->IsFailSafe() || m_diverged;
    }

    void Judge(const CCycle& cycle, const std::vector<Bytes>& atRuntime, const std::vector<Bytes>& atScm)
    {
        JudgeFlow(cycle.m_fromScm, Match(cycle.m_fromScm, atRuntime), true);
        JudgeFlow(cycle.m_fromRuntime, Match(cycle.m_fromRuntime, atScm), false);
    }

    void JudgeFlow(const std::vector<CMessage>& sent, const std::vector<bool>& passed, bool fromScm)
    {
        for (std::size_t i = 0u; i < passed.size(); ++i)
        {
            static const CMessage unknown{};
            const CMessage& message = (i < sent.size()) ? sent[i] : unknown;
            const bool failSafeBefore = m_observedFailSafe;
            const bool judged = !m_diverged;
            const Support::Udid scmUdid = m_oracle->GetScmUdid();
            const CVerdict verdict =
                (i < sent.size()) ? (fromScm ? m_oracle->JudgeFromScm(message.m_bytes)
                                             : m_oracle->JudgeFromRuntime(message.m_bytes))
                                  : CVerdict{false, false, "unsent"};
            CKindCounts& counts = m_result.m_kinds[message.m_kind];
            ++m_result.m_frames;
            m_frame = ++m_shared.m_frames;
            ++counts.m_frames;
            (passed[i] ? counts.m_passed : counts.m_withheld) += 1u;
            if (message.m_slimTwoBitFlip && !failSafeBefore && judged && PassesCrcs(message.m_bytes, scmUdid))
            {
                ++m_result.m_slimTwoBitFlipsSent;
                m_result.m_slimTwoBitFlipsReleased += passed[i] ? 1u : 0u;
            }
            const char* direction = fromScm ? "scm" : "runtime";
            if (failSafeBefore)
            {
                if (passed[i])
                {
                    ++m_result.m_afterFailSafe;
                    Report("after_failsafe", direction, message, verdict);
                }
                continue;
            }
            if (!judged)
            {
                // After an escape the oracle's picture of the checker no longer holds: frames are counted only.
                m_observedFailSafe = m_observedFailSafe || (!passed[i] && fromScm);
                continue;
            }
            if (passed[i] && !verdict.m_passes)
            {
                ++m_result.m_escapes;
                ++counts.m_escapes;
                m_diverged = true;
                Report("escape", direction, message, verdict);
            }
            else if (!passed[i] && verdict.m_passes)
            {
                ++m_result.m_falseRefusals;
                ++counts.m_falseRefusals;
                Report("false_refusal", direction, message, verdict);
            }
            // Every withheld frame of the SCM is fail-safe; of the runtime's, those the oracle saw coming.
            if (!passed[i] && (fromScm || verdict.m_failSafe))
            {
                m_observedFailSafe = true;
            }
            if (m_options.m_verbose)
            {
                const std::lock_guard<std::mutex> lock(m_shared.m_mutex);
                m_shared.m_out << "frame " << m_frame << " " << direction << " kind=" << GetMutationKinds()[message.m_kind]
                      << " oracle=" << (verdict.m_passes ? "pass" : verdict.m_reason)
                      << " checker=" << (passed[i] ? "pass" : "withheld") << " " << Support::ToHex(message.m_bytes)
                      << "\n";
            }
        }
    }

    void Report(const char* what, const char* direction, const CMessage& message, const CVerdict& verdict)
    {
        const std::lock_guard<std::mutex> lock(m_shared.m_mutex);
        if (!m_shared.m_firstEscapeFrame.has_value() && (std::string(what) != "false_refusal"))
        {
            m_shared.m_firstEscapeFrame = m_frame;
        }
        m_shared.m_out << what << " frame=" << m_frame << " episode_seed=" << m_episodeSeed
              << " mutations=" << m_options.m_mutationsMax << " from=" << direction
              << " kind=" << GetMutationKinds()[message.m_kind] << " oracle="
              << (verdict.m_passes ? "pass" : verdict.m_reason) << " bytes=" << Support::ToHex(message.m_bytes)
              << std::endl;
    }

    const COptions& m_options;
    CResult& m_result;
    CShared& m_shared;
    std::uint16_t m_domain;
    Support::CDomainConfiguration m_configuration;
    Support::CDomainProvision m_provision;
    Support::CDomainProvisioner m_provisioner;
    std::uint64_t m_frame = 0u;
    std::optional<COracle> m_oracle;
    // The checker withheld a frame of the SCM (or one of the runtime's that the oracle refused as well): it is
    // fail-safe from then on.
    bool m_observedFailSafe = false;
    bool m_diverged = false;
    std::uint64_t m_episodeSeed = 0u;
};
} // namespace

CResult Run(const COptions& options, std::ostream& out)
{
    CResult result;
    result.m_kinds.resize(GetMutationKinds().size());
    CShared shared{out, {}, {0u}, {0u}, {false}, std::nullopt};
    const auto start = std::chrono::steady_clock::now();
    // One isolation (kernel directory, queue names) for every worker's domain.
    const Support::CPlatformIsolation isolation;
    const unsigned jobs = options.m_replay.has_value() ? 1u : std::max(1u, options.m_jobs);
    std::vector<CResult> results(jobs);
    std::vector<std::string> failures(jobs);
    std::vector<std::thread> workers;
    for (unsigned job = 0u; job < jobs; ++job)
    {
        workers.emplace_back(
            [&, job]
            {
                try
                {
                    CEpisodeRunner runner(options, results[job], shared, static_cast<std::uint16_t>(FirstDomain + job));
                    if (options.m_replay.has_value())
                    {
                        runner.RunEpisode(*options.m_replay);
                        return;
                    }
                    while (!shared.m_stop && (shared.m_frames < options.m_frames))
                    {
                        runner.RunEpisode(EpisodeSeed(options.m_seed, shared.m_episodes++));
                        const std::lock_guard<std::mutex> lock(shared.m_mutex);
                        if (options.m_stopAtEscape && shared.m_firstEscapeFrame.has_value())
                        {
                            shared.m_stop = true;
                        }
                    }
                }
                catch (const std::exception& error)
                {
                    failures[job] = error.what();
                    shared.m_stop = true;
                }
            });
    }
    for (std::thread& worker : workers)
    {
        worker.join();
    }
    for (const std::string& failure : failures)
    {
        if (!failure.empty())
        {
            throw std::runtime_error(failure);
        }
    }
    for (const CResult& part : results)
    {
        result.m_frames += part.m_frames;
        result.m_episodes += part.m_episodes;
        result.m_escapes += part.m_escapes;
        result.m_afterFailSafe += part.m_afterFailSafe;
        result.m_falseRefusals += part.m_falseRefusals;
        result.m_slimTwoBitFlipsTried += part.m_slimTwoBitFlipsTried;
        result.m_slimTwoBitFlipsPassingCrcs += part.m_slimTwoBitFlipsPassingCrcs;
        result.m_slimTwoBitFlipsSent += part.m_slimTwoBitFlipsSent;
        result.m_slimTwoBitFlipsReleased += part.m_slimTwoBitFlipsReleased;
        for (std::size_t kind = 0u; kind < part.m_kinds.size(); ++kind)
        {
            CKindCounts& total = result.m_kinds[kind];
            total.m_frames += part.m_kinds[kind].m_frames;
            total.m_passed += part.m_kinds[kind].m_passed;
            total.m_withheld += part.m_kinds[kind].m_withheld;
            total.m_escapes += part.m_kinds[kind].m_escapes;
            total.m_falseRefusals += part.m_kinds[kind].m_falseRefusals;
        }
    }
    result.m_firstEscapeFrame = shared.m_firstEscapeFrame;
    result.m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

void Print(const CResult& result, std::ostream& out)
{
    out << std::left << std::setw(20) << "kind" << std::right << std::setw(10) << "frames" << std::setw(10) << "passed"
        << std::setw(10) << "withheld" << std::setw(9) << "escapes" << std::setw(16) << "false_refusals" << "\n";
    for (std::size_t kind = 0u; kind < result.m_kinds.size(); ++kind)
    {
        const CKindCounts& counts = result.m_kinds[kind];
        out << std::left << std::setw(20) << GetMutationKinds()[kind] << std::right << std::setw(10) << counts.m_frames
            << std::setw(10) << counts.m_passed << std::setw(10) << counts.m_withheld << std::setw(9)
            << counts.m_escapes << std::setw(16) << counts.m_falseRefusals << "\n";
    }
    out << "episodes=" << result.m_episodes << " seconds=" << std::fixed << std::setprecision(1) << result.m_seconds
        << " frames_per_s=" << std::setprecision(0)
        << (result.m_seconds > 0.0 ? static_cast<double>(result.m_frames) / result.m_seconds : 0.0) << "\n";
    out << "slim_two_bit_flips=" << result.m_slimTwoBitFlipsTried
        << " passing_both_crcs=" << result.m_slimTwoBitFlipsPassingCrcs
        << " sent_past_the_crcs=" << result.m_slimTwoBitFlipsSent
        << " released=" << result.m_slimTwoBitFlipsReleased << "\n";
    if (result.m_firstEscapeFrame.has_value())
    {
        out << "first_escape_frame=" << *result.m_firstEscapeFrame << "\n";
    }
    out << "frames=" << result.m_frames << " escapes=" << result.m_escapes
        << " after_failsafe=" << result.m_afterFailSafe << " false_refusals=" << result.m_falseRefusals << std::endl;
}
} // namespace Campaign
