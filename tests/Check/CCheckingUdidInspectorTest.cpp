// UDID inspector over the real checker: the life of a module from SADR assignment to release, moves between
// addresses, encoder reports, and the operator's and the SCM's acknowledgements, all through decoded messages.
#include "Check/CCheckingUdidInspector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Check/CPersistentUdidChecker.h"
#include "Check/CUdidCheckEventCode.h"
#include "Check/CUdidCommissioner.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::MakeUdid;
using Support::CCommandBuilder;
using Support::CEventBuilder;
using Support::CFrameBuilder;
using Support::Udid;
using UdidRecords = std::vector<std::pair<std::uint16_t, Udid>>;
using Inspector = Check::CCheckingUdidInspector;

constexpr std::uint32_t AllModuleFlags = Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag |
                                         Inspector::ms_AcknowledgedModuleFlag | Inspector::ms_MatchingModuleFlag |
                                         Inspector::ms_ConsistentModuleFlag | Inspector::ms_UniqueModuleFlag;

class CUdidCommissionerStub : public Check::CUdidCommissioner
{
public:
    bool CanManuallyAcknowledgeUdids() override
    {
        return m_manual;
    }
    bool CanAutomaticallyAcknowledgeUdids() override
    {
        return m_automatic;
    }

    bool m_manual = true;
    bool m_automatic = true;
};

Support::CParameterStreamBuilder MakeRequiredModules(const std::vector<std::uint16_t>& addresses)
{
    Support::CParameterStreamBuilder stream;
    for (const std::uint16_t safetyAddress : addresses)
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = 1u;
        module.m_productCode = 1u;
        module.m_majorRevision = 1u;
        module.m_minorRevision = 1u;
        stream.AddModule(module);
    }
    return stream;
}

class CCheckingUdidInspectorTest : public testing::Test
{
protected:
    explicit CCheckingUdidInspectorTest(const std::vector<std::uint16_t>& required = {5u, 6u, 9u},
                                        const UdidRecords& acknowledged = {{5u, MakeUdid(5u)}, {9u, MakeUdid(9u)}})
        : m_configuration(MakeRequiredModules(required)), m_file(acknowledged),
          m_checker(m_configuration.m_safetyAddressReader, m_file.m_reader, m_file.m_writer, m_file),
          m_inspector(m_checker, m_commissioner)
    {
        m_checker.Initialize();
    }

    /// A frame from the SCM towards a module.
    void Sent(const CFrameBuilder& frame)
    {
        m_inspector.InspectSentFrame(m_decoding.Frame(frame));
    }
    /// A frame from a module towards the SCM.
    void Received(const CFrameBuilder& frame)
    {
        m_inspector.InspectReceivedFrame(m_decoding.Frame(frame));
    }
    /// The SCM assigns the address and the module confirms with its UDID.
    void Assign(std::uint16_t safetyAddress, const Udid& udid)
    {
        Sent(CFrameBuilder::SnmtAssignSadr(safetyAddress, udid));
        Received(CFrameBuilder::SnmtSadrAssigned(safetyAddress, udid));
    }
    Util::CException RefusedSetToOp(std::uint16_t safetyAddress)
    {
        return Support::CaptureException([&] { Sent(CFrameBuilder::SnmtSnSetToOp(safetyAddress)); });
    }

    CheckTest::CDecoding m_decoding;
    CheckTest::CConfiguration m_configuration;
    CheckTest::CAcknowledgedUdidFile m_file;
    Check::CPersistentUdidChecker m_checker;
    CUdidCommissionerStub m_commissioner;
    Inspector m_inspector;
};

