// Firmware inspector over the real checker: the module's vendor information answers in any order, the release
// after each SADR assignment, and the acknowledgements by command, password change and event.
#include "Check/CCheckingFirmwareInspector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "Check/CFirmwareCheckEventCode.h"
#include "Check/CFirmwareCommissioner.h"
#include "Check/CPersistentFirmwareChecker.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;
using Support::CCommandBuilder;
using Support::CEventBuilder;
using Support::CFrameBuilder;
using RevisionRecords = std::vector<std::pair<std::uint16_t, std::uint16_t>>;
using Inspector = Check::CCheckingFirmwareInspector;

constexpr std::uint32_t VendorId = 0x00ABCDEFu;
constexpr std::uint32_t ProductCode = 0x12345678u;
constexpr std::uint16_t MajorRevision = 3u;
constexpr std::uint16_t MinorRevision = 5u;
constexpr std::uint32_t AllModuleFlags = Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag |
                                         Inspector::ms_AcknowledgedModuleFlag | Inspector::ms_CompatibleModuleFlag |
                                         Inspector::ms_MatchingModuleFlag;

constexpr std::uint32_t Revision(std::uint16_t major, std::uint16_t minor)
{
    return (static_cast<std::uint32_t>(major) << 16) | minor;
}

Bytes LittleEndian(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class CFirmwareCommissionerStub : public Check::CFirmwareCommissioner
{
public:
    bool CanManuallyAcknowledgeFirmware() override
    {
        return m_manual;
    }
    bool CanAutomaticallyAcknowledgeFirmware() override
    {
        return m_automatic;
    }

    bool m_manual = true;
    bool m_automatic = true;
};

/// Modules 1 to 6 configured alike, all acknowledged with the configured minimum minor revision.
Support::CParameterStreamBuilder MakeConfiguration()
{
    Support::CParameterStreamBuilder stream;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= 6u; ++safetyAddress)
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = VendorId;
        module.m_productCode = ProductCode;
        module.m_majorRevision = MajorRevision;
        module.m_minorRevision = MinorRevision;
        stream.AddModule(module);
    }
    return stream;
}

class CCheckingFirmwareInspectorTest : public testing::Test
{
protected:
    CCheckingFirmwareInspectorTest()
        : m_configuration(MakeConfiguration()), m_file({{1u, MinorRevision},
                                                        {2u, MinorRevision},
                                                        {3u, MinorRevision},
                                                        {4u, MinorRevision},
                                                        {5u, MinorRevision},
                                                        {6u, MinorRevision}}),
          m_checker(m_configuration.m_invertedFirmwareVersionReader, m_file.m_reader, m_file.m_writer, m_file),
          m_inspector(m_checker, m_commissioner)
    {
        m_checker.Initialize();
    }

    /// The module's answer to an upload of 0x1018 (or another index) with a 4-byte value.
    void Answer(std::uint16_t safetyAddress, std::uint8_t subIndex, std::uint32_t value, std::uint16_t index = 0x1018u)
    {
        m_inspector.InspectReceivedFrame(m_decoding.Frame(
            CFrameBuilder::SsdoUploadInitiateExpeditedResponse(safetyAddress, index, subIndex, LittleEndian(value))));
    }
    void AnswerAll(std::uint16_t safetyAddress, std::uint16_t minorRevision = MinorRevision)
    {
        Answer(safetyAddress, 1u, VendorId);
        Answer(safetyAddress, 2u, ProductCode);
        Answer(safetyAddress, 3u, Revision(MajorRevision, minorRevision));
    }
    void Sent(const CFrameBuilder& frame)
    {
        m_inspector.InspectSentFrame(m_decoding.Frame(frame));
    }
    Util::CException RefusedSetToOp(std::uint16_t safetyAddress)
    {
        return Support::CaptureException([&] { Sent(CFrameBuilder::SnmtSnSetToOp(safetyAddress)); });
    }

    CheckTest::CDecoding m_decoding;
    CheckTest::CConfiguration m_configuration;
    CheckTest::CAcknowledgedMinorRevisionFile m_file;
    Check::CPersistentFirmwareChecker m_checker;
    CFirmwareCommissionerStub m_commissioner;
    Inspector m_inspector;
};

