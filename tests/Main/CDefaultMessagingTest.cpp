// Queue relay over real queues: the fourteen queues opened and never created, each flow's tests, receive and send
// moving bytes unchanged, full and empty queues, the frame queues closed for good, and the failures of the queues.
#include "Main/CDefaultMessaging.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "CQueuePeer.h"
#include "Main/CMessagingEventCode.h"
#include "platformControl.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Messages/Bytes.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Provision/QueueFlows.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;

constexpr std::uint16_t Domain = 12u;
constexpr std::uint32_t MessagingFileIdentifier = 0x49D80768u;

class CDefaultMessaging : public ::testing::Test
{
protected:
    CDefaultMessaging() : m_provisioner(Domain)
    {
        Support::SetSafetyDomainNumber(Domain);
        m_provisioner.Create();
        m_peer = std::make_unique<Doubles::CQueuePeer>(Domain);
    }

    ~CDefaultMessaging() override
    {
        m_messaging.reset();
        m_peer.reset();
        m_provisioner.Destroy();
    }

    Main::CDefaultMessaging& Start()
    {
        m_messaging->Initialize();
        return *m_messaging;
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
    std::unique_ptr<Doubles::CQueuePeer> m_peer;
    std::unique_ptr<Main::CDefaultMessaging> m_messaging = std::make_unique<Main::CDefaultMessaging>();
};

class CDefaultMessagingOpen : public CDefaultMessaging, public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(CDefaultMessagingOpen, RefusesToStartWhenOneQueueIsMissing)
{
    const Support::CQueueFlow& flow = Support::GetQueueFlows()[GetParam()];
    ASSERT_EQ(OK, msgQUnlink(Support::GetQueueName(flow, Domain).c_str()));
    Support::ExpectException(Support::CaptureException([&] { m_messaging->Initialize(); }),
                             Main::CMessagingEventCode::OpenFailed, 0u, static_cast<std::uint32_t>(ENOENT));
}

INSTANTIATE_TEST_SUITE_P(EachQueue, CDefaultMessagingOpen, ::testing::Range<std::size_t>(0u, Support::QueueCount));

TEST_F(CDefaultMessaging, GuardsUseBeforeInitializeASecondInitializeAndMissingBuffers)
{
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_messaging->CanReceiveEventFromScm(); }),
                         "CDefaultMessaging.cpp", MessagingFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { m_messaging->InhibitFrames(); }), "CDefaultMessaging.cpp",
                         MessagingFileIdentifier);
    Main::CDefaultMessaging& messaging = Start();
    Support::ExpectGuard(Support::CaptureGuard([&] { messaging.Initialize(); }), "CDefaultMessaging.cpp",
                         MessagingFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)messaging.ReceiveCommandFromRuntime(42u, nullptr); }),
                         "CDefaultMessaging.cpp", MessagingFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { messaging.SendEventToRuntime(11u, nullptr); }),
                         "CDefaultMessaging.cpp", MessagingFileIdentifier);
}

// One flow as the session sees it: its source and destination queues and the four operations.
struct CFlow
{
    const char* m_name;
    ScmQueueNameFunction m_source;
    ScmQueueNameFunction m_destination;
    std::size_t m_maxLength;
    std::function<bool(Main::CMessaging&)> m_canReceive;
    std::function<Bytes(Main::CMessaging&)> m_receive;
    std::function<bool(Main::CMessaging&)> m_canSend;
    std::function<void(Main::CMessaging&, const Bytes&)> m_send;
    bool m_isFrameFlow;
};

