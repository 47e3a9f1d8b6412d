// Session with a mocked queue relay and inspector over the emulated kernel: what is complemented where, the order
// of receive, inspection and send, the release rule of SCM frames (0xE20B), the per-cycle limits, the fail-safe
// switch, status flags, the postponed command, the diagnosis object, the reset lock and the unlock deadline.
#include "Main/CDefaultSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <ostream>
#include <thread>
#include <vector>

#include "Epls/CDecodedFrame.h"
#include "Event/CDecodedEvent.h"
#include "Hmi/CDecodedCommand.h"
#include "Main/CMessagingEventCode.h"
#include "Main/CSessionEventCode.h"
#include "MockInspectors.h"
#include "MockMessaging.h"
#include "Scm/ScmFirmwareIdentification.h"
#include "Scm/ScmKernel.h"
#include "Util/ByteOrder.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Messages/Bytes.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CDiagnosisBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Messages/CStatusNewBuilder.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/GuardExpectation.h"
#include "taskLib.h"

namespace
{
using Support::Bytes;
using ::testing::_;
using ::testing::AnyNumber;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::StrictMock;
using ::testing::Throw;

constexpr std::uint16_t Domain = 7u;
constexpr std::uint32_t SessionFileIdentifier = 0x51400732u;
constexpr std::uint16_t ObjectionCode = 0xE2D6u;
// The check bits of the UDID, firmware, parameter and additional-parameter checks.
const std::vector<std::uint8_t> AllFourMasks = {0x03u, 0x0Cu, 0x30u, 0xC0u};
const Support::Password Password = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};

// An action that delivers bytes to a receive operation, cut to its buffer length as the queue does.
template <typename Length> auto Deliver(const Bytes& bytes)
{
    return [bytes](Length bufferLength, std::uint8_t* buffer) -> Length
    {
        const std::size_t length = std::min<std::size_t>(bytes.size(), bufferLength);
        std::copy_n(bytes.begin(), length, buffer);
        return static_cast<Length>(length);
    };
}

// An action that keeps what a send operation was given.
template <typename Length> auto Record(std::vector<Bytes>& sink)
{
    return [&sink](Length length, const std::uint8_t* message) { sink.emplace_back(message, message + length); };
}

std::uint32_t GetResetLockCount()
{
    std::uint32_t count = 0u;
    EXPECT_EQ(0, scmKernelGetResetLockCount(Domain, &count));
    return count;
}

class CDefaultSession : public ::testing::Test
{
protected:
    CDefaultSession() : m_provisioner(Domain), m_session(m_messaging, m_inspector)
    {
        Support::SetSafetyDomainNumber(Domain);
        m_provisioner.Create();
    }

    ~CDefaultSession() override
    {
        m_provisioner.Destroy();
    }

    void ForwardCommand(const Bytes& command)
    {
        InSequence order;
        EXPECT_CALL(m_messaging, CanReceiveCommandFromRuntime()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, CanSendCommandToScm()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, ReceiveCommandFromRuntime(42u, _)).WillOnce(Invoke(Deliver<std::uint8_t>(command)));
        EXPECT_CALL(m_messaging, SendInvertedCommandToScm(_, _)).WillOnce(Invoke(Record<std::uint8_t>(m_sent)));
        m_session.HandleAllCommands();
    }

    // One response from the SCM (given plain, delivered complemented); what the runtime got, if anything.
    void ExpectResponse(const Bytes& plainResponse)
    {
        EXPECT_CALL(m_messaging, CanReceiveResponseFromScm()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, CanSendResponseToRuntime()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, ReceiveInvertedResponseFromScm(280u, _))
            .WillOnce(Invoke(Deliver<std::uint16_t>(Support::GetInverted(plainResponse))));
        EXPECT_CALL(m_messaging, SendResponseToRuntime(_, _))
            .Times(AnyNumber())
            .WillRepeatedly(Invoke(Record<std::uint16_t>(m_sent)));
    }

