// Default inspector: check bits restored pair by pair and not past a refusal, the set-to-operational guard, the
// password and key-medium handling of commands and events, and the order in which the four checks are asked.
#include "Main/CDefaultInspector.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>

#include "Epls/CFrameDecoder.h"
#include "Event/CEventDecoder.h"
#include "Hmi/CCommandDecoder.h"
#include "Main/CInspectorEventCode.h"
#include "MockInspectors.h"
#include "support/Messages/Bytes.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using ::testing::_;
using ::testing::ElementsAreArray;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::StrictMock;
using ::testing::Throw;

constexpr std::uint16_t ObjectionCode = 0xE2D7u;
const Support::Password OperatorPassword = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const Support::Password NewPassword = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                                       0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
constexpr std::array<std::uint8_t, 4> Masks = {0x03u, 0x0Cu, 0x30u, 0xC0u};

Support::Bytes Inverted(const Support::Password& password)
{
    return Support::GetInverted(Support::Bytes(password.begin(), password.end()));
}

// The 16 bytes that a mock received as an inverted password.
MATCHER_P(PointsToBytes, expected, "")
{
    return Support::Bytes(arg, arg + expected.size()) == expected;
}

class CDefaultInspector : public ::testing::Test
{
protected:
    CDefaultInspector()
        : m_inspector(m_tessera, m_commissioner, m_authentification, m_udid, m_firmware, m_parameter,
                      m_additionalParameter)
    {
    }

    const Epls::CDecodedFrame& Decode(const Support::Bytes& frame)
    {
        m_frame = frame;
        return m_frameDecoder.GetDecodedFrame(static_cast<std::uint16_t>(m_frame.size()), m_frame.data(), m_udidZero);
    }

    const Hmi::CDecodedCommand& DecodeCommand(const Support::Bytes& command)
    {
        m_command = command;
        return m_commandDecoder.GetDecodedCommand(static_cast<std::uint8_t>(m_command.size()), m_command.data());
    }

    const Event::CDecodedEvent& DecodeEvent(const Support::Bytes& event)
    {
        m_event = event;
        return m_eventDecoder.GetDecodedEvent(static_cast<std::uint8_t>(m_event.size()), m_event.data());
    }

    StrictMock<Doubles::MockTessera> m_tessera;
    StrictMock<Doubles::MockTesseraCommissioner> m_commissioner;
    StrictMock<Doubles::MockAuthentification> m_authentification;
    StrictMock<Doubles::MockUdidInspector> m_udid;
    StrictMock<Doubles::MockFirmwareInspector> m_firmware;
    StrictMock<Doubles::MockParameterInspector> m_parameter;
    StrictMock<Doubles::MockAdditionalParameterInspector> m_additionalParameter;
    Main::CDefaultInspector m_inspector;

    Epls::CFrameDecoder m_frameDecoder;
    Hmi::CCommandDecoder m_commandDecoder;
    Event::CEventDecoder m_eventDecoder;
    Support::Bytes m_frame;
    Support::Bytes m_command;
    Support::Bytes m_event;
    std::uint8_t m_udidZero[6] = {};
};

// The SCM's frame as it arrives: every byte complemented, each XORed with the masks of the checks so far.
Support::Bytes WithFlippedMasks(const Support::Bytes& plain, std::size_t acceptedChecks)
{
    Support::Bytes bytes = Support::GetInverted(plain);
    for (std::size_t i = 0u; i < acceptedChecks; ++i)
    {
        for (std::uint8_t& byte : bytes)
        {
            byte = static_cast<std::uint8_t>(byte ^ Masks[i]);
        }
    }
    return bytes;
}

TEST_F(CDefaultInspector, RestoresTheSentFrameTwoBitsPerAcceptingCheckInOrder)
{
    const Support::Bytes plain = Support::CFrameBuilder::SnmtSnAck(5u, 1u, 2u).Build();
    const Epls::CDecodedFrame& decoded = Decode(plain);
    Support::Bytes checkData = Support::GetInverted(plain);
    const auto expectStage = [&](std::size_t accepted)
    {
        return Invoke([&, accepted](const Epls::CDecodedFrame&)
                      { EXPECT_EQ(WithFlippedMasks(plain, accepted), checkData); });
    };
    {
        InSequence order;
        EXPECT_CALL(m_udid, InspectSentFrame(_)).WillOnce(expectStage(0u));
        EXPECT_CALL(m_firmware, InspectSentFrame(_)).WillOnce(expectStage(1u));
        EXPECT_CALL(m_parameter, InspectSentFrame(_)).WillOnce(expectStage(2u));
        EXPECT_CALL(m_additionalParameter, InspectSentFrame(_)).WillOnce(expectStage(3u));
    }
    m_inspector.InspectSentFrame(decoded, static_cast<std::uint16_t>(checkData.size()), checkData.data());
    EXPECT_EQ(plain, checkData);
}