// Names the case in test listings.
void PrintTo(const CFlow& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

template <typename Length>
CFlow MakeFlow(const char* name, ScmQueueNameFunction source, ScmQueueNameFunction destination, std::size_t maxLength,
               bool (Main::CMessaging::*canReceive)(), Length (Main::CMessaging::*receive)(Length, std::uint8_t*),
               bool (Main::CMessaging::*canSend)(), void (Main::CMessaging::*send)(Length, const std::uint8_t*),
               bool isFrameFlow)
{
    return CFlow{name,
                 source,
                 destination,
                 maxLength,
                 [canReceive](Main::CMessaging& messaging) { return (messaging.*canReceive)(); },
                 [receive, maxLength](Main::CMessaging& messaging)
                 {
                     Bytes buffer(maxLength, 0u);
                     buffer.resize((messaging.*receive)(static_cast<Length>(maxLength), buffer.data()));
                     return buffer;
                 },
                 [canSend](Main::CMessaging& messaging) { return (messaging.*canSend)(); },
                 [send](Main::CMessaging& messaging, const Bytes& message)
                 { (messaging.*send)(static_cast<Length>(message.size()), message.data()); },
                 isFrameFlow};
}

using M = Main::CMessaging;
const CFlow Flows[] = {
    MakeFlow<std::uint8_t>("UnlockRequest", ScmGetUnlockRequestQueueFromRuntimeName, ScmGetUnlockRequestQueueToScmName,
                           21u, &M::CanReceiveUnlockRequestFromRuntime, &M::ReceiveUnlockRequestFromRuntime,
                           &M::CanSendUnlockRequestToScm, &M::SendInvertedUnlockRequestToScm, false),
    MakeFlow<std::uint8_t>("UnlockResponse", ScmGetUnlockResponseQueueFromScmName,
                           ScmGetUnlockResponseQueueToRuntimeName, 21u, &M::CanReceiveUnlockResponseFromScm,
                           &M::ReceiveInvertedUnlockResponseFromScm, &M::CanSendUnlockResponseToRuntime,
                           &M::SendUnlockResponseToRuntime, false),
    MakeFlow<std::uint16_t>("FrameToScm", ScmGetFrameQueueFromRuntimeName, ScmGetFrameQueueToScmName, 521u,
                            &M::CanReceiveFrameFromRuntime, &M::ReceiveFrameFromRuntime, &M::CanSendFrameToScm,
                            &M::SendInvertedFrameToScm, true),
    MakeFlow<std::uint16_t>("FrameToRuntime", ScmGetFrameQueueFromScmName, ScmGetFrameQueueToRuntimeName, 521u,
                            &M::CanReceiveFrameFromScm, &M::ReceiveInvertedFrameFromScm, &M::CanSendFrameToRuntime,
                            &M::SendFrameToRuntime, true),
    MakeFlow<std::uint8_t>("Command", ScmGetCommandQueueFromRuntimeName, ScmGetCommandQueueToScmName, 42u,
                           &M::CanReceiveCommandFromRuntime, &M::ReceiveCommandFromRuntime, &M::CanSendCommandToScm,
                           &M::SendInvertedCommandToScm, false),
    MakeFlow<std::uint16_t>("Response", ScmGetResponseQueueFromScmName, ScmGetResponseQueueToRuntimeName, 280u,
                            &M::CanReceiveResponseFromScm, &M::ReceiveInvertedResponseFromScm,
                            &M::CanSendResponseToRuntime, &M::SendResponseToRuntime, false),
    MakeFlow<std::uint8_t>("Event", ScmGetEventQueueFromScmName, ScmGetEventQueueToRuntimeName, 11u,
                           &M::CanReceiveEventFromScm, &M::ReceiveInvertedEventFromScm, &M::CanSendEventToRuntime,
                           &M::SendEventToRuntime, false),
};

class CDefaultMessagingFlow : public CDefaultMessaging, public ::testing::WithParamInterface<CFlow>
{
};

TEST_P(CDefaultMessagingFlow, MovesBytesUnchangedAndTellsEmptyAndFullQueues)
{
    const CFlow& flow = GetParam();
    Main::CDefaultMessaging& messaging = Start();
    EXPECT_FALSE(flow.m_canReceive(messaging));
    EXPECT_TRUE(flow.m_canSend(messaging));

    Bytes message(flow.m_maxLength, 0u);
    for (std::size_t i = 0u; i < message.size(); ++i)
    {
        message[i] = static_cast<std::uint8_t>(0xA5u ^ i);
    }
    ASSERT_TRUE(m_peer->Send(flow.m_source, message));
    EXPECT_TRUE(flow.m_canReceive(messaging));
    EXPECT_EQ(message, flow.m_receive(messaging));
    EXPECT_FALSE(flow.m_canReceive(messaging));

    flow.m_send(messaging, message);
    EXPECT_EQ(message, m_peer->Receive(flow.m_destination));
    (void)m_peer->Fill(flow.m_destination, {1u});
    EXPECT_FALSE(flow.m_canSend(messaging));
}

TEST_P(CDefaultMessagingFlow, StopsOnlyTheFrameFlowsForGoodWhenFramesAreInhibited)
{
    const CFlow& flow = GetParam();
    Main::CDefaultMessaging& messaging = Start();
    ASSERT_TRUE(m_peer->Send(flow.m_source, {1u, 2u, 3u}));
    messaging.InhibitFrames();
    EXPECT_EQ(!flow.m_isFrameFlow, flow.m_canReceive(messaging));
    EXPECT_EQ(!flow.m_isFrameFlow, flow.m_canSend(messaging));
    EXPECT_EQ(1u, m_peer->Count(flow.m_source)) << "the message waits where it was";
}

INSTANTIATE_TEST_SUITE_P(EachFlow, CDefaultMessagingFlow, ::testing::ValuesIn(Flows),
                         [](const ::testing::TestParamInfo<CFlow>& testCase) { return testCase.param.m_name; });

TEST_F(CDefaultMessaging, InhibitsFramesOnlyOnce)
{
    Main::CDefaultMessaging& messaging = Start();
    messaging.InhibitFrames();
    // A second close of the four frame queues would fail now.
    ASSERT_EQ(OK, platformFaultInject("msgQDelete", 1u, EIO, 0u));
    messaging.InhibitFrames();
    EXPECT_EQ(0u, platformFaultFiredCount());
    EXPECT_FALSE(messaging.CanReceiveFrameFromScm());
    platformFaultClear(); // the fixture still has handles to release
}

TEST_F(CDefaultMessaging, DiscardsOneMessageWithAnEmptyBufferAndCutsALongOne)
{
    Main::CDefaultMessaging& messaging = Start();
    const Bytes response(280u, 0x5Au);
    ASSERT_TRUE(m_peer->Send(ScmGetResponseQueueFromScmName, response));
    ASSERT_TRUE(m_peer->Send(ScmGetResponseQueueFromScmName, {1u, 2u, 3u, 4u}));
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(0u, messaging.ReceiveInvertedResponseFromScm(0u, buffer));
    EXPECT_EQ(1u, m_peer->Count(ScmGetResponseQueueFromScmName));
    ASSERT_TRUE(m_peer->Send(ScmGetResponseQueueFromScmName, response));
    EXPECT_EQ(2u, messaging.ReceiveInvertedResponseFromScm(2u, buffer));
    EXPECT_EQ(1u, buffer[0]);
    EXPECT_EQ(2u, buffer[1]);
    EXPECT_EQ(0u, buffer[2]);
}

struct CFailureCase
{
    const char* m_name;
    const char* m_service;
    std::uint16_t m_code;
    std::function<void(Main::CMessaging&)> m_operation;
};

// Names the case in test listings.
void PrintTo(const CFailureCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultMessagingFailure : public CDefaultMessaging, public ::testing::WithParamInterface<CFailureCase>
{
};

TEST_P(CDefaultMessagingFailure, ReportsTheQueueFailureWithItsErrno)
{
    Main::CDefaultMessaging& messaging = Start();
    ASSERT_TRUE(m_peer->Send(ScmGetEventQueueFromScmName, Bytes(11u, 0u)));
    ASSERT_EQ(OK, platformFaultInject(GetParam().m_service, 1u, EBADF, 1u));
    Support::ExpectException(Support::CaptureException([&] { GetParam().m_operation(messaging); }), GetParam().m_code,
                             0u, static_cast<std::uint32_t>(EBADF));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CDefaultMessagingFailure,
    ::testing::Values(CFailureCase{"Information", "msgQInfoGet", Main::CMessagingEventCode::InformationFailed,
                                   [](Main::CMessaging& m) { (void)m.CanSendEventToRuntime(); }},
                      // A source whose state is unknown must not pass for an empty one.
                      CFailureCase{"InformationOfASource", "msgQInfoGet", Main::CMessagingEventCode::InformationFailed,
                                   [](Main::CMessaging& m) { (void)m.CanReceiveEventFromScm(); }},
                      CFailureCase{"Receive", "msgQReceive", Main::CMessagingEventCode::ReceiveFailed,
                                   [](Main::CMessaging& m)
                                   {
                                       std::uint8_t buffer[11] = {};
                                       (void)m.ReceiveInvertedEventFromScm(11u, buffer);
                                   }},
                      CFailureCase{"Send", "msgQSend", Main::CMessagingEventCode::SendFailed,
                                   [](Main::CMessaging& m)
                                   {
                                       const std::uint8_t event[11] = {};
                                       m.SendEventToRuntime(11u, event);
                                   }}),
    [](const ::testing::TestParamInfo<CFailureCase>& testCase) { return testCase.param.m_name; });
} // namespace
