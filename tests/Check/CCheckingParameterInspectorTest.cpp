// Parameter inspector over the real checker: checksums from expedited and segmented uploads, and from parameter-set
// downloads scanned across frames, split anywhere; the release and what a release stops.
#include "Check/CCheckingParameterInspector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Check/CParameterCheckEventCode.h"
#include "Check/CPersistentParameterChecker.h"
#include "support/Messages/Bytes.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;
using Support::CFrameBuilder;
using Inspector = Check::CCheckingParameterInspector;

constexpr std::uint16_t ChecksumIndex = 0x1018u;
constexpr std::uint8_t ChecksumSubIndex = 6u;
constexpr std::uint16_t DownloadIndex = 0x101Au;

Bytes MakeChecksum(std::size_t length, std::uint8_t seed)
{
    Bytes checksum(length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        checksum[i] = static_cast<std::uint8_t>(seed + 13u * i);
    }
    return checksum;
}

/// One entry of a parameter-set stream: index, sub-index, data length (or the declared one), data.
Bytes Entry(std::uint16_t index, std::uint8_t subIndex, const Bytes& data,
            std::optional<std::uint32_t> declaredLength = std::nullopt)
{
    const std::uint32_t length = declaredLength.value_or(static_cast<std::uint32_t>(data.size()));
    Bytes entry;
    entry.reserve(7u + data.size());
    Support::AppendLittleEndian(entry, index, 2u);
    entry.push_back(subIndex);
    Support::AppendLittleEndian(entry, length, 4u);
    entry.insert(entry.end(), data.begin(), data.end());
    return entry;
}

Bytes Concatenate(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& part : parts)
    {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Slice(const Bytes& bytes, std::size_t begin, std::size_t end)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(begin), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

const Bytes Checksum8 = MakeChecksum(8u, 0x31u);
const Bytes Checksum256 = MakeChecksum(256u, 0x47u);

Support::CParameterStreamBuilder MakeConfiguration()
{
    Support::CParameterStreamBuilder stream;
    for (const auto& [safetyAddress, checksum] :
         std::vector<std::pair<std::uint16_t, Bytes>>{{3u, Checksum8}, {4u, Checksum256}, {5u, MakeChecksum(4u, 1u)}})
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = 1u;
        module.m_productCode = 1u;
        module.m_majorRevision = 1u;
        module.m_minorRevision = 1u;
        module.m_parameterChecksum = checksum;
        stream.AddModule(module);
    }
    return stream;
}

class CCheckingParameterInspectorTest : public testing::Test
{
protected:
    CCheckingParameterInspectorTest()
        : m_configuration(MakeConfiguration()),
          m_checker(std::make_unique<Check::CPersistentParameterChecker>(m_configuration.m_invertedChecksumReader)),
          m_inspector(std::make_unique<Inspector>(*m_checker))
    {
        m_checker->Initialize();
    }

    void Sent(const CFrameBuilder& frame)
    {
        m_inspector->InspectSentFrame(m_decoding.Frame(frame));
    }
    void Received(const CFrameBuilder& frame)
    {
        m_inspector->InspectReceivedFrame(m_decoding.Frame(frame));
    }
    void UploadExpedited(std::uint16_t safetyAddress, const Bytes& checksum)
    {
        Received(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(safetyAddress, ChecksumIndex, ChecksumSubIndex,
                                                                    checksum));
    }
    void UploadInitiate(std::uint16_t safetyAddress, std::uint16_t ct, const Bytes& data)
    {
        Received(
            CFrameBuilder::SsdoUploadInitiateSegmentedResponse(safetyAddress, ChecksumIndex, ChecksumSubIndex, 0u, data)
                .Ct(ct));
    }
    void UploadSegment(std::uint16_t safetyAddress, std::uint16_t ct, bool isEnd, const Bytes& data)
    {
        Received(CFrameBuilder::SsdoUploadSegmentResponse(safetyAddress, isEnd, (ct % 2u) != 0u, data).Ct(ct));
    }
    void DownloadInitiate(std::uint16_t safetyAddress, std::uint16_t ct, const Bytes& data)
    {
        Sent(CFrameBuilder::SsdoDownloadInitiateSegmented(safetyAddress, DownloadIndex, 0u, 0u, data).Ct(ct));
    }
    void DownloadSegment(std::uint16_t safetyAddress, std::uint16_t ct, bool isEnd, const Bytes& data)
    {
        Sent(CFrameBuilder::SsdoDownloadSegment(safetyAddress, isEnd, (ct % 2u) != 0u, data).Ct(ct));
    }
    /// A download of the whole stream in segments of at most segmentLength bytes, CTs from 1.
    void Download(std::uint16_t safetyAddress, const Bytes& stream, std::size_t segmentLength)
    {
        std::size_t offset = std::min(segmentLength, stream.size());
        DownloadInitiate(safetyAddress, 1u, Slice(stream, 0u, offset));
        std::uint16_t ct = 2u;
        do
        {
            const std::size_t end = std::min(offset + segmentLength, stream.size());
            DownloadSegment(safetyAddress, ct++, end == stream.size(), Slice(stream, offset, end));
            offset = end;
        } while (offset < stream.size());
    }
    Util::CException RefusedSetToOp(std::uint16_t safetyAddress)
    {
        return Support::CaptureException([&] { Sent(CFrameBuilder::SnmtSnSetToOp(safetyAddress)); });
    }

