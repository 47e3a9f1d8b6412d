// Additional-parameter inspector over the real catalog: the mode entered by SN FAIL group 5 and left by the next
// SADR assignment, headers collected across frames and checked at their 16th byte, and refusals that repeat.
#include "Check/CCheckingAdditionalParameterInspector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Check/CAdditionalParameterCheckEventCode.h"
#include "Check/CPersistentAdditionalParameterCatalog.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;
using Support::CFrameBuilder;
using Inspector = Check::CCheckingAdditionalParameterInspector;

constexpr std::uint16_t DownloadIndex = 0x101Au;
constexpr std::uint32_t InspectorFileIdentifier = 0x62260FF6u;

Support::CAdditionalParameterRecord MakeParameter(std::uint16_t safetyAddress, std::uint8_t parameterNumber,
                                                  std::uint8_t content)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = safetyAddress;
    parameter.m_parameterNumber = parameterNumber;
    parameter.m_data = Bytes(40u, content);
    parameter.m_timestamp = 0x01020304u + content;
    return parameter;
}

Bytes Slice(const Bytes& bytes, std::size_t begin, std::size_t end)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(begin), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

/// Configured: module 3 numbers 1 and 2, module 4 number 1.
Support::CParameterStreamBuilder MakeConfiguration()
{
    Support::CParameterStreamBuilder stream;
    stream.AddAdditionalParameter(MakeParameter(3u, 1u, 0x11u));
    stream.AddAdditionalParameter(MakeParameter(3u, 2u, 0x22u));
    stream.AddAdditionalParameter(MakeParameter(4u, 1u, 0x41u));
    return stream;
}

class CCheckingAdditionalParameterInspectorTest : public testing::Test
{
protected:
    CCheckingAdditionalParameterInspectorTest()
        : m_configuration(MakeConfiguration()),
          m_catalog(
              std::make_unique<Check::CPersistentAdditionalParameterCatalog>(m_configuration.m_invertedHeaderReader)),
          m_inspector(std::make_unique<Inspector>(*m_catalog))
    {
        m_catalog->Initialize();
    }

    void Sent(const CFrameBuilder& frame)
    {
        m_inspector->InspectSentFrame(m_decoding.Frame(frame));
    }
    void Received(const CFrameBuilder& frame)
    {
        m_inspector->InspectReceivedFrame(m_decoding.Frame(frame));
    }
    void NeedsAdditionalParameters(std::uint16_t safetyAddress)
    {
        Received(CFrameBuilder::SnmtSnFail(safetyAddress, Inspector::ms_AdditionalParameterNeededErrorGroup, 1u));
    }
    void Initiate(std::uint16_t safetyAddress, std::uint16_t ct, const Bytes& data)
    {
        Sent(CFrameBuilder::SsdoDownloadInitiateSegmented(safetyAddress, DownloadIndex, 0u, 56u, data).Ct(ct));
    }
    void Segment(std::uint16_t safetyAddress, std::uint16_t ct, bool isEnd, const Bytes& data)
    {
        Sent(CFrameBuilder::SsdoDownloadSegment(safetyAddress, isEnd, (ct % 2u) != 0u, data).Ct(ct));
    }
    void Expedited(std::uint16_t safetyAddress, const Bytes& data)
    {
        Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(safetyAddress, DownloadIndex, 0u, data));
    }
    /// The whole parameter in one initiate and one end segment.
    void Download(std::uint16_t safetyAddress, const Bytes& parameter)
    {
        Initiate(safetyAddress, 1u, Slice(parameter, 0u, 20u));
        Segment(safetyAddress, 2u, true, Slice(parameter, 20u, parameter.size()));
    }

    CheckTest::CDecoding m_decoding;
    CheckTest::CConfiguration m_configuration;
    std::unique_ptr<Check::CPersistentAdditionalParameterCatalog> m_catalog;
    std::unique_ptr<Inspector> m_inspector;
};

