// Session, queue relay and default inspector over real queues, cycle by cycle, with a peer that plays the runtime
// and the SCM (which sends its messages complemented): frames both ways, the refusal of an SCM frame and the
// fail-safe switch, the flows that go on after it, dropped frames and their warning, per-cycle limits, the unlock
// deadline under a controlled clock, and the fail-safe switch racing the check task.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <thread>

#include "CQueuePeer.h"
#include "Main/CDefaultInspector.h"
#include "Main/CDefaultMessaging.h"
#include "Main/CDefaultSession.h"
#include "Scm/ScmKernel.h"
#include "StandInChecks.h"
#include "Util/ByteOrder.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Messages/Bytes.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/ChildExit.h"
#include "support/Test/FailureReporting.h"

namespace
{
using Support::Bytes;
using Support::GetInverted;

constexpr std::uint16_t Domain = 11u;
constexpr std::int64_t Second = 1000000;
constexpr std::size_t AskedCapacity = 32u;

// The whole checker as the entry builds it, with stand-ins for the four checks and the persistence state.
struct CChecker
{
    CChecker()
        : m_inspector(m_tessera, m_tessera, m_tessera, m_udid, m_firmware, m_parameter, m_additionalParameter),
          m_session(m_messaging, m_inspector)
    {
        m_messaging.Initialize();
        m_session.Initialize();
    }

    // One cycle of the check task, without the hand-over with the SCM: the handlers in the task's order; a fault
    // is logged and switches to fail-safe, and the rest of the cycle is skipped.
    std::optional<Util::CException> RunCycle()
    {
        try
        {
            m_session.HandleAllUnlockRequests();
            m_session.HandleAllUnlockResponses();
            m_session.HandleAllReceivedFrames();
            m_session.HandleAllEvents();
            m_session.HandleAllSentFrames();
            m_session.HandleAllCommands();
            m_session.HandleAllResponses();
        }
        catch (const Util::CException& exception)
        {
            Util::CException::LogError(exception);
            m_session.SwitchToFailSafe();
            return exception;
        }
        return std::nullopt;
    }

    Doubles::CStandInTessera m_tessera;
    Doubles::CStandInUdidCheck m_udid;
    Doubles::CStandInFirmwareCheck m_firmware;
    Doubles::CStandInParameterCheck m_parameter;
    Doubles::CStandInAdditionalParameterCheck m_additionalParameter;
    Main::CDefaultInspector m_inspector;
    Main::CDefaultMessaging m_messaging;
    Main::CDefaultSession m_session;
};

// Runs body in a fresh process that runs this test again up to here: the checker may post four events per process,
// so a test that reads the checker's own events must start from the whole budget. A failure inside the child
// fails the test, with the child's messages shown.
void RunInFreshProcess(const std::function<void()>& body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int failures = Support::RunReportingFailures(body);
            (void)std::fflush(stderr);
            Support::ExitChild((failures == 0) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

class CDefaultSessionQueue : public ::testing::Test
{
protected:
    CDefaultSessionQueue() : m_provisioner(Domain)
    {
        Support::SetSafetyDomainNumber(Domain);
        scmKernelSetProcessDomain(Domain);
        Support::CDomainProvision provision;
        provision.m_queueCapacity = AskedCapacity;
        m_provisioner.Create(provision);
        m_peer = std::make_unique<Doubles::CQueuePeer>(Domain);
    }

    ~CDefaultSessionQueue() override
    {
        m_checker.reset();
        m_peer.reset();
        m_provisioner.Destroy();
    }

    CChecker& StartChecker()
    {
        m_checker = std::make_unique<CChecker>();
        return *m_checker;
    }

    // The SCM's frames travel complemented.
    void ScmSendsFrame(const Bytes& frame)
    {
        ASSERT_TRUE(m_peer->Send(ScmGetFrameQueueFromScmName, GetInverted(frame)));
    }

    void ExpectEvent(std::uint8_t level, std::uint16_t code, std::uint32_t information1)
    {
        const std::optional<Bytes> event = m_peer->Receive(ScmGetEventQueueToRuntimeName);
        ASSERT_TRUE(event.has_value()) << "no event for code " << std::hex << code;
        EXPECT_EQ(level, (*event)[0]);
        EXPECT_EQ(code, Util::GetLittleEndianUInt32(event->data(), 1u));
        EXPECT_EQ(information1, Util::GetLittleEndianUInt32(event->data(), 7u));
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
    std::unique_ptr<Doubles::CQueuePeer> m_peer;
    std::unique_ptr<CChecker> m_checker;
};

const Bytes RuntimeFrame = Support::CFrameBuilder::SnmtRequestUdid(17u).Build();
const Bytes ScmFrame = Support::CFrameBuilder::SnmtResponseUdid(17u, {1, 2, 3, 4, 5, 6}).Build();

TEST_F(CDefaultSessionQueue, RelaysFramesBothWaysComplementingTheScmSide)
{
    CChecker& checker = StartChecker();
    ASSERT_TRUE(m_peer->Send(ScmGetFrameQueueFromRuntimeName, RuntimeFrame));
    ScmSendsFrame(ScmFrame);
    EXPECT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(GetInverted(RuntimeFrame), m_peer->Receive(ScmGetFrameQueueToScmName));
    EXPECT_EQ(ScmFrame, m_peer->Receive(ScmGetFrameQueueToRuntimeName));
    EXPECT_TRUE(checker.m_session.IsValid());
}

TEST_F(CDefaultSessionQueue, SendsNothingOfARefusedScmFrameAndStopsAllFramesForGood)
{
    CChecker& checker = StartChecker();
    checker.m_firmware.m_refuseSentFrames = true;
    ScmSendsFrame(ScmFrame);
    const std::optional<Util::CException> fault = checker.RunCycle();
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(checker.m_firmware.m_objectionCode, fault->m_eventCode);
    EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueToRuntimeName));
    EXPECT_FALSE(checker.m_session.IsValid());

    checker.m_firmware.m_refuseSentFrames = false;
    ASSERT_TRUE(m_peer->Send(ScmGetFrameQueueFromRuntimeName, RuntimeFrame));
    ScmSendsFrame(ScmFrame);
    EXPECT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueToScmName));
    EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueToRuntimeName));
    EXPECT_EQ(1u, m_peer->Count(ScmGetFrameQueueFromRuntimeName)) << "frames wait unread in the closed queues";
    EXPECT_EQ(1u, m_peer->Count(ScmGetFrameQueueFromScmName));
}