    // The SCM sends frames complemented; the mocked inspector flips the given masks, as accepting checks do.
    void ExpectSentFrame(const Bytes& plainFrame, std::vector<std::uint8_t> flippedMasks)
    {
        EXPECT_CALL(m_messaging, CanReceiveFrameFromScm()).WillOnce(Return(true)).WillRepeatedly(Return(false));
        EXPECT_CALL(m_messaging, CanSendFrameToRuntime()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, ReceiveInvertedFrameFromScm(521u, _))
            .WillOnce(Invoke(Deliver<std::uint16_t>(Support::GetInverted(plainFrame))));
        EXPECT_CALL(m_inspector, InspectSentFrame(_, static_cast<std::uint16_t>(plainFrame.size()), _))
            .WillOnce(Invoke(
                [flippedMasks](const Epls::CDecodedFrame&, std::uint16_t length, std::uint8_t* checkData)
                {
                    for (const std::uint8_t mask : flippedMasks)
                    {
                        std::for_each(checkData, checkData + length,
                                      [mask](std::uint8_t& byte) { byte = static_cast<std::uint8_t>(byte ^ mask); });
                    }
                }));
        EXPECT_CALL(m_messaging, SendFrameToRuntime(_, _))
            .Times(AnyNumber())
            .WillRepeatedly(Invoke(Record<std::uint16_t>(m_sent)));
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
    NiceMock<Doubles::MockMessaging> m_messaging;
    StrictMock<Doubles::MockInspector> m_inspector;
    Main::CDefaultSession m_session;
    std::vector<Bytes> m_sent;
};

struct CGuardCase
{
    const char* m_name;
    void (Main::CDefaultSession::*m_operation)();
    const char* m_file;
};

// Names the case in test listings.
void PrintTo(const CGuardCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultSessionGuard : public CDefaultSession, public ::testing::WithParamInterface<CGuardCase>
{
};

TEST_P(CDefaultSessionGuard, RefusesUseBeforeInitialize)
{
    const CGuardCase& parameter = GetParam();
    const std::uint32_t fixed = (std::string(parameter.m_file) == "CDefaultSession.cpp") ? SessionFileIdentifier : 0u;
    Support::ExpectGuard(Support::CaptureGuard([&] { (m_session.*parameter.m_operation)(); }), parameter.m_file, fixed);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CDefaultSessionGuard,
    ::testing::Values(
        CGuardCase{"UnlockRequests", &Main::CDefaultSession::HandleAllUnlockRequests, "CDefaultSessionUnlock.cpp"},
        CGuardCase{"UnlockResponses", &Main::CDefaultSession::HandleAllUnlockResponses, "CDefaultSessionUnlock.cpp"},
        CGuardCase{"ReceivedFrames", &Main::CDefaultSession::HandleAllReceivedFrames, "CDefaultSession.cpp"},
        CGuardCase{"SentFrames", &Main::CDefaultSession::HandleAllSentFrames, "CDefaultSession.cpp"},
        CGuardCase{"Commands", &Main::CDefaultSession::HandleAllCommands, "CDefaultSessionCommandRelay.cpp"},
        CGuardCase{"Responses", &Main::CDefaultSession::HandleAllResponses, "CDefaultSessionCommandRelay.cpp"},
        CGuardCase{"Events", &Main::CDefaultSession::HandleAllEvents, "CDefaultSessionCommandRelay.cpp"},
        CGuardCase{"SwitchToFailSafe", &Main::CDefaultSession::SwitchToFailSafe, "CDefaultSession.cpp"}),
    [](const ::testing::TestParamInfo<CGuardCase>& testCase) { return testCase.param.m_name; });

TEST_F(CDefaultSession, RefusesASecondInitializeAndTheDeadlineBeforeTheFirst)
{
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_session.GetPlcResetTimestamp(); }),
                         "CDefaultSessionUnlock.cpp");
    m_session.Initialize();
    Support::ExpectGuard(Support::CaptureGuard([&] { m_session.Initialize(); }), "CDefaultSession.cpp",
                         SessionFileIdentifier);
}

TEST_F(CDefaultSession, ReportsATimeoutTaskThatCannotBeSpawnedAndStaysUninitialised)
{
    ASSERT_EQ(OK, platformFaultInject("taskSpawn", 1u, EAGAIN, 1u));
    Support::ExpectException(Support::CaptureException([&] { m_session.Initialize(); }),
                             Main::CSessionEventCode::TimeoutStartTaskFailed, 0u, 0u);
    Support::ExpectGuard(Support::CaptureGuard([&] { m_session.HandleAllCommands(); }),
                         "CDefaultSessionCommandRelay.cpp");
}

class CDefaultSessionInitialized : public CDefaultSession
{
protected:
    CDefaultSessionInitialized()
    {
        m_session.Initialize();
    }
};

TEST_F(CDefaultSessionInitialized, RelaysARuntimeFrameAfterInspectionComplemented)
{
    const Bytes frame = Support::CFrameBuilder::SnmtAssignSadr(12u, {1, 2, 3, 4, 5, 6}).Build();
    {
        InSequence order;
        EXPECT_CALL(m_messaging, CanReceiveFrameFromRuntime()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, CanSendFrameToScm()).WillOnce(Return(true));
        EXPECT_CALL(m_messaging, ReceiveFrameFromRuntime(521u, _)).WillOnce(Invoke(Deliver<std::uint16_t>(frame)));
        EXPECT_CALL(m_inspector, InspectReceivedFrame(_))
            .WillOnce(Invoke([](const Epls::CDecodedFrame& decoded) { EXPECT_EQ(12u, decoded.GetAdr()); }));
        EXPECT_CALL(m_messaging, SendInvertedFrameToScm(_, _)).WillOnce(Invoke(Record<std::uint16_t>(m_sent)));
        EXPECT_CALL(m_messaging, CanReceiveFrameFromRuntime()).WillOnce(Return(false));
    }
    m_session.HandleAllReceivedFrames();
    ASSERT_EQ(1u, m_sent.size());
    EXPECT_EQ(Support::GetInverted(frame), m_sent[0]);
}

TEST_F(CDefaultSessionInitialized, RelaysAtMostTwentyRuntimeFramesPerCycle)
{
    const Bytes frame = Support::CFrameBuilder::SnmtSnAck(3u, 0u, 0u).Build();
    ON_CALL(m_messaging, CanReceiveFrameFromRuntime()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendFrameToScm()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveFrameFromRuntime(_, _))
        .Times(20)
        .WillRepeatedly(Invoke(Deliver<std::uint16_t>(frame)));
    EXPECT_CALL(m_inspector, InspectReceivedFrame(_)).Times(20);
    EXPECT_CALL(m_messaging, SendInvertedFrameToScm(_, _)).Times(20);
    m_session.HandleAllReceivedFrames();
}

TEST_F(CDefaultSessionInitialized, LeavesARuntimeFrameWaitingWhileTheScmQueueIsFull)
{
    ON_CALL(m_messaging, CanReceiveFrameFromRuntime()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, CanSendFrameToScm()).WillOnce(Return(false));
    EXPECT_CALL(m_messaging, ReceiveFrameFromRuntime(_, _)).Times(0);
    m_session.HandleAllReceivedFrames();
}

// The other flows likewise: a message is taken from its source only when its destination has room, since nothing
// could put it back.
struct CWaitingFlow
{
    const char* m_name;
    std::function<void(Doubles::MockMessaging&)> m_expect;
    void (Main::CDefaultSession::*m_handleAll)();
};