TEST_F(CCheckingAdditionalParameterInspectorTest, OnlyDownloadsInAdditionalParameterModeAreExamined)
{
    const Bytes unknown = Support::BuildAdditionalParameter(MakeParameter(3u, 9u, 0x99u));
    Download(3u, unknown);
    Expedited(3u, Slice(unknown, 0u, 16u));
    Received(CFrameBuilder::SnmtSnFail(3u, 4u, 5u));
    Download(3u, unknown);
    NeedsAdditionalParameters(4u);
    Download(3u, unknown);
    EXPECT_TRUE(m_inspector->IsValid()) << "module 3 did not ask for additional parameters";

    Received(CFrameBuilder::SnmtSnFail(3u, Inspector::ms_AdditionalParameterNeededErrorGroup, 0xFFu));
    Download(3u, Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u)));
    Support::ExpectException(Support::CaptureException([&] { Download(3u, unknown); }),
                             Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 9u);
    EXPECT_FALSE(m_inspector->IsValid());

    Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(3u)));
    Download(3u, unknown);
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(3u, 0x101Bu, 0u, Slice(unknown, 0u, 16u)));
    NeedsAdditionalParameters(3u);
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(3u, 0x101Bu, 0u, Slice(unknown, 0u, 16u)));
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(3u, DownloadIndex, 1u, Slice(unknown, 0u, 16u)));
}

TEST_F(CCheckingAdditionalParameterInspectorTest, TheFrameThatCompletesTheHeaderIsTheOneChecked)
{
    const Bytes matching = Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u));
    Support::CAdditionalParameterRecord other = MakeParameter(3u, 1u, 0x11u);
    other.m_timestamp ^= 0x80000000u;
    const Bytes different = Support::BuildAdditionalParameter(other);
    for (std::size_t split = 0u; split <= 30u; ++split)
    {
        SCOPED_TRACE(testing::Message() << "split at " << split);
        m_inspector = std::make_unique<Inspector>(*m_catalog);
        NeedsAdditionalParameters(3u);
        Initiate(3u, 1u, Slice(matching, 0u, split));
        Segment(3u, 2u, true, Slice(matching, split, matching.size()));
        EXPECT_TRUE(m_inspector->IsValid());

        const bool completedByInitiate = split >= 16u;
        const Util::CException initiate =
            completedByInitiate ? Support::CaptureException([&] { Initiate(3u, 3u, Slice(different, 0u, split)); })
                                : Util::CException(0u);
        if (!completedByInitiate)
        {
            Initiate(3u, 3u, Slice(different, 0u, split));
        }
        const Util::CException end =
            Support::CaptureException([&] { Segment(3u, 4u, true, Slice(different, split, different.size())); });
        if (completedByInitiate)
        {
            Support::ExpectException(initiate, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter,
                                     3u, 1u);
        }
        Support::ExpectException(end, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, 3u, 1u);
        EXPECT_FALSE(m_inspector->IsValid());
    }
}

TEST_F(CCheckingAdditionalParameterInspectorTest, EveryLaterFrameOfARefusedDownloadIsRefusedAgain)
{
    NeedsAdditionalParameters(4u);
    const Bytes wrong = Support::BuildAdditionalParameter(MakeParameter(4u, 1u, 0x42u));
    const Bytes right = Support::BuildAdditionalParameter(MakeParameter(4u, 1u, 0x41u));
    Support::ExpectException(Support::CaptureException([&] { Initiate(4u, 1u, Slice(wrong, 0u, 20u)); }),
                             Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, 4u, 1u);
    Support::ExpectException(Support::CaptureException([&] { Segment(4u, 2u, false, Slice(wrong, 20u, 40u)); }),
                             Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, 4u, 1u);
    Support::ExpectException(Support::CaptureException([&] { Segment(4u, 3u, true, Slice(wrong, 40u, 56u)); }),
                             Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, 4u, 1u);
    Download(4u, right);
    Segment(4u, 3u, true, Slice(right, 40u, 56u));
    EXPECT_FALSE(m_inspector->IsValid()) << "a refusal is never forgotten";
}

TEST_F(CCheckingAdditionalParameterInspectorTest, RefusesNumbersNotConfiguredForTheModule)
{
    NeedsAdditionalParameters(4u);
    Support::ExpectException(
        Support::CaptureException([&]
                                  { Download(4u, Support::BuildAdditionalParameter(MakeParameter(4u, 2u, 0x22u))); }),
        Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 4u, 2u);
    EXPECT_FALSE(m_inspector->IsValid());
}