    CheckTest::CDecoding m_decoding;
    CheckTest::CConfiguration m_configuration;
    std::unique_ptr<Check::CPersistentParameterChecker> m_checker;
    std::unique_ptr<Inspector> m_inspector;
};

TEST_F(CCheckingParameterInspectorTest, AnExpeditedUploadPublishesItsChecksumAtOnce)
{
    UploadExpedited(5u, MakeChecksum(4u, 1u));
    EXPECT_TRUE(m_checker->IsValidModule(5u));
    Sent(CFrameBuilder::SnmtSnSetToOp(5u));
    EXPECT_TRUE(m_inspector->IsValid());

    Support::ExpectException(Support::CaptureException([&] { UploadExpedited(5u, MakeChecksum(6u, 1u)); }),
                             Check::CParameterCheckEventCode::InvalidChecksum, 5u, 6u);
}

TEST_F(CCheckingParameterInspectorTest, ASegmentedUploadIsCollectedAcrossSegmentsAndRepetitionsAreIgnored)
{
    UploadInitiate(4u, 1u, Slice(Checksum256, 0u, 100u));
    UploadInitiate(4u, 1u, Slice(Checksum256, 100u, 200u));
    UploadSegment(4u, 2u, false, Slice(Checksum256, 100u, 200u));
    UploadSegment(4u, 2u, false, Slice(Checksum256, 100u, 200u));
    EXPECT_FALSE(m_checker->IsDiscoveredModule(4u)) << "nothing is published before the end segment";
    UploadSegment(4u, 3u, true, Slice(Checksum256, 200u, 256u));
    EXPECT_TRUE(m_checker->IsValidModule(4u));
    UploadSegment(4u, 3u, true, Slice(Checksum256, 200u, 256u));
    UploadSegment(4u, 4u, true, Bytes{1u, 2u, 3u, 4u});
    EXPECT_TRUE(m_checker->IsValidModule(4u)) << "end segments after the end are ignored";
    Sent(CFrameBuilder::SnmtSnSetToOp(4u));
    EXPECT_TRUE(m_inspector->IsValid());
}

TEST_F(CCheckingParameterInspectorTest, UploadSegmentsBeyondTwoHundredFiftySixBytesAreRefused)
{
    UploadInitiate(4u, 1u, Slice(Checksum256, 0u, 200u));
    UploadSegment(4u, 2u, false, Slice(Checksum256, 200u, 256u));
    Support::ExpectException(Support::CaptureException([&] { UploadSegment(4u, 3u, true, Bytes{0u}); }),
                             Check::CParameterCheckEventCode::InvalidParameterLength, 4u, 1u);

    UploadInitiate(4u, 5u, Slice(Checksum256, 0u, 200u));
    Support::ExpectException(Support::CaptureException([&] { UploadSegment(4u, 6u, false, Bytes(57u, 0u)); }),
                             Check::CParameterCheckEventCode::InvalidParameterLength, 4u, 57u);
}