// Names the case in test listings.
void PrintTo(const CWaitingFlow& flow, std::ostream* stream)
{
    *stream << flow.m_name;
}

class CDefaultSessionWaitingFlow : public CDefaultSessionInitialized, public ::testing::WithParamInterface<CWaitingFlow>
{
};

TEST_P(CDefaultSessionWaitingFlow, LeavesTheMessageWaitingWhileItsDestinationIsFull)
{
    GetParam().m_expect(m_messaging);
    (m_session.*GetParam().m_handleAll)();
}

#define SCM_WAITING_FLOW(name, canReceive, canSend, receive, send, handleAll)                                          \
    CWaitingFlow                                                                                                       \
    {                                                                                                                  \
        name,                                                                                                          \
            [](Doubles::MockMessaging& messaging)                                                                      \
        {                                                                                                              \
            ON_CALL(messaging, canReceive()).WillByDefault(Return(true));                                              \
            EXPECT_CALL(messaging, canSend()).WillRepeatedly(Return(false));                                           \
            EXPECT_CALL(messaging, receive(_, _)).Times(0);                                                            \
            EXPECT_CALL(messaging, send(_, _)).Times(0);                                                               \
        },                                                                                                             \
            &Main::CDefaultSession::handleAll                                                                          \
    }

INSTANTIATE_TEST_SUITE_P(
    Table, CDefaultSessionWaitingFlow,
    ::testing::Values(SCM_WAITING_FLOW("Command", CanReceiveCommandFromRuntime, CanSendCommandToScm,
                                       ReceiveCommandFromRuntime, SendInvertedCommandToScm, HandleAllCommands),
                      SCM_WAITING_FLOW("Response", CanReceiveResponseFromScm, CanSendResponseToRuntime,
                                       ReceiveInvertedResponseFromScm, SendResponseToRuntime, HandleAllResponses),
                      SCM_WAITING_FLOW("Event", CanReceiveEventFromScm, CanSendEventToRuntime,
                                       ReceiveInvertedEventFromScm, SendEventToRuntime, HandleAllEvents),
                      SCM_WAITING_FLOW("UnlockRequest", CanReceiveUnlockRequestFromRuntime, CanSendUnlockRequestToScm,
                                       ReceiveUnlockRequestFromRuntime, SendInvertedUnlockRequestToScm,
                                       HandleAllUnlockRequests),
                      SCM_WAITING_FLOW("UnlockResponse", CanReceiveUnlockResponseFromScm,
                                       CanSendUnlockResponseToRuntime, ReceiveInvertedUnlockResponseFromScm,
                                       SendUnlockResponseToRuntime, HandleAllUnlockResponses)),
    [](const ::testing::TestParamInfo<CWaitingFlow>& flow) { return flow.param.m_name; });
#undef SCM_WAITING_FLOW

TEST_F(CDefaultSessionInitialized, DropsUndecodableRuntimeFramesAndGoesOn)
{
    const Bytes good = Support::CFrameBuilder::SnmtSnAck(3u, 0u, 0u).Build();
    Bytes bad = good;
    bad.back() = static_cast<std::uint8_t>(bad.back() ^ 0x01u); // CRC 2 no longer holds
    Bytes twoFrames = good;
    const Bytes setToOp = Support::CFrameBuilder::SnmtSnSetToOp(3u).Build();
    twoFrames.insert(twoFrames.end(), setToOp.begin(), setToOp.end());
    EXPECT_CALL(m_messaging, CanReceiveFrameFromRuntime())
        .WillOnce(Return(true))
        .WillOnce(Return(true))
        .WillOnce(Return(true))
        .WillRepeatedly(Return(false));
    ON_CALL(m_messaging, CanSendFrameToScm()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveFrameFromRuntime(_, _))
        .WillOnce(Invoke(Deliver<std::uint16_t>(bad)))
        .WillOnce(Invoke(Deliver<std::uint16_t>(twoFrames)))
        .WillOnce(Invoke(Deliver<std::uint16_t>(good)));
    EXPECT_CALL(m_inspector, InspectReceivedFrame(_)).Times(1);
    EXPECT_CALL(m_messaging, SendInvertedFrameToScm(_, _)).WillOnce(Invoke(Record<std::uint16_t>(m_sent)));
    m_session.HandleAllReceivedFrames();
    ASSERT_EQ(1u, m_sent.size());
    EXPECT_EQ(Support::GetInverted(good), m_sent[0]);
    EXPECT_TRUE(m_session.IsValid());
}

TEST_F(CDefaultSessionInitialized, ForwardsNoRuntimeFrameThatTheInspectorRefuses)
{
    ON_CALL(m_messaging, CanReceiveFrameFromRuntime()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendFrameToScm()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveFrameFromRuntime(_, _))
        .WillOnce(Invoke(Deliver<std::uint16_t>(Support::CFrameBuilder::SnmtSnAck(3u, 0u, 0u).Build())));
    EXPECT_CALL(m_inspector, InspectReceivedFrame(_)).WillOnce(Throw(Util::CException(ObjectionCode)));
    EXPECT_CALL(m_messaging, SendInvertedFrameToScm(_, _)).Times(0);
    EXPECT_EQ(ObjectionCode, Support::CaptureException([&] { m_session.HandleAllReceivedFrames(); }).m_eventCode);
}

struct CReleaseCase
{
    const char* m_name;
    std::vector<std::uint8_t> m_flippedMasks;
};