TEST_F(CCheckingUdidInspectorTest, ReleasesAModuleThatReportedItsAcknowledgedUdidAfterItsSadrAssignment)
{
    Sent(CFrameBuilder::SnmtAssignSadr(5u, MakeUdid(5u)));
    Support::ExpectException(RefusedSetToOp(5u), Check::CUdidCheckEventCode::InvalidState, 5u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_AcknowledgedModuleFlag);
    EXPECT_FALSE(m_inspector.IsValid());

    Received(CFrameBuilder::SnmtSadrAssigned(5u, MakeUdid(5u)));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    Received(CFrameBuilder::SnmtResponseUdid(5u, MakeUdid(5u)));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    EXPECT_FALSE(m_inspector.IsValid()) << "a refusal is never forgotten";
}

TEST_F(CCheckingUdidInspectorTest, ReleaseNeedsAUdidReportAfterEveryNewSadrAssignment)
{
    Assign(5u, MakeUdid(5u));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    EXPECT_TRUE(m_inspector.IsValid());

    Sent(CFrameBuilder::SnmtAssignSadr(5u, MakeUdid(5u)));
    Support::ExpectException(RefusedSetToOp(5u), Check::CUdidCheckEventCode::InvalidState, 5u, AllModuleFlags);
    EXPECT_FALSE(m_inspector.IsValid());
}

TEST_F(CCheckingUdidInspectorTest, RefusesModulesThatAreNotValidWithTheirFlags)
{
    Assign(6u, MakeUdid(6u));
    Support::ExpectException(RefusedSetToOp(6u), Check::CUdidCheckEventCode::InvalidState, 6u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag |
                                 Inspector::ms_ConsistentModuleFlag | Inspector::ms_UniqueModuleFlag);
    Assign(7u, MakeUdid(7u));
    Support::ExpectException(RefusedSetToOp(7u), Check::CUdidCheckEventCode::InvalidState, 7u,
                             Inspector::ms_DiscoveredModuleFlag | Inspector::ms_ConsistentModuleFlag |
                                 Inspector::ms_UniqueModuleFlag);
    Assign(9u, MakeUdid(90u));
    Support::ExpectException(RefusedSetToOp(9u), Check::CUdidCheckEventCode::InvalidState, 9u,
                             AllModuleFlags & ~Inspector::ms_MatchingModuleFlag);
}

TEST_F(CCheckingUdidInspectorTest, AModuleThatMovedIsDroppedAtOnceWhenItsOldAddressWasAssignedSinceItsReport)
{
    Assign(9u, MakeUdid(5u));
    Sent(CFrameBuilder::SnmtAssignSadr(9u, MakeUdid(9u)));
    Assign(5u, MakeUdid(5u));
    EXPECT_FALSE(m_checker.IsDiscoveredModule(9u));
    EXPECT_TRUE(m_checker.IsUniqueModule(5u));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    EXPECT_TRUE(m_inspector.IsValid());
}

TEST_F(CCheckingUdidInspectorTest, AModuleThatMovedIsDroppedAtTheNextSadrAssignmentOfItsOldAddress)
{
    Assign(9u, MakeUdid(5u));
    Assign(5u, MakeUdid(5u));
    EXPECT_TRUE(m_checker.IsDiscoveredModule(9u)) << "a UDID was reported at 9 since its last assignment";
    EXPECT_FALSE(m_checker.IsUniqueModule(5u));
    Support::ExpectException(RefusedSetToOp(5u), Check::CUdidCheckEventCode::InvalidState, 5u,
                             AllModuleFlags & ~Inspector::ms_UniqueModuleFlag);

    Sent(CFrameBuilder::SnmtAssignSadr(9u, MakeUdid(9u)));
    EXPECT_FALSE(m_checker.IsDiscoveredModule(9u));
    EXPECT_TRUE(m_checker.IsValidModule(5u));
    Sent(CFrameBuilder::SnmtAssignSadr(9u, MakeUdid(9u)));
    Received(CFrameBuilder::SnmtSadrAssigned(9u, MakeUdid(9u)));
    EXPECT_TRUE(m_checker.IsValidModule(9u)) << "the old address starts afresh";
}