TEST_F(CCheckingParameterInspectorTest, SegmentsWithoutARunningTransferAreIgnoredAtAnyCt)
{
    for (const std::uint16_t ct : {std::uint16_t{0u}, std::uint16_t{5u}})
    {
        UploadSegment(3u, ct, false, Bytes(250u, 0u));
        UploadSegment(3u, static_cast<std::uint16_t>(ct + 1u), true, Checksum8);
        DownloadSegment(3u, ct, false, Entry(ChecksumIndex, ChecksumSubIndex, Checksum8));
        DownloadSegment(3u, static_cast<std::uint16_t>(ct + 1u), true,
                        Entry(ChecksumIndex, ChecksumSubIndex, Checksum8));
    }
    EXPECT_FALSE(m_checker->IsDiscoveredModule(3u));

    UploadInitiate(3u, 7u, Slice(Checksum8, 0u, 4u));
    UploadSegment(3u, 8u, true, Slice(Checksum8, 4u, 8u));
    ASSERT_TRUE(m_checker->IsValidModule(3u));
    UploadSegment(3u, 0u, true, MakeChecksum(8u, 0u));
    UploadSegment(3u, 9u, true, MakeChecksum(8u, 0u));
    EXPECT_TRUE(m_checker->IsValidModule(3u)) << "end segments after the end are ignored";
}

TEST_F(CCheckingParameterInspectorTest, AChecksumTransferIsFollowedWhateverItsCtsAcrossTheWrap)
{
    const std::vector<std::vector<std::uint16_t>> ctSequences = {
        {0u, 1u, 2u}, {0xFFFFu, 0u, 1u}, {0xFFFEu, 0xFFFFu, 0u}};
    const Bytes stream =
        Concatenate({Entry(0x2000u, 1u, Bytes{1u, 2u, 3u}), Entry(ChecksumIndex, ChecksumSubIndex, Checksum8)});
    for (const std::vector<std::uint16_t>& cts : ctSequences)
    {
        SCOPED_TRACE(testing::Message() << "CTs from " << cts[0]);
        // Each frame comes twice, the second a repetition with the same CT; the upload interrupts one started before.
        m_inspector = std::make_unique<Inspector>(*m_checker);
        UploadExpedited(3u, MakeChecksum(8u, 0u));
        UploadInitiate(3u, 0x1234u, MakeChecksum(4u, 0u));
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            UploadInitiate(3u, cts[0], Slice(Checksum8, 0u, 3u));
        }
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            UploadSegment(3u, cts[1], false, Slice(Checksum8, 3u, 5u));
        }
        ASSERT_FALSE(m_checker->IsCompatibleModule(3u));
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            UploadSegment(3u, cts[2], true, Slice(Checksum8, 5u, 8u));
        }
        EXPECT_TRUE(m_checker->IsValidModule(3u)) << "upload";

        m_inspector = std::make_unique<Inspector>(*m_checker);
        UploadExpedited(3u, MakeChecksum(8u, 0u));
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            DownloadInitiate(3u, cts[0], Slice(stream, 0u, 12u));
        }
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            DownloadSegment(3u, cts[1], false, Slice(stream, 12u, 20u));
        }
        ASSERT_FALSE(m_checker->IsCompatibleModule(3u));
        for (int repetition = 0; repetition < 2; ++repetition)
        {
            DownloadSegment(3u, cts[2], true, Slice(stream, 20u, stream.size()));
        }
        EXPECT_TRUE(m_checker->IsValidModule(3u)) << "download";
        EXPECT_NO_THROW(Sent(CFrameBuilder::SnmtSnSetToOp(3u))) << "released";
    }
}

TEST_F(CCheckingParameterInspectorTest, FindsTheChecksumEntryWhereverTheStreamIsSplitAcrossThreeFrames)
{
    const Bytes stream =
        Concatenate({Entry(0x2000u, 1u, Bytes{1u, 2u, 3u, 4u, 5u}), Entry(ChecksumIndex, ChecksumSubIndex, Checksum8),
                     Entry(0x3000u, 0u, Bytes{}), Entry(ChecksumIndex, 5u, MakeChecksum(12u, 3u))});
    const std::size_t checksumEnd = 12u + 7u + Checksum8.size();
    for (std::size_t first = 0u; first <= stream.size(); ++first)
    {
        for (std::size_t second = first; second <= stream.size(); ++second)
        {
            SCOPED_TRACE(testing::Message() << "split at " << first << " and " << second);
            UploadExpedited(3u, MakeChecksum(8u, 0u));
            Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(3u)));
            ASSERT_FALSE(m_checker->IsCompatibleModule(3u));

            DownloadInitiate(3u, 1u, Slice(stream, 0u, first));
            ASSERT_EQ(first >= checksumEnd, m_checker->IsCompatibleModule(3u));
            DownloadSegment(3u, 2u, false, Slice(stream, first, second));
            ASSERT_EQ(second >= checksumEnd, m_checker->IsCompatibleModule(3u));
            DownloadSegment(3u, 3u, true, Slice(stream, second, stream.size()));
            ASSERT_TRUE(m_checker->IsValidModule(3u));
            Sent(CFrameBuilder::SnmtSnSetToOp(3u));
        }
    }
    EXPECT_TRUE(m_inspector->IsValid());
}