// Names the case in test listings.
void PrintTo(const CReleaseCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultSessionRelease : public CDefaultSessionInitialized, public ::testing::WithParamInterface<CReleaseCase>
{
};

// Only a frame whose check bits were flipped exactly once by each of the four checks equals its decoded copy.
TEST_P(CDefaultSessionRelease, ReleasesAnScmFrameOnlyWhenEveryCheckRestoredItsBitsOnce)
{
    const Bytes frame = Support::CFrameBuilder::SnmtAssignSadr(0x123u, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6}).Build();
    const std::vector<std::uint8_t>& masks = GetParam().m_flippedMasks;
    ExpectSentFrame(frame, masks);
    std::uint8_t flipped = 0xFFu;
    for (const std::uint8_t mask : masks)
    {
        flipped = static_cast<std::uint8_t>(flipped ^ mask);
    }
    if (flipped == 0u && masks.size() == 4u)
    {
        m_session.HandleAllSentFrames();
        ASSERT_EQ(1u, m_sent.size());
        EXPECT_EQ(frame, m_sent[0]);
        return;
    }
    const Util::CException exception = Support::CaptureException([&] { m_session.HandleAllSentFrames(); });
    const auto first = [&](std::size_t i) { return static_cast<std::uint8_t>(frame[i] ^ flipped); };
    Support::ExpectException(exception, Main::CSessionEventCode::FrameCopiesInconsistent,
                             static_cast<std::uint16_t>(first(0u) | (first(1u) << 8)),
                             static_cast<std::uint32_t>(frame[0] | (frame[1] << 8)));
    EXPECT_TRUE(m_sent.empty());
}

INSTANTIATE_TEST_SUITE_P(Flips, CDefaultSessionRelease,
                         ::testing::Values(CReleaseCase{"AllFour", AllFourMasks},
                                           CReleaseCase{"AllFourInAnotherOrder", {0xC0u, 0x30u, 0x0Cu, 0x03u}},
                                           CReleaseCase{"None", {}},
                                           CReleaseCase{"ThreeWithoutFirmware", {0x03u, 0x30u, 0xC0u}},
                                           CReleaseCase{"OnlyUdid", {0x03u}},
                                           CReleaseCase{"FiveWithUdidTwice", {0x03u, 0x0Cu, 0x30u, 0xC0u, 0x03u}}),
                         [](const ::testing::TestParamInfo<CReleaseCase>& testCase) { return testCase.param.m_name; });

TEST_F(CDefaultSessionInitialized, ForwardsNoScmFrameThatTheInspectorRefuses)
{
    EXPECT_CALL(m_messaging, CanReceiveFrameFromScm()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, CanSendFrameToRuntime()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, ReceiveInvertedFrameFromScm(_, _))
        .WillOnce(
            Invoke(Deliver<std::uint16_t>(Support::GetInverted(Support::CFrameBuilder::SnmtSnSetToOp(5u).Build()))));
    EXPECT_CALL(m_inspector, InspectSentFrame(_, _, _)).WillOnce(Throw(Util::CException(ObjectionCode)));
    EXPECT_CALL(m_messaging, SendFrameToRuntime(_, _)).Times(0);
    EXPECT_EQ(ObjectionCode, Support::CaptureException([&] { m_session.HandleAllSentFrames(); }).m_eventCode);
}

TEST_F(CDefaultSessionInitialized, DropsScmFramesUnseenWhileTheRuntimeQueueIsFull)
{
    EXPECT_CALL(m_messaging, CanReceiveFrameFromScm())
        .WillOnce(Return(true))
        .WillOnce(Return(true))
        .WillOnce(Return(true))
        .WillRepeatedly(Return(false));
    ON_CALL(m_messaging, CanSendFrameToRuntime()).WillByDefault(Return(false));
    EXPECT_CALL(m_messaging, ReceiveInvertedFrameFromScm(0u, _)).Times(3).WillRepeatedly(Return(0u));
    m_session.HandleAllSentFrames();
}

TEST_F(CDefaultSessionInitialized, StopsEveryFrameForGoodAtTheFailSafeSwitch)
{
    EXPECT_CALL(m_messaging, InhibitFrames()).Times(2);
    m_session.SwitchToFailSafe();
    m_session.SwitchToFailSafe();
    EXPECT_FALSE(m_session.IsValid());
    EXPECT_CALL(m_messaging, CanReceiveFrameFromScm()).Times(0);
    m_session.HandleAllSentFrames();
}

// The UDID of the SCM keys every SSDO frame; only an assignment that the SCM sent and the checks accepted sets it.
TEST_F(CDefaultSessionInitialized, LearnsTheScmUdidFromAnAcceptedAssignment)
{
    const Support::Udid scmUdid = {0x00, 0x60, 0x65, 0x01, 0x02, 0x03};
    ExpectSentFrame(Support::CFrameBuilder::SnmtAssignUdidScm(4u, scmUdid).Build(), AllFourMasks);
    m_session.HandleAllSentFrames();
    ::testing::Mock::VerifyAndClearExpectations(&m_messaging);
    ::testing::Mock::VerifyAndClearExpectations(&m_inspector);

    const Bytes ssdo = Support::CFrameBuilder::SsdoUploadInitiateExpeditedResponse(4u, 0x1018u, 1u, {1, 0, 0, 0})
                           .ScmUdid(scmUdid)
                           .Build();
    ExpectSentFrame(ssdo, AllFourMasks);
    m_session.HandleAllSentFrames();
    ASSERT_EQ(2u, m_sent.size());
    EXPECT_EQ(ssdo, m_sent[1]);
}