// The checks restore every byte of the message; a valid frame with an SN set to operational behind it would carry
// that second frame past every check.
TEST_F(CDefaultSessionQueue, SendsNothingOfAnScmFrameFollowedByASecondFrameAndGoesFailSafe)
{
    CChecker& checker = StartChecker();
    Bytes twoFrames = ScmFrame;
    const Bytes setToOp = Support::CFrameBuilder::SnmtSnSetToOp(17u).Build();
    twoFrames.insert(twoFrames.end(), setToOp.begin(), setToOp.end());
    ScmSendsFrame(twoFrames);
    const std::optional<Util::CException> fault = checker.RunCycle();
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(0xE2BFu, fault->m_eventCode);
    EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueToRuntimeName));
    EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueFromScmName));
    EXPECT_FALSE(checker.m_session.IsValid());
}

TEST_F(CDefaultSessionQueue, KeepsCommandsResponsesEventsAndUnlockMessagesFlowingWhenFailSafe)
{
    CChecker& checker = StartChecker();
    checker.m_session.SwitchToFailSafe();
    const Bytes command = Support::CCommandBuilder::RequestStatus().Build();
    const Bytes event = Support::CEventBuilder().Level(2u).Code(0xC001u).Information1(5u).Build();
    const Bytes unlockRequest = {1, 2, 3};
    const Bytes unlockResponse = {4, 5, 6, 7};
    ASSERT_TRUE(m_peer->Send(ScmGetCommandQueueFromRuntimeName, command));
    ASSERT_TRUE(m_peer->Send(ScmGetUnlockRequestQueueFromRuntimeName, unlockRequest));
    ASSERT_TRUE(m_peer->Send(ScmGetEventQueueFromScmName, GetInverted(event)));
    ASSERT_TRUE(m_peer->Send(ScmGetUnlockResponseQueueFromScmName, GetInverted(unlockResponse)));
    ASSERT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(GetInverted(command), m_peer->Receive(ScmGetCommandQueueToScmName));
    EXPECT_EQ(GetInverted(unlockRequest), m_peer->Receive(ScmGetUnlockRequestQueueToScmName));
    EXPECT_EQ(event, m_peer->Receive(ScmGetEventQueueToRuntimeName));
    EXPECT_EQ(unlockResponse, m_peer->Receive(ScmGetUnlockResponseQueueToRuntimeName));

    const Bytes status = Support::CStatusBuilder().Status(0u).FailSafeFlags(0x55u).Build();
    ASSERT_TRUE(m_peer->Send(ScmGetResponseQueueFromScmName, GetInverted(status)));
    ASSERT_FALSE(checker.RunCycle().has_value());
    const std::optional<Bytes> forwarded = m_peer->Receive(ScmGetResponseQueueToRuntimeName);
    ASSERT_TRUE(forwarded.has_value());
    EXPECT_EQ(0x04u, (*forwarded)[23]) << "the status reports the checker's fail-safe state";
}