TEST_F(CCheckingUdidInspectorTest, EncoderFailureAndAcknowledgementOfGroupThreeCodeTwo)
{
    Assign(5u, MakeUdid(5u));
    Received(CFrameBuilder::SnmtSnFail(5u, 3u, 1u));
    Received(CFrameBuilder::SnmtSnFail(5u, 2u, 2u));
    EXPECT_TRUE(m_checker.IsConsistentModule(5u)) << "other groups and codes change nothing";
    Received(CFrameBuilder::SnmtSnFail(5u, 3u, 2u));
    EXPECT_FALSE(m_checker.IsConsistentModule(5u));
    Support::ExpectException(RefusedSetToOp(5u), Check::CUdidCheckEventCode::InvalidState, 5u,
                             AllModuleFlags & ~Inspector::ms_ConsistentModuleFlag);
    Sent(CFrameBuilder::SnmtSnAck(5u, 3u, 1u));
    EXPECT_FALSE(m_checker.IsConsistentModule(5u));
    Sent(CFrameBuilder::SnmtSnAck(5u, 3u, 2u));
    EXPECT_TRUE(m_checker.IsConsistentModule(5u));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));

    Support::ExpectException(Support::CaptureException([&] { Received(CFrameBuilder::SnmtSnFail(6u, 3u, 2u)); }),
                             Check::CUdidCheckEventCode::NoModuleForEncoder, 0u, 6u);
}

TEST_F(CCheckingUdidInspectorTest, ARepeatedReportMakesAnInconsistentEncoderConsistentAgain)
{
    Assign(5u, MakeUdid(5u));
    Received(CFrameBuilder::SnmtSnFail(5u, 3u, 2u));
    Received(CFrameBuilder::SnmtResponseUdid(5u, MakeUdid(5u)));
    EXPECT_TRUE(m_checker.IsValidModule(5u));
}

TEST_F(CCheckingUdidInspectorTest, AnAllZeroUdidIsRefusedAfterThePreviousEntryWasRemoved)
{
    Assign(5u, MakeUdid(5u));
    Support::ExpectException(Support::CaptureException([&] { Received(CFrameBuilder::SnmtResponseUdid(5u, Udid{})); }),
                             Check::CUdidCheckEventCode::InvalidUdid, 0u, 5u);
    EXPECT_FALSE(m_checker.IsDiscoveredModule(5u));
}

TEST_F(CCheckingUdidInspectorTest, TheOperatorsCountMustEqualThePendingCountExactly)
{
    Assign(5u, MakeUdid(50u));
    Assign(6u, MakeUdid(6u));
    ASSERT_EQ(2u, m_checker.GetUnacknowledgedModuleCount());
    const Support::Password password{};
    for (const unsigned count : {1u, 3u, 4u})
    {
        m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, count)));
        EXPECT_EQ(0u, m_file.m_writeCount) << count;
    }
    m_commissioner.m_manual = false;
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, 2u)));
    EXPECT_EQ(0u, m_file.m_writeCount) << "the commissioner forbids it";

    m_commissioner.m_manual = true;
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, 2u)));
    EXPECT_EQ(1u, m_file.m_writeCount);
    EXPECT_EQ((UdidRecords{{5u, MakeUdid(50u)}, {6u, MakeUdid(6u)}, {9u, MakeUdid(9u)}}), m_file.ReadBack());
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    Sent(CFrameBuilder::SnmtSnSetToOp(6u));
    EXPECT_TRUE(m_inspector.IsValid());
}

