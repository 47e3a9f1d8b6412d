// Commissioner: manual answers from the key-medium acknowledgement, automatic ones from the setup mode or the
// commissioning flags of the safety parameters, read anew through the real parameter-stream readers at every question.
#include "Main/CDefaultCommissioner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "Main/CTessera.h"
#include "Param/CByteArrayParameterReader.h"
#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CInvertingCommissioningFlagReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "support/Messages/Bytes.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;

constexpr std::uint16_t CommissioningIndex = 0x210Bu;
constexpr std::uint8_t AcknowledgeFirmwareSubIndex = 2u;
constexpr std::uint8_t AcknowledgeTesseraSubIndex = 3u;

class CTesseraStub : public Main::CTessera
{
public:
    void Acknowledge() override
    {
        m_acknowledged = true;
    }
    bool IsAcknowledged() const override
    {
        return m_acknowledged;
    }
    bool IsSetupModeActive() const override
    {
        return m_setupModeActive;
    }
    void SetSetupModeActive(bool active) override
    {
        m_setupModeActive = active;
    }

    bool m_acknowledged = false;
    bool m_setupModeActive = false;
};

/// One record of a parameter stream: index, sub-index, data length, data.
void AppendRecord(Bytes& stream, std::uint16_t index, std::uint8_t subIndex, const Bytes& data)
{
    Support::AppendLittleEndian(stream, index, 2u);
    stream.push_back(subIndex);
    Support::AppendLittleEndian(stream, data.size(), 4u);
    stream.insert(stream.end(), data.begin(), data.end());
}

/// The commissioner over the key-medium stub and the inverted commissioning flags of a parameter stream.
class CDefaultCommissionerTest : public testing::Test
{
protected:
    CDefaultCommissionerTest()
        : m_flagReader(m_parameterReader), m_invertedFlagReader(m_flagReader),
          m_commissioner(m_tessera, m_invertedFlagReader)
    {
        UseStream({});
    }

    void UseStream(Bytes stream)
    {
        m_stream = std::move(stream);
        m_stream.reserve(1u);
        m_parameterReader.Initialize(static_cast<std::uint32_t>(m_stream.size()), m_stream.data());
    }
    /// A stream with other parameters around the commissioning object's two automatic-confirmation flags.
    void UseFlags(std::optional<bool> acknowledgeTessera, std::optional<bool> acknowledgeFirmware)
    {
        Bytes stream;
        AppendRecord(stream, 0xC401u, 1u, Bytes{1u, 0u});
        AppendRecord(stream, CommissioningIndex, 1u, Bytes{1u});
        if (acknowledgeFirmware)
        {
            AppendRecord(stream, CommissioningIndex, AcknowledgeFirmwareSubIndex,
                         Bytes{static_cast<std::uint8_t>(*acknowledgeFirmware ? 7u : 0u)});
        }
        if (acknowledgeTessera)
        {
            AppendRecord(stream, CommissioningIndex, AcknowledgeTesseraSubIndex,
                         Bytes{static_cast<std::uint8_t>(*acknowledgeTessera ? 1u : 0u)});
        }
        AppendRecord(stream, 0x2106u, 4u, Bytes{1u});
        UseStream(stream);
    }

    CTesseraStub m_tessera;
    Bytes m_stream;
    Param::CByteArrayParameterReader m_parameterReader;
    Param::CParameterCommissioningFlagReader m_flagReader;
    Param::CInvertingCommissioningFlagReader m_invertedFlagReader;
    Main::CDefaultCommissioner m_commissioner;
};

TEST_F(CDefaultCommissionerTest, ManualAnswersFollowTheKeyMediumAcknowledgement)
{
    UseFlags(true, true);
    for (const bool acknowledged : {false, true})
    {
        for (const bool setupModeActive : {false, true})
        {
            SCOPED_TRACE(testing::Message() << "acknowledged " << acknowledged << ", setup mode " << setupModeActive);
            m_tessera.m_acknowledged = acknowledged;
            m_tessera.m_setupModeActive = setupModeActive;
            EXPECT_TRUE(m_commissioner.CanManuallyAcknowledgeTessera());
            EXPECT_EQ(acknowledged, m_commissioner.CanManuallyAcknowledgeUdids());
            EXPECT_EQ(acknowledged, m_commissioner.CanManuallyAcknowledgeFirmware());
            EXPECT_EQ(setupModeActive, m_commissioner.CanAutomaticallyAcknowledgeUdids());
        }
    }
}

TEST_F(CDefaultCommissionerTest, TheSetupModeAllowsEveryAutomaticAcknowledgementWithoutReadingTheParameters)
{
    Bytes damaged;
    AppendRecord(damaged, CommissioningIndex, AcknowledgeTesseraSubIndex, Bytes{0u});
    damaged.push_back(0x0Bu); // a record head cut short: reading it would raise
    UseStream(damaged);
    m_tessera.m_setupModeActive = true;
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeTessera());
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeFirmware());
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeUdids());

    m_tessera.m_setupModeActive = false;
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_commissioner.CanAutomaticallyAcknowledgeTessera(); }),
        Param::CByteArrayReaderEventCode::IncompleteDescription, 0u, 8u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_commissioner.CanAutomaticallyAcknowledgeFirmware(); }),
        Param::CByteArrayReaderEventCode::IncompleteDescription, 0u, 8u);
}

TEST_F(CDefaultCommissionerTest, WithoutTheSetupModeTheCommissioningFlagsDecide)
{
    struct CCase
    {
        std::optional<bool> m_acknowledgeTessera;
        std::optional<bool> m_acknowledgeFirmware;
        bool m_tessera;
        bool m_firmware;
    };
    const std::vector<CCase> cases = {
        {true, true, true, true},
        {true, false, true, false},
        {false, true, false, true},
        {false, false, false, false},
        {std::nullopt, true, false, true},
        {true, std::nullopt, true, false},
        {std::nullopt, std::nullopt, false, false},
    };
    for (std::size_t i = 0u; i < cases.size(); ++i)
    {
        SCOPED_TRACE(i);
        UseFlags(cases[i].m_acknowledgeTessera, cases[i].m_acknowledgeFirmware);
        EXPECT_EQ(cases[i].m_tessera, m_commissioner.CanAutomaticallyAcknowledgeTessera());
        EXPECT_EQ(cases[i].m_firmware, m_commissioner.CanAutomaticallyAcknowledgeFirmware());
        EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeUdids());
    }
}

TEST_F(CDefaultCommissionerTest, WithoutACommissioningObjectNothingIsAcknowledgedAutomatically)
{
    Bytes stream;
    AppendRecord(stream, 0xC401u, 1u, Bytes{1u, 0u});
    AppendRecord(stream, 0x210Cu, AcknowledgeTesseraSubIndex, Bytes{1u});
    for (const Bytes& parameters : {Bytes{}, stream})
    {
        UseStream(parameters);
        EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeTessera());
        EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeFirmware());
        EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeUdids());
    }
}

TEST_F(CDefaultCommissionerTest, TheFlagsAreReadAnewAtEveryQuestion)
{
    UseFlags(false, false);
    EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeTessera());
    EXPECT_FALSE(m_commissioner.CanAutomaticallyAcknowledgeFirmware());
    UseFlags(true, true);
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeTessera());
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeFirmware());
    EXPECT_TRUE(m_commissioner.CanAutomaticallyAcknowledgeTessera()) << "the reader was closed after each question";
}
} // namespace