TEST_F(CDefaultSessionInitialized, KeepsTheScmUdidWhenTheAssignmentIsRefused)
{
    const Support::Udid scmUdid = {0x00, 0x60, 0x65, 0x01, 0x02, 0x03};
    EXPECT_CALL(m_messaging, CanReceiveFrameFromScm()).WillRepeatedly(Return(true));
    EXPECT_CALL(m_messaging, CanSendFrameToRuntime()).WillRepeatedly(Return(true));
    EXPECT_CALL(m_messaging, ReceiveInvertedFrameFromScm(_, _))
        .WillOnce(Invoke(Deliver<std::uint16_t>(
            Support::GetInverted(Support::CFrameBuilder::SnmtAssignUdidScm(4u, scmUdid).Build()))))
        .WillOnce(Invoke(Deliver<std::uint16_t>(Support::GetInverted(
            Support::CFrameBuilder::SsdoUploadInitiateExpeditedResponse(4u, 0x1018u, 1u, {1, 0, 0, 0})
                .ScmUdid(scmUdid)
                .Build()))));
    EXPECT_CALL(m_inspector, InspectSentFrame(_, _, _)).WillOnce(Throw(Util::CException(ObjectionCode)));
    EXPECT_EQ(ObjectionCode, Support::CaptureException([&] { m_session.HandleAllSentFrames(); }).m_eventCode);
    // Decoded with the old (zero) UDID, the SSDO frame's second sub-frame fails its CRC.
    EXPECT_EQ(0xE2C0u, Support::CaptureException([&] { m_session.HandleAllSentFrames(); }).m_eventCode);
}