TEST_F(CCheckingAdditionalParameterInspectorTest, NumbersOutOfRangeAreRefusedByTheCatalogWithoutInvalidating)
{
    NeedsAdditionalParameters(3u);
    for (const std::uint8_t parameterNumber : {std::uint8_t{0u}, std::uint8_t{17u}, std::uint8_t{0xFFu}})
    {
        Support::ExpectException(
            Support::CaptureException(
                [&]
                { Expedited(3u, Support::BuildAdditionalParameterHeader(MakeParameter(3u, parameterNumber, 0x11u))); }),
            Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, 0u, parameterNumber);
    }
    EXPECT_TRUE(m_inspector->IsValid());
}

TEST_F(CCheckingAdditionalParameterInspectorTest, ParametersDownloadedOneAfterAnotherAreEachCheckedAgainstTheirOwn)
{
    NeedsAdditionalParameters(3u);
    Download(3u, Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u)));
    Download(3u, Support::BuildAdditionalParameter(MakeParameter(3u, 2u, 0x22u)));
    Expedited(3u, Support::BuildAdditionalParameterHeader(MakeParameter(3u, 1u, 0x11u)));
    EXPECT_TRUE(m_inspector->IsValid());
    Support::ExpectException(
        Support::CaptureException([&]
                                  { Download(3u, Support::BuildAdditionalParameter(MakeParameter(3u, 2u, 0x11u))); }),
        Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, 3u, 2u);
}

TEST_F(CCheckingAdditionalParameterInspectorTest, RepeatedFramesAndSegmentsWithoutARunningDownloadAreIgnoredAtAnyCt)
{
    NeedsAdditionalParameters(3u);
    const Bytes right = Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u));
    const Bytes wrong = Support::BuildAdditionalParameter(MakeParameter(3u, 7u, 0x77u));
    Segment(3u, 0u, false, Slice(wrong, 0u, 16u));
    Segment(3u, 5u, true, Slice(wrong, 0u, 16u));

    Initiate(3u, 0u, Slice(right, 0u, 6u));
    Initiate(3u, 0u, Slice(wrong, 0u, 6u));
    Segment(3u, 0u, false, Slice(wrong, 6u, 10u));
    Segment(3u, 1u, false, Slice(right, 6u, 10u));
    Segment(3u, 1u, false, Slice(wrong, 10u, 16u));
    Segment(3u, 2u, false, Slice(right, 10u, 16u));
    Segment(3u, 2u, true, Slice(wrong, 16u, 56u));
    Segment(3u, 3u, true, Slice(right, 16u, 56u));

    Expedited(3u, Slice(right, 0u, 8u));
    Segment(3u, 4u, false, Slice(wrong, 8u, 16u));
    Segment(3u, 0u, false, Slice(wrong, 8u, 16u));
    Segment(3u, 5u, true, Slice(wrong, 8u, 16u));
    EXPECT_TRUE(m_inspector->IsValid()) << "nothing completed the header with wrong bytes";
}

TEST_F(CCheckingAdditionalParameterInspectorTest, ADownloadIsFollowedWhateverItsCtsAcrossTheWrap)
{
    // Four frames of four header bytes each: the header completes with the end segment, which is refused only when
    // every frame before it was taken.
    const std::vector<std::vector<std::uint16_t>> ctSequences = {
        {0u, 1u, 2u, 3u}, {0xFFFFu, 0u, 1u, 2u}, {0xFFFEu, 0xFFFFu, 0u, 1u}, {0xFFFDu, 0xFFFEu, 0xFFFFu, 0u}};
    const Bytes unknown = Support::BuildAdditionalParameter(MakeParameter(3u, 9u, 0x99u));
    const Bytes right = Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u));
    for (const std::vector<std::uint16_t>& cts : ctSequences)
    {
        SCOPED_TRACE(testing::Message() << "CTs from " << cts[0]);
        m_inspector = std::make_unique<Inspector>(*m_catalog);
        NeedsAdditionalParameters(3u);
        Initiate(3u, cts[0], Slice(unknown, 0u, 4u));
        Segment(3u, cts[1], false, Slice(unknown, 4u, 8u));
        Segment(3u, cts[2], false, Slice(unknown, 8u, 12u));
        Support::ExpectException(
            Support::CaptureException([&] { Segment(3u, cts[3], true, Slice(unknown, 12u, unknown.size())); }),
            Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 9u);
        EXPECT_FALSE(m_inspector->IsValid());

        m_inspector = std::make_unique<Inspector>(*m_catalog);
        NeedsAdditionalParameters(3u);
        Initiate(3u, cts[0], Slice(right, 0u, 4u));
        Segment(3u, cts[1], false, Slice(right, 4u, 8u));
        Segment(3u, cts[2], false, Slice(right, 8u, 12u));
        Segment(3u, cts[3], true, Slice(right, 12u, right.size()));
        EXPECT_TRUE(m_inspector->IsValid());
    }
}