TEST_F(CCheckingUdidInspectorTest, FiveOrMoreAcceptsWhateverIsPendingIncludingNothing)
{
    const Support::Password password{};
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, 5u)));
    EXPECT_EQ(1u, m_file.m_writeCount) << "nothing pending: the records are written again";
    EXPECT_EQ((UdidRecords{{5u, MakeUdid(5u)}, {9u, MakeUdid(9u)}}), m_file.ReadBack());

    Assign(5u, MakeUdid(50u));
    Assign(6u, MakeUdid(6u));
    Assign(9u, MakeUdid(90u));
    ASSERT_EQ(3u, m_checker.GetUnacknowledgedModuleCount());
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, 5u)));
    EXPECT_EQ((UdidRecords{{5u, MakeUdid(50u)}, {6u, MakeUdid(6u)}, {9u, MakeUdid(90u)}}), m_file.ReadBack());
    EXPECT_EQ(0u, m_checker.GetUnacknowledgedModuleCount());
}

TEST_F(CCheckingUdidInspectorTest, TheScmsAcknowledgementCountsWhenTheCommissionerAllowsIt)
{
    Assign(6u, MakeUdid(6u));
    m_commissioner.m_automatic = false;
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::ModulesAcknowledged(CEventBuilder::Acknowledgement::Automatic, 1u)));
    EXPECT_FALSE(m_checker.IsAcknowledgedModule(6u));

    m_commissioner.m_automatic = true;
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::ModulesAcknowledged(CEventBuilder::Acknowledgement::SetupMode, 2u)));
    EXPECT_FALSE(m_checker.IsAcknowledgedModule(6u)) << "one module is pending, not two";
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::ModulesAcknowledged(CEventBuilder::Acknowledgement::SetupMode, 1u)));
    EXPECT_TRUE(m_checker.IsValidModule(6u));
    EXPECT_EQ((UdidRecords{{5u, MakeUdid(5u)}, {6u, MakeUdid(6u)}, {9u, MakeUdid(9u)}}), m_file.ReadBack());
}

TEST_F(CCheckingUdidInspectorTest, ADuplicateAmongThePendingModulesRefusesTheAcknowledgement)
{
    Assign(5u, MakeUdid(7u));
    Assign(6u, MakeUdid(7u));
    const Support::Password password{};
    Support::ExpectException(
        Support::CaptureException(
            [&] { m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeModules(password, 2u))); }),
        Check::CUdidCheckEventCode::DuplicateUdid, 0u, 5u);
    EXPECT_EQ(0u, m_file.m_writeCount);
}

TEST_F(CCheckingUdidInspectorTest, OtherMessagesChangeNothing)
{
    Assign(6u, MakeUdid(6u));
    const Support::Password password{};
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::AcknowledgeFirmware(password)));
    m_inspector.InspectCommand(m_decoding.Command(CCommandBuilder::ChangePassword(password, password)));
    m_inspector.InspectEvent(
        m_decoding.Event(CEventBuilder::FirmwareAcknowledged(CEventBuilder::Acknowledgement::Automatic)));
    Received(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(6u, 0x1018u, 1u, {1, 0, 0, 0}));
    Sent(CFrameBuilder::SnmtRequestUdid(6u));
    EXPECT_EQ(0u, m_file.m_writeCount);
    EXPECT_EQ(1u, m_checker.GetUnacknowledgedModuleCount());
    EXPECT_TRUE(m_inspector.IsValid());
}

TEST_F(CCheckingUdidInspectorTest, GuardsAddressZeroInAssignmentsReportsAndReleases)
{
    const std::vector<CFrameBuilder> frames = {
        CFrameBuilder::SnmtAssignSadr(0u, MakeUdid(1u)),
        CFrameBuilder::SnmtSadrAssigned(0u, MakeUdid(1u)),
        CFrameBuilder::SnmtResponseUdid(0u, MakeUdid(1u)),
        CFrameBuilder::SnmtSnSetToOp(0u),
    };
    for (std::size_t i = 0u; i < frames.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException([&] { Sent(frames[i]); }), "CCheckingUdidInspector.cpp");
    }
    EXPECT_TRUE(m_inspector.IsValid()) << "a guard is no refusal of a module";
}
} // namespace