TEST_F(CCheckingParameterInspectorTest, OtherEntriesAreSkippedByTheirDeclaredLengthHoweverLong)
{
    // Data that looks like a checksum entry head must not be taken for one.
    Bytes decoy = Entry(ChecksumIndex, ChecksumSubIndex, MakeChecksum(8u, 0x99u));
    Bytes longData(700u, 0x18u);
    std::copy(decoy.begin(), decoy.end(), longData.begin() + 300);
    const Bytes stream = Concatenate({Entry(0x2000u, 1u, longData), Entry(ChecksumIndex, ChecksumSubIndex, Checksum8),
                                      Entry(0x4000u, 2u, Bytes(300u, 0x06u))});
    Download(3u, stream, 200u);
    EXPECT_TRUE(m_checker->IsValidModule(3u));
}

TEST_F(CCheckingParameterInspectorTest, AnExpeditedDownloadIsScannedWholeAfterAnInterruptedUpload)
{
    UploadInitiate(3u, 4u, Slice(Checksum8, 0u, 4u));
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(
        3u, DownloadIndex, 0u,
        Concatenate({Entry(0x3000u, 0u, Bytes{}), Entry(ChecksumIndex, ChecksumSubIndex, Checksum8)})));
    EXPECT_TRUE(m_checker->IsValidModule(3u));
    UploadSegment(3u, 5u, true, Slice(Checksum8, 4u, 8u));
    EXPECT_TRUE(m_checker->IsValidModule(3u)) << "the expedited download ended the running transfer";
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(3u, 0x101Bu, 0u,
                                                      Entry(ChecksumIndex, ChecksumSubIndex, Bytes(8u))));
    Sent(CFrameBuilder::SsdoDownloadInitiateExpedited(3u, DownloadIndex, 1u,
                                                      Entry(ChecksumIndex, ChecksumSubIndex, Bytes(8u))));
    EXPECT_TRUE(m_checker->IsValidModule(3u)) << "other objects are not scanned";
}

TEST_F(CCheckingParameterInspectorTest, ADownloadedChecksumEntryOfAtMostTwoHundredFiftySixBytesIsAccepted)
{
    Download(4u, Entry(ChecksumIndex, ChecksumSubIndex, Checksum256), 100u);
    EXPECT_TRUE(m_checker->IsValidModule(4u));
    Sent(CFrameBuilder::SnmtSnSetToOp(4u));
}

TEST_F(CCheckingParameterInspectorTest, ADownloadedChecksumEntryDeclaringMoreIsRefusedBeforeItsDataIsTaken)
{
    for (const std::uint32_t declared : {257u, 0x10000u, 0xFFFFFFFFu})
    {
        SCOPED_TRACE(declared);
        auto inspector = std::make_unique<Inspector>(*m_checker);
        const Bytes entry = Entry(ChecksumIndex, ChecksumSubIndex, Bytes(100u, 0xEEu), declared);
        inspector->InspectSentFrame(m_decoding.Frame(
            CFrameBuilder::SsdoDownloadInitiateSegmented(4u, DownloadIndex, 0u, 0u, Slice(entry, 0u, 3u)).Ct(1u)));
        Support::ExpectException(
            Support::CaptureException(
                [&]
                {
                    inspector->InspectSentFrame(m_decoding.Frame(
                        CFrameBuilder::SsdoDownloadSegment(4u, false, false, Slice(entry, 3u, 7u)).Ct(2u)));
                }),
            Check::CParameterCheckEventCode::InvalidParameterLength, 4u, declared);
        Support::ExpectException(
            Support::CaptureException(
                [&]
                {
                    inspector->InspectSentFrame(m_decoding.Frame(
                        CFrameBuilder::SsdoDownloadSegment(4u, true, true, Slice(entry, 7u, 107u)).Ct(3u)));
                }),
            Check::CParameterCheckEventCode::InvalidParameterLength, 4u, declared);
        EXPECT_FALSE(m_checker->IsDiscoveredModule(4u));
    }
}