class CDefaultInspectorRefusal : public CDefaultInspector, public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(CDefaultInspectorRefusal, StopsFlippingAtTheRefusingCheck)
{
    const std::size_t refusing = GetParam();
    const Support::Bytes plain =
        Support::CFrameBuilder::SsdoUploadInitiateExpeditedResponse(9u, 0x1018u, 1u, {1, 2, 3, 4}).Build();
    const Epls::CDecodedFrame& decoded = Decode(plain);
    const auto verdict = [refusing](std::size_t check)
    {
        return (check == refusing) ? Invoke([](const Epls::CDecodedFrame&) { throw Util::CException(ObjectionCode); })
                                   : Invoke([](const Epls::CDecodedFrame&) {});
    };
    EXPECT_CALL(m_udid, InspectSentFrame(_)).WillOnce(verdict(0u));
    if (refusing >= 1u)
    {
        EXPECT_CALL(m_firmware, InspectSentFrame(_)).WillOnce(verdict(1u));
    }
    if (refusing >= 2u)
    {
        EXPECT_CALL(m_parameter, InspectSentFrame(_)).WillOnce(verdict(2u));
    }
    if (refusing >= 3u)
    {
        EXPECT_CALL(m_additionalParameter, InspectSentFrame(_)).WillOnce(verdict(3u));
    }
    Support::Bytes checkData = Support::GetInverted(plain);
    const Util::CException exception = Support::CaptureException(
        [&] { m_inspector.InspectSentFrame(decoded, static_cast<std::uint16_t>(checkData.size()), checkData.data()); });
    EXPECT_EQ(ObjectionCode, exception.m_eventCode);
    EXPECT_EQ(WithFlippedMasks(plain, refusing), checkData) << "only the checks before the refusing one flip bits";
    EXPECT_NE(plain, checkData);
}

INSTANTIATE_TEST_SUITE_P(EachCheck, CDefaultInspectorRefusal, ::testing::Values(0u, 1u, 2u, 3u));

TEST_F(CDefaultInspector, RefusesSetToOperationalWithoutAcknowledgedKeyMediumBeforeAnyCheck)
{
    const Epls::CDecodedFrame& decoded = Decode(Support::CFrameBuilder::SnmtSnSetToOp(3u, 0x12345678u).Build());
    Support::Bytes checkData = Support::GetInverted(m_frame);
    const Support::Bytes received = checkData;
    EXPECT_CALL(m_tessera, IsAcknowledged()).WillOnce(Return(false));
    const Util::CException exception = Support::CaptureException(
        [&] { m_inspector.InspectSentFrame(decoded, static_cast<std::uint16_t>(checkData.size()), checkData.data()); });
    Support::ExpectException(exception, Main::CInspectorEventCode::TesseraNotAcknowledged, 0u, 0u);
    EXPECT_EQ(received, checkData);
    // The inspector stays invalid although every check is.
    EXPECT_FALSE(m_inspector.IsValid());
}

TEST_F(CDefaultInspector, ReleasesSetToOperationalWithAcknowledgedKeyMedium)
{
    const Epls::CDecodedFrame& decoded = Decode(Support::CFrameBuilder::SnmtSnSetToOp(3u).Build());
    Support::Bytes checkData = Support::GetInverted(m_frame);
    EXPECT_CALL(m_tessera, IsAcknowledged()).WillOnce(Return(true));
    EXPECT_CALL(m_udid, InspectSentFrame(_));
    EXPECT_CALL(m_firmware, InspectSentFrame(_));
    EXPECT_CALL(m_parameter, InspectSentFrame(_));
    EXPECT_CALL(m_additionalParameter, InspectSentFrame(_));
    m_inspector.InspectSentFrame(decoded, static_cast<std::uint16_t>(checkData.size()), checkData.data());
    EXPECT_EQ(m_frame, checkData);
}

TEST_F(CDefaultInspector, GuardsAMissingCheckBuffer)
{
    const Epls::CDecodedFrame& decoded = Decode(Support::CFrameBuilder::SnmtSnAck(5u, 0u, 0u).Build());
    EXPECT_CALL(m_udid, InspectSentFrame(_));
    Support::ExpectGuard(Support::CaptureGuard([&] { m_inspector.InspectSentFrame(decoded, 4u, nullptr); }),
                         "CDefaultInspector.cpp");
}