TEST_F(CDefaultSessionQueue, RelaysTwentyFiveWaitingFramesInTwoCyclesInOrder)
{
    if (m_provisioner.GetQueueCapacity() < 25u)
    {
        GTEST_SKIP() << "the system grants queues of only " << m_provisioner.GetQueueCapacity() << " messages";
    }
    CChecker& checker = StartChecker();
    for (std::uint16_t i = 0u; i < 25u; ++i)
    {
        ASSERT_TRUE(
            m_peer->Send(ScmGetFrameQueueFromRuntimeName, Support::CFrameBuilder::SnmtRequestUdid(i + 1u).Build()));
    }
    ASSERT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(20u, m_peer->Count(ScmGetFrameQueueToScmName));
    EXPECT_EQ(5u, m_peer->Count(ScmGetFrameQueueFromRuntimeName));
    ASSERT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(25u, m_peer->Count(ScmGetFrameQueueToScmName));
    for (std::uint16_t i = 0u; i < 25u; ++i)
    {
        EXPECT_EQ(GetInverted(Support::CFrameBuilder::SnmtRequestUdid(i + 1u).Build()),
                  m_peer->Receive(ScmGetFrameQueueToScmName));
    }
}

TEST_F(CDefaultSessionQueue, RelaysTwelveWaitingEventsInTwoCycles)
{
    if (m_provisioner.GetQueueCapacity() < 12u)
    {
        GTEST_SKIP() << "the system grants queues of only " << m_provisioner.GetQueueCapacity() << " messages";
    }
    CChecker& checker = StartChecker();
    for (std::uint32_t i = 0u; i < 12u; ++i)
    {
        ASSERT_TRUE(
            m_peer->Send(ScmGetEventQueueFromScmName,
                         GetInverted(Support::CEventBuilder().Level(2u).Code(0xC000u).Information1(i).Build())));
    }
    ASSERT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(10u, m_peer->Count(ScmGetEventQueueToRuntimeName));
    ASSERT_FALSE(checker.RunCycle().has_value());
    EXPECT_EQ(12u, m_peer->Count(ScmGetEventQueueToRuntimeName));
}

// While the runtime's frame queue is full, SCM frames are dropped unread and counted; one warning carries the count,
// and the next comes only after 60 s with what was dropped since.
TEST_F(CDefaultSessionQueue, DropsScmFramesWhileTheRuntimeQueueIsFullWithOneWarningPerMinute)
{
    RunInFreshProcess(
        [&]
        {
            // The warning interval is measured on the low 32 bits of the microsecond counter, which start from 0.
            if (static_cast<std::uint32_t>(ScmGetUSecCounter()) < 70u * Second)
            {
                ASSERT_EQ(OK, platformClockShift(70 * Second));
            }
            CChecker& checker = StartChecker();
            const std::size_t capacity = m_peer->Fill(ScmGetFrameQueueToRuntimeName, ScmFrame);
            for (int i = 0; i < 3; ++i)
            {
                ScmSendsFrame(ScmFrame);
            }
            ASSERT_FALSE(checker.RunCycle().has_value());
            EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueFromScmName));
            EXPECT_EQ(capacity, m_peer->Count(ScmGetFrameQueueToRuntimeName));
            ExpectEvent(2u, 0xE246u, 3u);

            ScmSendsFrame(ScmFrame);
            ScmSendsFrame(ScmFrame);
            ASSERT_FALSE(checker.RunCycle().has_value());
            EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueFromScmName));
            EXPECT_EQ(0u, m_peer->Count(ScmGetEventQueueToRuntimeName)) << "no second warning within 60 s";

            ASSERT_EQ(OK, platformClockShift(61 * Second));
            ScmSendsFrame(ScmFrame);
            ASSERT_FALSE(checker.RunCycle().has_value());
            ExpectEvent(2u, 0xE246u, 3u);
            EXPECT_TRUE(checker.m_session.IsValid());
        });
}

bool WaitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::uint32_t GetPlcResetCount(std::uint32_t& lastMode)
{
    std::uint32_t count = 0u;
    EXPECT_EQ(0, scmKernelGetPlcResets(Domain, &count, &lastMode));
    return count;
}

