// Recognition of the SCM's acknowledgement events among its events.
#include "Event/CEventDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Event/CDecodedEventVisitor.h"
#include "Event/CEventDecoderEventCode.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::CEventBuilder;
using Acknowledgement = Support::CEventBuilder::Acknowledgement;
using Kind = Event::CDecodedAcknowledged::Kind;

class CEventRecorder : public Event::CDecodedEventVisitor
{
public:
    void VisitTesseraAcknowledged(const Event::CDecodedTesseraAcknowledged& event) override
    {
        m_className = "CDecodedTesseraAcknowledged";
        m_kind = event.GetKind();
    }
    void VisitModulesAcknowledged(const Event::CDecodedModulesAcknowledged& event) override
    {
        m_className = "CDecodedModulesAcknowledged";
        m_kind = event.GetKind();
        m_moduleCount = event.GetAcknowledgedModuleCount();
    }
    void VisitFirmwareAcknowledged(const Event::CDecodedFirmwareAcknowledged& event) override
    {
        m_className = "CDecodedFirmwareAcknowledged";
        m_kind = event.GetKind();
    }

    std::string m_className = "CDecodedUnknownEvent";
    std::optional<Kind> m_kind;
    std::optional<std::uint16_t> m_moduleCount;
};

struct CEventCase
{
    std::string m_name;
    Bytes m_event;
    std::string m_expectedClass;
    std::optional<Kind> m_expectedKind;
    std::optional<std::uint16_t> m_expectedModuleCount;
};

std::ostream& operator<<(std::ostream& stream, const CEventCase& testCase)
{
    return stream << testCase.m_name;
}

std::vector<CEventCase> EventCases()
{
    return {
        {"TesseraInSetupMode", CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Build(),
         "CDecodedTesseraAcknowledged", Kind::SetupMode, std::nullopt},
        {"TesseraAutomatically", CEventBuilder::TesseraAcknowledged(Acknowledgement::Automatic).Build(),
         "CDecodedTesseraAcknowledged", Kind::Automatic, std::nullopt},
        // Only the low 16 bits of information1 count.
        {"ThreeModulesAutomatically",
         CEventBuilder::ModulesAcknowledged(Acknowledgement::Automatic, 0u).Information1(0x00010003u).Build(),
         "CDecodedModulesAcknowledged", Kind::Automatic, 3u},
        {"ModulesInSetupMode", CEventBuilder::ModulesAcknowledged(Acknowledgement::SetupMode, 1023u).Build(),
         "CDecodedModulesAcknowledged", Kind::SetupMode, 1023u},
        {"FirmwareInSetupMode", CEventBuilder::FirmwareAcknowledged(Acknowledgement::SetupMode).Build(),
         "CDecodedFirmwareAcknowledged", Kind::SetupMode, std::nullopt},
        // Only the low 16 bits of the code count.
        {"CodeWithUpperBits",
         CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Code(0xABCD0000u | 49300u).Build(),
         "CDecodedTesseraAcknowledged", Kind::SetupMode, std::nullopt},
        {"WarningLevel", CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Level(2u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
        {"Level0", CEventBuilder::FirmwareAcknowledged(Acknowledgement::Automatic).Level(0u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
        {"Information0Is10", CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Information0(10u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
        {"Information0Is6", CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Information0(6u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
        {"Code49302", CEventBuilder::ModulesAcknowledged(Acknowledgement::SetupMode, 1u).Code(49302u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
        {"CheckersOwnError", CEventBuilder().Level(3u).Code(0xE2D4u).Information0(1u).Information1(2u).Build(),
         "CDecodedUnknownEvent", std::nullopt, std::nullopt},
    };
}

class CEventDecoderClassTest : public testing::TestWithParam<CEventCase>
{
};

TEST_P(CEventDecoderClassTest, RecognisesAcknowledgementsByLevelCodeAndInformation0)
{
    const CEventCase& testCase = GetParam();
    ASSERT_EQ(11u, testCase.m_event.size());
    Event::CEventDecoder decoder;
    CEventRecorder recorder;
    decoder.GetDecodedEvent(11u, testCase.m_event.data()).Accept(recorder);
    EXPECT_EQ(testCase.m_expectedClass, recorder.m_className);
    EXPECT_EQ(testCase.m_expectedKind, recorder.m_kind);
    EXPECT_EQ(testCase.m_expectedModuleCount, recorder.m_moduleCount);
}

INSTANTIATE_TEST_SUITE_P(CEventDecoder, CEventDecoderClassTest, testing::ValuesIn(EventCases()),
                         [](const testing::TestParamInfo<CEventCase>& paramInfo) { return paramInfo.param.m_name; });

TEST(CEventDecoder, ReadsTheRecordFields)
{
    const Bytes event =
        CEventBuilder().Level(3u).Code(0x1234E2D4u).Information0(0xBEEFu).Information1(0xCAFEF00Du).Build();
    ASSERT_EQ((Bytes{0x03u, 0xD4u, 0xE2u, 0x34u, 0x12u, 0xEFu, 0xBEu, 0x0Du, 0xF0u, 0xFEu, 0xCAu}), event);
    Event::CEventDecoder decoder;
    const Event::CDecodedEvent& decoded = decoder.GetDecodedEvent(11u, event.data());
    EXPECT_EQ(3u, decoded.GetLevel());
    EXPECT_EQ(0xE2D4u, decoded.GetCode());
    EXPECT_EQ(0xBEEFu, decoded.GetInformation0());
    EXPECT_EQ(0xCAFEF00Du, decoded.GetInformation1());
    EXPECT_EQ(event.data(), Event::CDecodedEvent::GetEvent(11u, event.data()));
}

TEST(CEventDecoder, RefusesEventsShorterThanTheRecord)
{
    const Bytes event = CEventBuilder::TesseraAcknowledged(Acknowledgement::SetupMode).Build();
    Event::CEventDecoder decoder;
    for (const std::uint8_t length : {std::uint8_t{10u}, std::uint8_t{0u}})
    {
        Support::ExpectException(
            Support::CaptureException([&] { (void)decoder.GetDecodedEvent(length, event.data()); }),
            Event::CEventDecoderEventCode::EventTooShort, 0u, length);
    }
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)decoder.GetDecodedEvent(11u, nullptr); }),
                         "CDecodedEvent.cpp");
}
} // namespace