TEST_F(CDefaultInspector, HandsReceivedFramesToTheFourChecksInOrderAndPassesObjectionsOn)
{
    const Epls::CDecodedFrame& decoded =
        Decode(Support::CFrameBuilder::SnmtSadrAssigned(4u, {1, 2, 3, 4, 5, 6}).Build());
    {
        InSequence order;
        EXPECT_CALL(m_udid, InspectReceivedFrame(::testing::Ref(decoded)));
        EXPECT_CALL(m_firmware, InspectReceivedFrame(::testing::Ref(decoded)));
        EXPECT_CALL(m_parameter, InspectReceivedFrame(::testing::Ref(decoded)));
        EXPECT_CALL(m_additionalParameter, InspectReceivedFrame(::testing::Ref(decoded)))
            .WillOnce(Throw(Util::CException(ObjectionCode, 1u, 2u)));
    }
    Support::ExpectException(Support::CaptureException([&] { m_inspector.InspectReceivedFrame(decoded); }),
                             ObjectionCode, 1u, 2u);
}

struct CValidityCase
{
    std::array<bool, 4> m_checks;
    std::size_t m_askedChecks;
    bool m_valid;
};

// Names the case in test listings.
void PrintTo(const CValidityCase& testCase, std::ostream* stream)
{
    for (const bool valid : testCase.m_checks)
    {
        *stream << (valid ? '1' : '0');
    }
}

class CDefaultInspectorValidity : public CDefaultInspector, public ::testing::WithParamInterface<CValidityCase>
{
};

TEST_P(CDefaultInspectorValidity, IsValidOnlyWhileEveryCheckIsAndStopsAtTheFirstInvalid)
{
    const CValidityCase& parameter = GetParam();
    if (parameter.m_askedChecks >= 1u)
    {
        EXPECT_CALL(m_udid, IsValid()).WillOnce(Return(parameter.m_checks[0]));
    }
    if (parameter.m_askedChecks >= 2u)
    {
        EXPECT_CALL(m_firmware, IsValid()).WillOnce(Return(parameter.m_checks[1]));
    }
    if (parameter.m_askedChecks >= 3u)
    {
        EXPECT_CALL(m_parameter, IsValid()).WillOnce(Return(parameter.m_checks[2]));
    }
    if (parameter.m_askedChecks >= 4u)
    {
        EXPECT_CALL(m_additionalParameter, IsValid()).WillOnce(Return(parameter.m_checks[3]));
    }
    EXPECT_EQ(parameter.m_valid, m_inspector.IsValid());
}

INSTANTIATE_TEST_SUITE_P(Table, CDefaultInspectorValidity,
                         ::testing::Values(CValidityCase{{true, true, true, true}, 4u, true},
                                           CValidityCase{{false, true, true, true}, 1u, false},
                                           CValidityCase{{true, false, true, true}, 2u, false},
                                           CValidityCase{{true, true, false, true}, 3u, false},
                                           CValidityCase{{true, true, true, false}, 4u, false}));

TEST_F(CDefaultInspector, IgnoresACommandWithAWrongPasswordCompletely)
{
    const Hmi::CDecodedCommand& command =
        DecodeCommand(Support::CCommandBuilder::ChangePassword(OperatorPassword, NewPassword).Build());
    EXPECT_CALL(m_authentification, IsValidInvertedPassword(PointsToBytes(Inverted(OperatorPassword))))
        .WillOnce(Return(false));
    m_inspector.InspectCommand(command);
}

class CDefaultInspectorCommand;

// What a command with a valid password does to the checker itself; the UDID and firmware checks see every one.
struct CCommandCase
{
    const char* m_name;
    std::function<Support::Bytes()> m_build;
    std::function<void(CDefaultInspectorCommand&)> m_expect;
};