TEST_F(CDefaultSessionInitialized, ForwardsACommandComplementedUnderTheResetLockWithoutJudgingIt)
{
    const Bytes command = Support::CCommandBuilder::AcknowledgeTessera(Password).Build();
    ForwardCommand(command);
    ASSERT_EQ(1u, m_sent.size());
    EXPECT_EQ(Support::GetInverted(command), m_sent[0]);
    EXPECT_EQ(1u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, ForwardsNoCommandWhenTheKernelRefusesTheResetLock)
{
    ASSERT_EQ(OK, platformFaultInject("ScmLockReset", 1u, EIO, 1u));
    EXPECT_CALL(m_messaging, CanReceiveCommandFromRuntime()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, CanSendCommandToScm()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, ReceiveCommandFromRuntime(_, _))
        .WillOnce(Invoke(Deliver<std::uint8_t>(Support::CCommandBuilder::RequestStatus().Build())));
    EXPECT_CALL(m_messaging, SendInvertedCommandToScm(_, _)).Times(0);
    Support::ExpectException(Support::CaptureException([&] { m_session.HandleAllCommands(); }),
                             Main::CSessionEventCode::LockResetFailed, 0u, 0u);
}

// A lock that the kernel did not release must not pass unnoticed: the response that would release it stays here.
TEST_F(CDefaultSessionInitialized, WithholdsTheResponseWhenTheKernelRefusesToReleaseTheResetLock)
{
    ForwardCommand(Support::CCommandBuilder::RequestStatus().Build());
    ASSERT_EQ(OK, platformFaultInject("ScmUnlockReset", 1u, EIO, 1u));
    ExpectResponse(Support::CStatusBuilder().Build());
    EXPECT_CALL(m_inspector, InspectCommand(_));
    Support::ExpectException(Support::CaptureException([&] { m_session.HandleAllResponses(); }),
                             Main::CSessionEventCode::UnlockResetFailed, 0u, 0u);
    EXPECT_EQ(1u, m_sent.size()) << "only the command went out";
}

struct CStatusCase
{
    const char* m_name;
    std::uint16_t m_status;
    bool m_failSafe;
    std::uint8_t m_flagsIn;
    std::uint8_t m_flagsOut;
};

// Names the case in test listings.
void PrintTo(const CStatusCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultSessionStatus : public CDefaultSessionInitialized, public ::testing::WithParamInterface<CStatusCase>
{
};

TEST_P(CDefaultSessionStatus, WritesTheCheckerStateAndInspectsThePostponedCommandOnSuccessOnly)
{
    const CStatusCase& parameter = GetParam();
    const Bytes command = Support::CCommandBuilder::ActivateSetupMode(Password).Build();
    ForwardCommand(command);
    if (parameter.m_failSafe)
    {
        m_session.SwitchToFailSafe();
    }
    const Bytes response =
        Support::CStatusBuilder().Status(parameter.m_status).FailSafeFlags(parameter.m_flagsIn).Build();
    ExpectResponse(response);
    if (parameter.m_status == 0u)
    {
        EXPECT_CALL(m_inspector, InspectCommand(_))
            .WillOnce(Invoke([](const Hmi::CDecodedCommand& decoded) { EXPECT_EQ(0x9000u, decoded.GetData()); }));
    }
    m_session.HandleAllResponses();
    ASSERT_EQ(2u, m_sent.size());
    Bytes expected = response;
    expected[23] = parameter.m_flagsOut;
    EXPECT_EQ(expected, m_sent[1]);
    EXPECT_EQ(0u, GetResetLockCount());
}

INSTANTIATE_TEST_SUITE_P(Table, CDefaultSessionStatus,
                         ::testing::Values(CStatusCase{"OkValid", 0u, false, 0x55u, 0x55u},
                                           CStatusCase{"OkFailSafe", 0u, true, 0x55u, 0x04u},
                                           CStatusCase{"ScmFailSafeValid", 0u, false, 0xAAu, 0x02u},
                                           CStatusCase{"ScmFailSafeBoth", 0u, true, 0xAAu, 0x06u},
                                           CStatusCase{"ZeroFlagsValid", 0u, false, 0x00u, 0x02u},
                                           CStatusCase{"FailedCommandValid", 3u, false, 0x55u, 0x55u},
                                           CStatusCase{"FailedCommandFailSafe", 3u, true, 0x55u, 0x04u}),
                         [](const ::testing::TestParamInfo<CStatusCase>& testCase) { return testCase.param.m_name; });

TEST_F(CDefaultSessionInitialized, SetsTheFailSafeBitOfANewStatusOnlyWhenFailSafe)
{
    EXPECT_CALL(m_inspector, InspectCommand(_)).Times(2);
    const Bytes response = Support::CStatusNewBuilder().FailSafe(false).Build();
    ForwardCommand(Support::CCommandBuilder::RequestStatus().Build());
    ExpectResponse(response);
    m_session.HandleAllResponses();
    m_session.SwitchToFailSafe();
    ForwardCommand(Support::CCommandBuilder::RequestStatus().Build());
    ExpectResponse(response);
    m_session.HandleAllResponses();
    ASSERT_EQ(4u, m_sent.size());
    EXPECT_EQ(response, m_sent[1]);
    EXPECT_EQ(Support::CStatusNewBuilder().FailSafe(true).Build(), m_sent[3]);
}

// An extra successful status from the SCM must not apply the operator's last command a second time: a command
// is judged at the first successful status after it was forwarded, and never again.
TEST_F(CDefaultSessionInitialized, InspectsAForwardedCommandAtTheFirstSuccessfulStatusOnly)
{
    std::vector<std::uint16_t> inspected;
    EXPECT_CALL(m_inspector, InspectCommand(_))
        .WillRepeatedly(Invoke([&](const Hmi::CDecodedCommand& decoded) { inspected.push_back(decoded.GetData()); }));
    const auto respond = [&](const Bytes& response)
    {
        ExpectResponse(response);
        m_session.HandleAllResponses();
    };
    // Each response releases a reset lock, and the kernel refuses to release one that nobody holds: the five extra
    // responses release these.
    for (int i = 0; i < 5; ++i)
    {
        ASSERT_EQ(0, ScmLockReset(Domain));
    }
    ForwardCommand(Support::CCommandBuilder::ActivateSetupMode(Password).Build());
    respond(Support::CStatusBuilder().Status(3u).Build());
    respond(Support::CStatusNewBuilder().Status(3u).Build());
    EXPECT_TRUE(inspected.empty()) << "a failed status of either form judges nothing";
    respond(Support::CStatusBuilder().Build());
    respond(Support::CStatusBuilder().Build());
    respond(Support::CStatusNewBuilder().Build());
    EXPECT_EQ(std::vector<std::uint16_t>{0x9000u}, inspected);

    ForwardCommand(Support::CCommandBuilder::DeactivateSetupMode(Password).Build());
    respond(Support::CStatusNewBuilder().Build());
    respond(Support::CStatusBuilder().Build());
    EXPECT_EQ((std::vector<std::uint16_t>{0x9000u, 0x9100u}), inspected);
    EXPECT_EQ(9u, m_sent.size()) << "two commands and seven responses";
    EXPECT_EQ(0u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, InspectsOnlyTheLastOfTwoForwardedCommands)
{
    ForwardCommand(Support::CCommandBuilder::ActivateSetupMode(Password).Build());
    ForwardCommand(Support::CCommandBuilder::DeactivateSetupMode(Password).Build());
    EXPECT_EQ(2u, GetResetLockCount());
    ExpectResponse(Support::CStatusBuilder().Build());
    EXPECT_CALL(m_inspector, InspectCommand(_))
        .WillOnce(Invoke([](const Hmi::CDecodedCommand& decoded) { EXPECT_EQ(0x9100u, decoded.GetData()); }));
    m_session.HandleAllResponses();
    EXPECT_EQ(1u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, ReleasesTheResetLockAndWithholdsTheResponseWhenTheCommandIsRefused)
{
    ForwardCommand(Support::CCommandBuilder::AcknowledgeFirmware(Password).Build());
    ExpectResponse(Support::CStatusBuilder().Build());
    EXPECT_CALL(m_inspector, InspectCommand(_)).WillOnce(Throw(Util::CException(ObjectionCode, 4u, 5u)));
    Support::ExpectException(Support::CaptureException([&] { m_session.HandleAllResponses(); }), ObjectionCode, 4u, 5u);
    EXPECT_EQ(1u, m_sent.size()) << "only the command went out";
    EXPECT_EQ(0u, GetResetLockCount());

    // The refused command is not judged again by a later status (which releases a lock held elsewhere).
    ASSERT_EQ(0, ScmLockReset(Domain));
    ExpectResponse(Support::CStatusBuilder().Build());
    m_session.HandleAllResponses();
    EXPECT_EQ(2u, m_sent.size());
}

// Without any command since start-up the postponed command is empty, which does not decode.
TEST_F(CDefaultSessionInitialized, RefusesASuccessfulStatusWithoutAnyForwardedCommand)
{
    ASSERT_EQ(0, ScmLockReset(Domain));
    ExpectResponse(Support::CStatusBuilder().Build());
    Support::ExpectException(Support::CaptureException([&] { m_session.HandleAllResponses(); }), 0xE2C6u, 0u, 0u);
    EXPECT_TRUE(m_sent.empty());
    EXPECT_EQ(0u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, AnswersTheCheckerObjectInADiagnosisAndLeavesOthers)
{
    ForwardCommand(Support::CCommandBuilder::RequestStatus().Build());
    const Bytes response = Support::CDiagnosisBuilder()
                               .Object(0x2432u, 1u, 7u, 0xFFFFFFFFu)
                               .Object(0x2432u, 2u, 0u, 0x11111111u)
                               .Object(0x1018u, 1u, 0u, 0xDEADBEEFu)
                               .Build();
    ExpectResponse(response);
    m_session.HandleAllResponses();
    ASSERT_EQ(2u, m_sent.size());
    Bytes expected = response;
    const std::uint16_t minor = Util::GetLittleEndianUInt16(GetFirmwareIdentification(), 22u);
    expected[22u + 3u] = 0u;
    Support::SetLittleEndian(expected, 22u + 4u, minor, 4u);
    expected[22u + 8u + 3u] = 2u;
    EXPECT_EQ(expected, m_sent[1]);
    EXPECT_EQ(0u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, RelaysAtMostOneCommandAndOneResponsePerCycle)
{
    ON_CALL(m_messaging, CanReceiveCommandFromRuntime()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendCommandToScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanReceiveResponseFromScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendResponseToRuntime()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveCommandFromRuntime(_, _))
        .WillOnce(Invoke(Deliver<std::uint8_t>(Support::CCommandBuilder::RequestStatus().Build())));
    EXPECT_CALL(m_messaging, ReceiveInvertedResponseFromScm(_, _))
        .WillOnce(Invoke(Deliver<std::uint16_t>(Support::GetInverted(Support::CStatusBuilder().Status(1u).Build()))));
    EXPECT_CALL(m_messaging, SendInvertedCommandToScm(_, _)).Times(1);
    EXPECT_CALL(m_messaging, SendResponseToRuntime(_, _)).Times(1);
    m_session.HandleAllCommands();
    m_session.HandleAllResponses();
}

TEST_F(CDefaultSessionInitialized, InspectsEachEventUnderTheResetLockAndRelaysAtMostTenPlain)
{
    const Bytes event =
        Support::CEventBuilder::TesseraAcknowledged(Support::CEventBuilder::Acknowledgement::Automatic).Build();
    ON_CALL(m_messaging, CanReceiveEventFromScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendEventToRuntime()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveInvertedEventFromScm(11u, _))
        .Times(10)
        .WillRepeatedly(Invoke(Deliver<std::uint8_t>(Support::GetInverted(event))));
    EXPECT_CALL(m_inspector, InspectEvent(_))
        .Times(10)
        .WillRepeatedly(Invoke(
            [](const Event::CDecodedEvent& decoded)
            {
                EXPECT_EQ(7u, decoded.GetInformation0());
                EXPECT_EQ(1u, GetResetLockCount()) << "the checks see the event under the reset lock";
            }));
    EXPECT_CALL(m_messaging, SendEventToRuntime(_, _)).Times(10).WillRepeatedly(Invoke(Record<std::uint8_t>(m_sent)));
    m_session.HandleAllEvents();
    ASSERT_EQ(10u, m_sent.size());
    EXPECT_EQ(event, m_sent[9]);
    EXPECT_EQ(0u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, ReleasesTheResetLockAndWithholdsAnEventThatIsRefusedOrShort)
{
    ON_CALL(m_messaging, CanReceiveEventFromScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendEventToRuntime()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveInvertedEventFromScm(_, _))
        .WillOnce(Invoke(Deliver<std::uint8_t>(Support::GetInverted(Support::CEventBuilder().Level(2u).Build()))))
        .WillOnce(Invoke(Deliver<std::uint8_t>(Bytes(10u, 0xFFu))));
    EXPECT_CALL(m_inspector, InspectEvent(_)).WillOnce(Throw(Util::CException(ObjectionCode)));
    EXPECT_CALL(m_messaging, SendEventToRuntime(_, _)).Times(0);
    EXPECT_EQ(ObjectionCode, Support::CaptureException([&] { m_session.HandleAllEvents(); }).m_eventCode);
    EXPECT_EQ(0u, GetResetLockCount());
    Support::ExpectException(Support::CaptureException([&] { m_session.HandleAllEvents(); }), 0xE2C8u, 0u, 10u);
    EXPECT_EQ(0u, GetResetLockCount());
}

TEST_F(CDefaultSessionInitialized, RelaysUnlockMessagesAndFixesTheDeadlineAtTheFirstRequest)
{
    platformClockFreeze();
    timespec now{};
    ASSERT_EQ(0, clockGetTime(CLOCK_MONOTONIC, &now));
    const Bytes request = {0x01, 0x02, 0x03, 0xF0};
    const Bytes response = {0x10, 0x20, 0x30, 0x40, 0x50};
    ON_CALL(m_messaging, CanReceiveUnlockRequestFromRuntime()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendUnlockRequestToScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanReceiveUnlockResponseFromScm()).WillByDefault(Return(true));
    ON_CALL(m_messaging, CanSendUnlockResponseToRuntime()).WillByDefault(Return(true));
    EXPECT_CALL(m_messaging, ReceiveUnlockRequestFromRuntime(21u, _))
        .Times(2)
        .WillRepeatedly(Invoke(Deliver<std::uint8_t>(request)));
    EXPECT_CALL(m_messaging, SendInvertedUnlockRequestToScm(_, _))
        .Times(2)
        .WillRepeatedly(Invoke(Record<std::uint8_t>(m_sent)));
    EXPECT_CALL(m_messaging, ReceiveInvertedUnlockResponseFromScm(21u, _))
        .WillOnce(Invoke(Deliver<std::uint8_t>(Support::GetInverted(response))));
    EXPECT_CALL(m_messaging, SendUnlockResponseToRuntime(_, _)).WillOnce(Invoke(Record<std::uint8_t>(m_sent)));

    EXPECT_EQ(Main::CDefaultSession::ms_NoResetTimestamp, m_session.GetPlcResetTimestamp());
    m_session.HandleAllUnlockRequests();
    const auto deadline = static_cast<std::uint32_t>(now.tv_sec) + 60u;
    EXPECT_EQ(deadline, m_session.GetPlcResetTimestamp());
    ASSERT_EQ(OK, platformClockShift(30 * 1000000LL));
    m_session.HandleAllUnlockRequests();
    m_session.HandleAllUnlockResponses();
    EXPECT_EQ(deadline, m_session.GetPlcResetTimestamp()) << "neither a second request nor a response moves it";
    ASSERT_EQ(3u, m_sent.size());
    EXPECT_EQ(Support::GetInverted(request), m_sent[0]);
    EXPECT_EQ(Support::GetInverted(request), m_sent[1]);
    EXPECT_EQ(response, m_sent[2]);
}

// Polls condition until it holds or a generous limit has passed; the timeout task acts once a second.
bool WaitFor(const std::function<bool()>& condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > limit)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TEST_F(CDefaultSessionInitialized, SwitchesToFailSafeWithoutAResetWhenTheTimeoutTaskCannotReadTheClock)
{
    EXPECT_CALL(m_messaging, CanReceiveUnlockRequestFromRuntime()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, CanSendUnlockRequestToScm()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, ReceiveUnlockRequestFromRuntime(21u, _)).WillOnce(Invoke(Deliver<std::uint8_t>({1})));
    m_session.HandleAllUnlockRequests();
    ASSERT_NE(Main::CDefaultSession::ms_NoResetTimestamp, m_session.GetPlcResetTimestamp());
    EXPECT_CALL(m_messaging, InhibitFrames()).Times(1);
    ASSERT_EQ(OK, platformFaultInject("clockGetTime", 1u, EINVAL, 0u));
    ASSERT_TRUE(WaitFor([&] { return !m_session.IsValid(); }));
    std::uint32_t resets = 0u;
    std::uint32_t mode = 0u;
    ASSERT_EQ(0, scmKernelGetPlcResets(Domain, &resets, &mode));
    EXPECT_EQ(0u, resets);
}

// The deadline runs on the monotonic clock: setting the wall clock forward does not bring the reset on, and setting
// it back does not put it off.
TEST_F(CDefaultSessionInitialized, ResetsThePlcAtTheDeadlineWhateverTheWallClockIsSetTo)
{
    scmKernelSetProcessDomain(Domain);
    platformClockFreeze();
    EXPECT_CALL(m_messaging, CanReceiveUnlockRequestFromRuntime()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, CanSendUnlockRequestToScm()).WillOnce(Return(true));
    EXPECT_CALL(m_messaging, ReceiveUnlockRequestFromRuntime(21u, _)).WillOnce(Invoke(Deliver<std::uint8_t>({1})));
    m_session.HandleAllUnlockRequests();
    EXPECT_CALL(m_messaging, InhibitFrames()).Times(1);
    std::uint32_t mode = 0u;
    const auto getResetCount = [&]
    {
        std::uint32_t resets = 0u;
        EXPECT_EQ(0, scmKernelGetPlcResets(Domain, &resets, &mode));
        return resets;
    };

    constexpr std::int64_t Day = 86400LL * 1000000LL;
    ASSERT_EQ(OK, platformClockShiftRealtime(Day));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // more than one poll of the timeout task
    EXPECT_EQ(0u, getResetCount()) << "a wall clock set forward does not bring the reset on";
    EXPECT_TRUE(m_session.IsValid());

    ASSERT_EQ(OK, platformClockShiftRealtime(-2 * Day));
    ASSERT_EQ(OK, platformClockShift(61 * 1000000LL));
    EXPECT_TRUE(WaitFor([&] { return getResetCount() == 1u; })) << "a wall clock set back does not put it off";
    EXPECT_EQ(32u, mode);
    EXPECT_TRUE(WaitFor([&] { return !m_session.IsValid(); }));
}

TEST(CDefaultSessionTimeoutTask, EndsTheProcessWithoutASession)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((void)Main::CDefaultSession::WaitForUnlockTimeout(nullptr), ::testing::ExitedWithCode(255), "");
}

struct CObjectCase
{
    std::uint16_t m_index;
    std::uint8_t m_subIndex;
    bool m_held;
    std::uint8_t m_error;
    bool m_valueWritten;
};

// Names the case in test listings.
void PrintTo(const CObjectCase& testCase, std::ostream* stream)
{
    *stream << "index 0x" << std::hex << testCase.m_index << " sub-index " << std::dec
            << static_cast<unsigned>(testCase.m_subIndex);
}

class CDefaultSessionObject : public CDefaultSession, public ::testing::WithParamInterface<CObjectCase>
{
};

TEST_P(CDefaultSessionObject, HoldsOnlyTheMinorFirmwareVersion)
{
    const CObjectCase& parameter = GetParam();
    std::uint8_t error = 0xEEu;
    std::uint32_t value = 0xCAFEF00Du;
    EXPECT_EQ(parameter.m_held, m_session.TryGetObject(parameter.m_index, parameter.m_subIndex, error, value));
    EXPECT_EQ(parameter.m_error, error);
    const std::uint32_t minor = Util::GetLittleEndianUInt16(GetFirmwareIdentification(), 22u);
    EXPECT_EQ(parameter.m_valueWritten ? minor : 0xCAFEF00Du, value);
}

INSTANTIATE_TEST_SUITE_P(Table, CDefaultSessionObject,
                         ::testing::Values(CObjectCase{0x2432u, 1u, true, 0u, true},
                                           CObjectCase{0x2432u, 2u, true, 2u, false},
                                           CObjectCase{0x2432u, 0u, true, 2u, false},
                                           CObjectCase{0x2431u, 1u, false, 0xEEu, false},
                                           CObjectCase{0x1018u, 1u, false, 0xEEu, false}));
} // namespace