TEST_F(CCheckingAdditionalParameterInspectorTest, AnUnknownHeaderInADownloadInitiatedAtCtZeroIsRefused)
{
    NeedsAdditionalParameters(3u);
    const Bytes unknown = Support::BuildAdditionalParameter(MakeParameter(3u, 9u, 0x99u));
    Support::ExpectException(Support::CaptureException([&] { Initiate(3u, 0u, Slice(unknown, 0u, 20u)); }),
                             Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 9u);
    Support::ExpectException(Support::CaptureException([&] { Segment(3u, 1u, true, Slice(unknown, 20u, 56u)); }),
                             Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 9u);
    EXPECT_FALSE(m_inspector->IsValid());
}

TEST_F(CCheckingAdditionalParameterInspectorTest, AnExpeditedDownloadOfFewerThanSixteenBytesChecksNothing)
{
    NeedsAdditionalParameters(3u);
    const Bytes unknown = Support::BuildAdditionalParameterHeader(MakeParameter(3u, 9u, 0x99u));
    Expedited(3u, Slice(unknown, 0u, 15u));
    Expedited(3u, Bytes{});
    EXPECT_TRUE(m_inspector->IsValid());
    Support::ExpectException(Support::CaptureException([&] { Expedited(3u, unknown); }),
                             Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 9u);
}

TEST_F(CCheckingAdditionalParameterInspectorTest, AnUninitialisedCatalogRefusesEveryExaminedHeader)
{
    CheckTest::CConfiguration configuration(MakeConfiguration());
    auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(configuration.m_invertedHeaderReader);
    m_inspector = std::make_unique<Inspector>(*catalog);
    const Bytes right = Support::BuildAdditionalParameter(MakeParameter(3u, 1u, 0x11u));
    Download(3u, right);
    NeedsAdditionalParameters(3u);
    Support::ExpectGuard(Support::CaptureException([&] { Download(3u, right); }),
                         "CPersistentAdditionalParameterCatalog.cpp", 0x8B281026u);
}

TEST_F(CCheckingAdditionalParameterInspectorTest, GuardsAddressZeroInEveryHandledFrame)
{
    const std::vector<CFrameBuilder> frames = {
        CFrameBuilder::SnmtSnFail(0u, Inspector::ms_AdditionalParameterNeededErrorGroup, 0u),
        CFrameBuilder::SnmtAssignSadr(0u, CheckTest::MakeUdid(1u)),
        CFrameBuilder::SsdoDownloadInitiateExpedited(0u, DownloadIndex, 0u, Bytes(4u)),
        CFrameBuilder::SsdoDownloadInitiateSegmented(0u, DownloadIndex, 0u, 8u, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoDownloadSegment(0u, false, false, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoDownloadSegment(0u, true, false, Bytes(4u)).Ct(1u),
    };
    for (std::size_t i = 0u; i < frames.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException([&] { Sent(frames[i]); }),
                             "CCheckingAdditionalParameterInspector.cpp", InspectorFileIdentifier);
    }
    Received(CFrameBuilder::SnmtSnFail(0u, 3u, 2u));
    EXPECT_TRUE(m_inspector->IsValid());
}
} // namespace