// Names the case in test listings.
void PrintTo(const CCommandCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultInspectorCommand : public CDefaultInspector, public ::testing::WithParamInterface<CCommandCase>
{
public:
    void ExpectPasswordStored(const Support::Password& password)
    {
        EXPECT_CALL(m_authentification, SetInvertedPassword(PointsToBytes(Inverted(password))));
    }
    void ExpectManualAcknowledgement(bool allowed)
    {
        InSequence order;
        EXPECT_CALL(m_commissioner, CanManuallyAcknowledgeTessera()).WillOnce(Return(allowed));
        if (allowed)
        {
            EXPECT_CALL(m_tessera, Acknowledge());
            ExpectPasswordStored(OperatorPassword);
        }
    }
    void ExpectSetupMode(bool active)
    {
        EXPECT_CALL(m_tessera, SetSetupModeActive(active));
    }
};

TEST_P(CDefaultInspectorCommand, TakesEffectThenReachesTheUdidAndFirmwareChecks)
{
    const Hmi::CDecodedCommand& command = DecodeCommand(GetParam().m_build());
    EXPECT_CALL(m_authentification, IsValidInvertedPassword(PointsToBytes(Inverted(OperatorPassword))))
        .WillOnce(Return(true));
    GetParam().m_expect(*this);
    {
        InSequence order;
        EXPECT_CALL(m_udid, InspectCommand(::testing::Ref(command)));
        EXPECT_CALL(m_firmware, InspectCommand(::testing::Ref(command)));
    }
    m_inspector.InspectCommand(command);
}

using Command = Support::CCommandBuilder;
const CCommandCase CommandCases[] = {
    {"ChangePassword", [] { return Command::ChangePassword(OperatorPassword, NewPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectPasswordStored(NewPassword); }},
    {"AcknowledgeTesseraAllowed", [] { return Command::AcknowledgeTessera(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectManualAcknowledgement(true); }},
    {"AcknowledgeTesseraRefused", [] { return Command::AcknowledgeTessera(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectManualAcknowledgement(false); }},
    {"AcknowledgeModules", [] { return Command::AcknowledgeModules(OperatorPassword, 3u).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectPasswordStored(OperatorPassword); }},
    {"AcknowledgeFirmware", [] { return Command::AcknowledgeFirmware(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectPasswordStored(OperatorPassword); }},
    {"ActivateSetupMode", [] { return Command::ActivateSetupMode(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectSetupMode(true); }},
    {"DeactivateSetupMode", [] { return Command::DeactivateSetupMode(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand& test) { test.ExpectSetupMode(false); }},
    {"RequestStatus", [] { return Command::RequestStatus().Password(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand&) {}},
    {"Unknown", [] { return Command().Command(0x0700u).Password(OperatorPassword).Build(); },
     [](CDefaultInspectorCommand&) {}},
};

INSTANTIATE_TEST_SUITE_P(Table, CDefaultInspectorCommand, ::testing::ValuesIn(CommandCases),
                         [](const ::testing::TestParamInfo<CCommandCase>& testCase) { return testCase.param.m_name; });

struct CEventCase
{
    const char* m_name;
    std::function<Support::Bytes()> m_build;
    int m_automaticAllowed; // -1: the commissioner is not asked
    bool m_acknowledged;
};

// Names the case in test listings.
void PrintTo(const CEventCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class CDefaultInspectorEvent : public CDefaultInspector, public ::testing::WithParamInterface<CEventCase>
{
};

TEST_P(CDefaultInspectorEvent, TakesOverTheKeyMediumAcknowledgementWhenAllowedThenAsksTheChecks)
{
    const CEventCase& parameter = GetParam();
    const Event::CDecodedEvent& event = DecodeEvent(parameter.m_build());
    InSequence order;
    if (parameter.m_automaticAllowed >= 0)
    {
        EXPECT_CALL(m_commissioner, CanAutomaticallyAcknowledgeTessera())
            .WillOnce(Return(parameter.m_automaticAllowed == 1));
    }
    if (parameter.m_acknowledged)
    {
        EXPECT_CALL(m_tessera, Acknowledge());
    }
    EXPECT_CALL(m_udid, InspectEvent(::testing::Ref(event)));
    EXPECT_CALL(m_firmware, InspectEvent(::testing::Ref(event)));
    m_inspector.InspectEvent(event);
}

using Ack = Support::CEventBuilder::Acknowledgement;
INSTANTIATE_TEST_SUITE_P(
    Table, CDefaultInspectorEvent,
    ::testing::Values(
        CEventCase{"TesseraAllowed", [] { return Support::CEventBuilder::TesseraAcknowledged(Ack::Automatic).Build(); },
                   1, true},
        CEventCase{"TesseraRefused", [] { return Support::CEventBuilder::TesseraAcknowledged(Ack::SetupMode).Build(); },
                   0, false},
        CEventCase{"Modules", [] { return Support::CEventBuilder::ModulesAcknowledged(Ack::Automatic, 2u).Build(); },
                   -1, false},
        CEventCase{"Unknown", [] { return Support::CEventBuilder().Level(2u).Code(0xC094u).Information0(7u).Build(); },
                   -1, false}),
    [](const ::testing::TestParamInfo<CEventCase>& testCase) { return testCase.param.m_name; });
} // namespace