TEST_F(CCheckingFirmwareInspectorTest, AnswersInAnyOrderCompleteTheSetAtTheThird)
{
    std::array<std::uint8_t, 3> order = {1u, 2u, 3u};
    const std::array<std::uint32_t, 4> values = {0u, VendorId, ProductCode, Revision(MajorRevision, MinorRevision)};
    std::uint16_t safetyAddress = 1u;
    do
    {
        SCOPED_TRACE(testing::Message() << "order " << int{order[0]} << int{order[1]} << int{order[2]});
        Answer(safetyAddress, order[0], values[order[0]]);
        Answer(safetyAddress, order[1], values[order[1]]);
        EXPECT_FALSE(m_checker.IsDiscoveredModule(safetyAddress));
        Answer(safetyAddress, order[2], values[order[2]]);
        EXPECT_TRUE(m_checker.IsValidModule(safetyAddress));
        Sent(CFrameBuilder::SnmtSnSetToOp(safetyAddress));
        ++safetyAddress;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_TRUE(m_inspector.IsValid());
}

TEST_F(CCheckingFirmwareInspectorTest, ARepeatedAnswerBeforeTheSetIsCompleteOverwritesItsSlot)
{
    Answer(1u, 1u, VendorId + 1u);
    Answer(1u, 3u, Revision(MajorRevision, MinorRevision));
    Answer(1u, 1u, VendorId);
    Answer(1u, 2u, ProductCode);
    EXPECT_TRUE(m_checker.IsValidModule(1u));
}

TEST_F(CCheckingFirmwareInspectorTest, EveryDiscoveryNeedsThreeFreshAnswers)
{
    AnswerAll(1u);
    Answer(1u, 3u, Revision(MajorRevision, MinorRevision + 1u));
    EXPECT_TRUE(m_checker.IsValidModule(1u)) << "one answer alone discovers nothing";
    Answer(1u, 1u, VendorId);
    Answer(1u, 2u, ProductCode);
    EXPECT_TRUE(m_checker.IsCompatibleModule(1u));
    EXPECT_FALSE(m_checker.IsMatchingModule(1u)) << "the newer minor revision is not acknowledged";
}

TEST_F(CCheckingFirmwareInspectorTest, AZeroMajorOrMinorRevisionIsRefusedWhenTheSetIsComplete)
{
    for (const std::uint32_t revision : {Revision(MajorRevision, 0u), Revision(0u, MinorRevision)})
    {
        SCOPED_TRACE(revision);
        Answer(2u, 3u, revision);
        Answer(2u, 1u, VendorId);
        Support::ExpectException(Support::CaptureException([&] { Answer(2u, 2u, ProductCode); }),
                                 Check::CFirmwareCheckEventCode::InvalidVersion, 0u, 2u);
        EXPECT_FALSE(m_checker.IsDiscoveredModule(2u));
        Answer(2u, 3u, Revision(MajorRevision, MinorRevision));
        EXPECT_FALSE(m_checker.IsDiscoveredModule(2u)) << "the refused set is not kept";
        Answer(2u, 1u, VendorId);
        Answer(2u, 2u, ProductCode);
        EXPECT_TRUE(m_checker.IsValidModule(2u));
    }
}

TEST_F(CCheckingFirmwareInspectorTest, RefusesAnswersOfOtherThanFourBytesAndIgnoresOtherObjects)
{
    for (const std::uint8_t subIndex : {std::uint8_t{1u}, std::uint8_t{2u}, std::uint8_t{3u}})
    {
        for (const Bytes& data : {Bytes{}, Bytes{1u, 2u}, Bytes{1u, 2u, 3u, 4u, 5u}})
        {
            Support::ExpectException(
                Support::CaptureException(
                    [&]
                    {
                        m_inspector.InspectReceivedFrame(m_decoding.Frame(
                            CFrameBuilder::SsdoUploadInitiateExpeditedResponse(4u, 0x1018u, subIndex, data)));
                    }),
                Check::CFirmwareCheckEventCode::InvalidParameterLength, 4u, static_cast<std::uint32_t>(data.size()));
        }
    }
    const std::vector<std::pair<std::uint16_t, std::uint8_t>> others = {
        {0x1018u, 0u}, {0x1018u, 4u}, {0x1018u, 6u}, {0x1019u, 1u}, {0x1008u, 3u}};
    for (const auto& [index, subIndex] : others)
    {
        m_inspector.InspectReceivedFrame(
            m_decoding.Frame(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(4u, index, subIndex, Bytes{1u, 2u})));
        Answer(4u, subIndex, 7u, index);
    }
    Answer(4u, 1u, VendorId);
    Answer(4u, 2u, ProductCode);
    EXPECT_FALSE(m_checker.IsDiscoveredModule(4u)) << "none of the other objects counted as the revision number";
    Answer(4u, 3u, Revision(MajorRevision, MinorRevision));
    EXPECT_TRUE(m_checker.IsValidModule(4u));
}

TEST_F(CCheckingFirmwareInspectorTest, ReleaseNeedsTheVendorInformationAfterEveryNewSadrAssignment)
{
    Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(3u)));
    AnswerAll(3u);
    Sent(CFrameBuilder::SnmtSnSetToOp(3u));
    EXPECT_TRUE(m_inspector.IsValid());

    Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(3u)));
    Support::ExpectException(RefusedSetToOp(3u), Check::CFirmwareCheckEventCode::InvalidState, 3u, AllModuleFlags);
    EXPECT_FALSE(m_inspector.IsValid());
    AnswerAll(3u);
    Sent(CFrameBuilder::SnmtSnSetToOp(3u));
    EXPECT_FALSE(m_inspector.IsValid()) << "a refusal is never forgotten";
}

