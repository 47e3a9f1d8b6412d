// The checker's hand-over with the SCM: a bounded wait for an SCM that stops handing back (fail-safe, the other
// flows relayed without the SCM's pace from then on), and a restarted checker that hands over only to an SCM that
// has initialised again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using namespace std::chrono_literals;
using Support::Bytes;
using Support::CEventRecord;

constexpr std::uint16_t Domain = 9u;

// Waits at most the given time for a message that the receiver returns.
template <typename Receive> std::optional<Bytes> WaitFor(Receive receive, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline)
    {
        std::optional<Bytes> message = receive();
        if (message)
        {
            return message;
        }
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

// After the lapse the check task takes without waiting, and a take that then fails for another reason than an
// SCM that has not handed back (the 300th take, about three seconds later) is still reported.
TEST(HandOver, ScmThatStopsHandingBackMakesTheDomainFailSafeAndTheOtherFlowsGoOn)
{
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(Domain);
    provisioner.Create(Support::MakeCleanDomainProvision());
    Support::CCheckerProcess checker(
        {{"SafetyDomainNumber", std::to_string(Domain)}, {"SCM_FAULTS", "semTake:300:" + std::to_string(EINVAL)}});
    Support::CPlayedDomain peers(Domain);
    (void)peers.Start();
    peers.Cycles(3u);
    ASSERT_EQ(std::vector<CEventRecord>{}, peers.GetRuntime().ReceiveEvents());

    // The SCM takes the next hand-over and never gives back: the checker waits ten seconds at most.
    const auto stopped = std::chrono::steady_clock::now();
    const std::optional<CEventRecord> event = peers.GetRuntime().ReceiveEvent(30s);
    const auto waited = std::chrono::steady_clock::now() - stopped;
    ASSERT_TRUE(event.has_value()) << "no event for the missing hand-over";
    EXPECT_EQ((CEventRecord{3u, 0xE206u, 3u, static_cast<std::uint32_t>(ETIMEDOUT)}), *event);
    EXPECT_GE(waited, 9s);

    // Fail-safe: a frame of the SCM is withheld; commands, events and unlock messages flow without any hand-over.
    const Bytes frame = Support::CFrameBuilder::SnmtAssignSadr(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
    ASSERT_TRUE(peers.GetScm().SendFrame(frame));
    const Bytes command = Support::CCommandBuilder::RequestStatus().Build();
    ASSERT_TRUE(peers.GetRuntime().SendCommand(command));
    EXPECT_EQ(Support::ToHex(command),
              Support::ToHex(WaitFor([&] { return peers.GetScm().ReceiveCommand(); }, 5s).value_or(Bytes())));
    const Bytes scmEvent = Support::CEventBuilder().Level(2u).Code(0xC123u).Information0(1u).Build();
    ASSERT_TRUE(peers.GetScm().SendEvent(scmEvent));
    // The checker's own warning of the long cycle may come first; its events are kept for the end.
    std::vector<CEventRecord> checkerEvents;
    EXPECT_TRUE(WaitFor(
                    [&]() -> std::optional<Bytes>
                    {
                        std::optional<Bytes> message = peers.GetRuntime().ReceiveEventMessage();
                        if (message && (*message != scmEvent))
                        {
                            checkerEvents.push_back(CEventRecord::Parse(*message).value_or(CEventRecord{}));
                        }
                        return (message && (*message == scmEvent)) ? message : std::nullopt;
                    },
                    5s)
                    .has_value());
    const Bytes unlock(21u, 0x5Au);
    ASSERT_TRUE(peers.GetRuntime().SendUnlockRequest(unlock));
    EXPECT_EQ(Support::ToHex(unlock),
              Support::ToHex(WaitFor([&] { return peers.GetScm().ReceiveUnlockRequest(); }, 5s).value_or(Bytes())));
    EXPECT_FALSE(peers.GetRuntime().ReceiveFrame(500ms).has_value()) << "a frame passed after fail-safe";

    const CEventRecord failedTake{3u, 0xE206u, 3u, static_cast<std::uint32_t>(EINVAL)};
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while ((std::find(checkerEvents.begin(), checkerEvents.end(), failedTake) == checkerEvents.end()) &&
           (std::chrono::steady_clock::now() < deadline))
    {
        if (const std::optional<CEventRecord> later = peers.GetRuntime().ReceiveEvent(100ms))
        {
            checkerEvents.push_back(*later);
        }
    }
    EXPECT_NE(checkerEvents.end(), std::find(checkerEvents.begin(), checkerEvents.end(), failedTake))
        << "the failed take after the lapse was not reported";
    EXPECT_TRUE(checker.IsRunning());
}

TEST(HandOver, RestartedCheckerWaitsForTheScmToInitialiseAgain)
{
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(Domain);
    provisioner.Create(Support::MakeCleanDomainProvision());
    std::optional<Support::CCheckerProcess> checker;
    checker.emplace(Support::CCheckerProcess::CEnvironment{{"SafetyDomainNumber", std::to_string(Domain)}});
    std::optional<Support::CPlayedDomain> peers;
    peers.emplace(Domain);
    const std::uint32_t revision = peers->Start();
    peers->Cycles(2u);

    // Killed and started again; the runtime's condition 0 and the SCM's condition 2 of the first start are still
    // there.
    peers.reset();
    checker.reset();
    checker.emplace(Support::CCheckerProcess::CEnvironment{{"SafetyDomainNumber", std::to_string(Domain)}});
    peers.emplace(Domain);
    ASSERT_EQ(std::optional<std::uint32_t>(revision), peers->GetScm().WaitForCheckerRevision(30s));
    EXPECT_FALSE(peers->GetScm().PlayCycle({}, 1500ms)) << "handed over to the SCM of the earlier checker";
    peers->GetScm().PublishRevision(revision);
    EXPECT_TRUE(peers->GetScm().PlayCycle({}, 10s));
    EXPECT_EQ(std::vector<CEventRecord>{}, peers->GetRuntime().ReceiveEvents());
}
} // namespace