// The clocks are frozen and moved by hand; the timeout task polls them once a second while a check task keeps
// frames flowing, until the timeout task resets the PLC and switches to fail-safe under its feet.
TEST_F(CDefaultSessionQueue, ResetsThePlcAtTheFirstPollAfterTheUnlockDeadline)
{
    RunInFreshProcess(
        [&]
        {
            platformClockFreeze();
            CChecker& checker = StartChecker();
            ASSERT_TRUE(m_peer->Send(ScmGetUnlockRequestQueueFromRuntimeName, {0x11, 0x22}));
            ASSERT_FALSE(checker.RunCycle().has_value());
            EXPECT_EQ(GetInverted({0x11, 0x22}), m_peer->Receive(ScmGetUnlockRequestQueueToScmName));
            const std::uint32_t deadline = checker.m_session.GetPlcResetTimestamp();

            std::atomic<bool> stop{false};
            std::atomic<int> faults{0};
            std::thread checkTask(
                [&]
                {
                    while (!stop.load())
                    {
                        (void)m_peer->Send(ScmGetFrameQueueFromScmName, GetInverted(ScmFrame));
                        (void)m_peer->Send(ScmGetFrameQueueFromRuntimeName, RuntimeFrame);
                        faults += checker.RunCycle().has_value() ? 1 : 0;
                        m_peer->Drain(ScmGetFrameQueueToScmName);
                        m_peer->Drain(ScmGetFrameQueueToRuntimeName);
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
                });

            ASSERT_EQ(OK, platformClockShift(30 * Second));
            ASSERT_TRUE(m_peer->Send(ScmGetUnlockRequestQueueFromRuntimeName, {0x33}));
            ASSERT_TRUE(WaitFor([&] { return m_peer->Count(ScmGetUnlockRequestQueueToScmName) == 1u; }));
            EXPECT_EQ(deadline, checker.m_session.GetPlcResetTimestamp()) << "a second request keeps the deadline";

            ASSERT_EQ(OK, platformClockShift(30 * Second)); // exactly at the deadline
            std::this_thread::sleep_for(std::chrono::milliseconds(2500));
            std::uint32_t mode = 0u;
            EXPECT_EQ(0u, GetPlcResetCount(mode)) << "no reset at the deadline itself";
            EXPECT_TRUE(checker.m_session.IsValid());

            ASSERT_EQ(OK, platformClockShift(1 * Second));
            EXPECT_TRUE(WaitFor([&] { return !checker.m_session.IsValid(); }));
            EXPECT_TRUE(WaitFor([&] { return GetPlcResetCount(mode) == 1u; }));
            EXPECT_EQ(32u, mode);

            // Once the switch has happened no frame passes any more, whatever waits.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            stop = true;
            checkTask.join();
            EXPECT_EQ(0, faults.load()) << "no queue was closed under a running frame operation";
            m_peer->Drain(ScmGetFrameQueueFromScmName);
            ScmSendsFrame(ScmFrame);
            ASSERT_FALSE(checker.RunCycle().has_value());
            EXPECT_EQ(0u, m_peer->Count(ScmGetFrameQueueToRuntimeName));
            ExpectEvent(3u, 0xE20Eu, 0u);
        });
}

// The fail-safe switch of another task at a random moment of busy frame cycles: no cycle meets a closed queue, and
// after the switch has returned not one frame more reaches either side.
TEST_F(CDefaultSessionQueue, SerialisesTheFailSafeSwitchAgainstRunningFrameOperations)
{
    const unsigned seed = std::random_device()();
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 8; ++round)
    {
        CChecker& checker = StartChecker();
        std::atomic<bool> switched{false};
        std::atomic<std::size_t> framesAfterSwitch{0u};
        std::atomic<int> faults{0};
        const auto delay = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random));
        std::thread timeoutTask(
            [&]
            {
                std::this_thread::sleep_for(delay);
                checker.m_session.SwitchToFailSafe();
                switched = true;
            });
        for (int cycle = 0; cycle < 200; ++cycle)
        {
            const bool switchedBefore = switched.load();
            (void)m_peer->Send(ScmGetFrameQueueFromScmName, GetInverted(ScmFrame));
            (void)m_peer->Send(ScmGetFrameQueueFromRuntimeName, RuntimeFrame);
            faults += checker.RunCycle().has_value() ? 1 : 0;
            std::size_t passed = 0u;
            while (m_peer->Receive(ScmGetFrameQueueToScmName).has_value() ||
                   m_peer->Receive(ScmGetFrameQueueToRuntimeName).has_value())
            {
                ++passed;
            }
            if (switchedBefore)
            {
                framesAfterSwitch += passed;
            }
        }
        timeoutTask.join();
        EXPECT_EQ(0, faults.load()) << "round " << round;
        EXPECT_EQ(0u, framesAfterSwitch.load()) << "round " << round;
        EXPECT_FALSE(checker.m_session.IsValid());
        m_checker.reset();
        m_peer->Drain(ScmGetFrameQueueFromScmName);
        m_peer->Drain(ScmGetFrameQueueFromRuntimeName);
    }
}
} // namespace