TEST_F(CCheckingFirmwareInspectorTest, AnswersOfAnUnfinishedSetDoNotCountAfterANewSadrAssignment)
{
    Answer(3u, 1u, VendorId);
    Answer(3u, 2u, ProductCode);
    Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(7u)));
    Answer(3u, 3u, Revision(MajorRevision, MinorRevision));
    EXPECT_FALSE(m_checker.IsDiscoveredModule(3u)) << "the revision alone completed a set begun by another device";
    Support::ExpectException(RefusedSetToOp(3u), Check::CFirmwareCheckEventCode::InvalidState, 3u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_AcknowledgedModuleFlag);
    Answer(3u, 1u, VendorId);
    Answer(3u, 2u, ProductCode);
    EXPECT_TRUE(m_checker.IsValidModule(3u));
}

TEST_F(CCheckingFirmwareInspectorTest, RefusesModulesThatAreNotMatchingWithTheirFlags)
{
    AnswerAll(3u, MinorRevision + 1u);
    Support::ExpectException(RefusedSetToOp(3u), Check::CFirmwareCheckEventCode::InvalidState, 3u,
                             AllModuleFlags & ~Inspector::ms_MatchingModuleFlag);
    AnswerAll(4u, MinorRevision - 1u);
    Support::ExpectException(RefusedSetToOp(4u), Check::CFirmwareCheckEventCode::InvalidState, 4u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag |
                                 Inspector::ms_AcknowledgedModuleFlag);
    AnswerAll(9u);
    Support::ExpectException(RefusedSetToOp(9u), Check::CFirmwareCheckEventCode::InvalidState, 9u,
                             Inspector::ms_DiscoveredModuleFlag);
    Support::ExpectException(RefusedSetToOp(10u), Check::CFirmwareCheckEventCode::InvalidState, 10u, 0u);
}

TEST_F(CCheckingFirmwareInspectorTest, APasswordChangeAcknowledgesWithoutAskingTheCommissioner)
{
    AnswerAll(3u, MinorRevision + 2u);
    m_commissioner.m_manual = false;
    const Support::Password password{};
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeFirmware(password)));
    EXPECT_EQ(0u, m_file.m_writeCount);
    EXPECT_FALSE(m_checker.IsMatchingModule(3u));

    Support::Password newPassword{};
    newPassword.fill(0x5Au);
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::ChangePassword(password, newPassword)));
    EXPECT_EQ(1u, m_file.m_writeCount);
    EXPECT_TRUE(m_checker.IsValidModule(3u));
    EXPECT_EQ((RevisionRecords{{1u, 5u}, {2u, 5u}, {3u, 7u}, {4u, 5u}, {5u, 5u}, {6u, 5u}}), m_file.ReadBack());
}

TEST_F(CCheckingFirmwareInspectorTest, TheOperatorsAndTheScmsAcknowledgementsFollowTheCommissioner)
{
    AnswerAll(3u, MinorRevision + 2u);
    m_commissioner.m_manual = true;
    m_commissioner.m_automatic = false;
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::FirmwareAcknowledged(CEventBuilder::Acknowledgement::Automatic)));
    EXPECT_EQ(0u, m_file.m_writeCount);
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeFirmware(Support::Password{})));
    EXPECT_EQ(1u, m_file.m_writeCount);
    EXPECT_TRUE(m_checker.IsValidModule(3u));

    AnswerAll(4u, MinorRevision + 3u);
    m_commissioner.m_manual = false;
    m_commissioner.m_automatic = true;
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::FirmwareAcknowledged(CEventBuilder::Acknowledgement::SetupMode)));
    EXPECT_EQ(2u, m_file.m_writeCount);
    EXPECT_TRUE(m_checker.IsValidModule(4u));
    EXPECT_EQ((RevisionRecords{{1u, 5u}, {2u, 5u}, {3u, 7u}, {4u, 8u}, {5u, 5u}, {6u, 5u}}), m_file.ReadBack());

    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::ModulesAcknowledged(CEventBuilder::Acknowledgement::SetupMode, 1u)));
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(Support::Password{}, 1u)));
    EXPECT_EQ(2u, m_file.m_writeCount) << "module acknowledgements are not the firmware's";
}

TEST_F(CCheckingFirmwareInspectorTest, GuardsAddressZeroInVendorInformationAssignmentsAndReleases)
{
    for (const std::uint8_t subIndex : {std::uint8_t{1u}, std::uint8_t{9u}})
    {
        Support::ExpectGuard(Support::CaptureException([&] { Answer(0u, subIndex, 1u); }),
                             "CCheckingFirmwareInspector.cpp");
    }
    Answer(0u, 1u, 1u, 0x2000u);
    Support::ExpectGuard(
        Support::CaptureException([&] { Sent(CFrameBuilder::SnmtAssignSadr(0u, CheckTest::MakeUdid(1u))); }),
        "CCheckingFirmwareInspector.cpp");
    Support::ExpectGuard(Support::CaptureException([&] { Sent(CFrameBuilder::SnmtSnSetToOp(0u)); }),
                         "CCheckingFirmwareInspector.cpp");
    EXPECT_TRUE(m_inspector.IsValid());
}
} // namespace