TEST_F(CCheckingParameterInspectorTest, AfterAReleaseDownloadsAreNotScannedUntilTheNextSadrAssignment)
{
    Download(3u, Entry(ChecksumIndex, ChecksumSubIndex, Checksum8), 10u);
    Sent(CFrameBuilder::SnmtSnSetToOp(3u));
    const Bytes other = Entry(ChecksumIndex, ChecksumSubIndex, MakeChecksum(8u, 0u));
    Download(3u, other, 10u);
    EXPECT_TRUE(m_checker->IsValidModule(3u));

    Sent(CFrameBuilder::SnmtAssignSadr(3u, CheckTest::MakeUdid(3u)));
    Support::ExpectException(RefusedSetToOp(3u), Check::CParameterCheckEventCode::InvalidState, 3u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag |
                                 Inspector::ms_CompatibleModuleFlag);
    EXPECT_FALSE(m_inspector->IsValid());
    Download(3u, other, 10u);
    EXPECT_FALSE(m_checker->IsCompatibleModule(3u)) << "scanned again after the assignment";
    Support::ExpectException(RefusedSetToOp(3u), Check::CParameterCheckEventCode::InvalidState, 3u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag);
}

TEST_F(CCheckingParameterInspectorTest, RefusesModulesWithoutTheConfiguredChecksumWithTheirFlags)
{
    Support::ExpectException(RefusedSetToOp(3u), Check::CParameterCheckEventCode::InvalidState, 3u,
                             Inspector::ms_RequiredModuleFlag);
    UploadExpedited(7u, MakeChecksum(4u, 1u));
    Support::ExpectException(RefusedSetToOp(7u), Check::CParameterCheckEventCode::InvalidState, 7u,
                             Inspector::ms_DiscoveredModuleFlag);
    UploadExpedited(5u, Bytes{});
    Support::ExpectException(RefusedSetToOp(5u), Check::CParameterCheckEventCode::InvalidState, 5u,
                             Inspector::ms_RequiredModuleFlag | Inspector::ms_DiscoveredModuleFlag);
    EXPECT_FALSE(m_inspector->IsValid());
}

TEST_F(CCheckingParameterInspectorTest, GuardsAddressZeroInEveryHandledFrame)
{
    const std::vector<CFrameBuilder> frames = {
        CFrameBuilder::SnmtAssignSadr(0u, CheckTest::MakeUdid(1u)),
        CFrameBuilder::SnmtSnSetToOp(0u),
        CFrameBuilder::SsdoUploadInitiateExpeditedResponse(0u, ChecksumIndex, ChecksumSubIndex, Bytes(4u)),
        CFrameBuilder::SsdoUploadInitiateSegmentedResponse(0u, ChecksumIndex, ChecksumSubIndex, 8u, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoUploadSegmentResponse(0u, false, false, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoUploadSegmentResponse(0u, true, false, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoDownloadInitiateExpedited(0u, DownloadIndex, 0u, Bytes(4u)),
        CFrameBuilder::SsdoDownloadInitiateSegmented(0u, DownloadIndex, 0u, 8u, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoDownloadSegment(0u, false, false, Bytes(4u)).Ct(1u),
        CFrameBuilder::SsdoDownloadSegment(0u, true, false, Bytes(4u)).Ct(1u),
    };
    for (std::size_t i = 0u; i < frames.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException([&] { Sent(frames[i]); }), "CCheckingParameterInspector.cpp");
    }
    Received(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(0u, ChecksumIndex, 5u, Bytes(4u)));
    Received(CFrameBuilder::SsdoUploadInitiateSegmentedResponse(0u, 0x2000u, ChecksumSubIndex, 8u, Bytes(4u)).Ct(1u));
    EXPECT_TRUE(m_inspector->IsValid()) << "uploads of other objects are ignored before their address is looked at";
}
} // namespace
