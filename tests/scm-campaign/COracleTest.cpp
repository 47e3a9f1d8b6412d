// The campaign's oracle against traffic whose verdict is known: clean commissioning passes whole, each kind of
// defect is refused by the check that guards it, and the frame rules refuse any single-bit error.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Files/CParameterStreamBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "tools/scm-campaign/CEpisode.h"
#include "tools/scm-campaign/COracle.h"

namespace
{
using Campaign::CVerdict;
using Support::Bytes;
using Support::CFrameBuilder;

// Every frame of an episode through the oracle in the checker's order; the first refusal and its reason.
std::string FirstRefusal(const std::vector<Campaign::CCycle>& cycles, Campaign::COracle& oracle)
{
    for (const Campaign::CCycle& cycle : cycles)
    {
        for (const Campaign::CMessage& message : cycle.m_fromScm)
        {
            const CVerdict verdict = oracle.JudgeFromScm(message.m_bytes);
            if (!verdict.m_passes)
            {
                return verdict.m_reason;
            }
        }
        for (const Campaign::CMessage& message : cycle.m_fromRuntime)
        {
            const CVerdict verdict = oracle.JudgeFromRuntime(message.m_bytes);
            if (!verdict.m_passes)
            {
                return verdict.m_reason;
            }
        }
    }
    return "";
}

TEST(CampaignOracle, PassesEveryCleanEpisode)
{
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    for (std::uint64_t seed = 1u; seed <= 200u; ++seed)
    {
        Campaign::CFlipStatistics flips;
        Campaign::COracle oracle(configuration);
        EXPECT_EQ("", FirstRefusal(Campaign::GenerateEpisode(configuration, seed, 9u, 0u, flips), oracle))
            << "seed " << seed;
    }
}

// The SCM's frames for module 2 up to set to operational, as a stack sends them, with the module's answers.
struct CDefectCase
{
    const char* m_name;
    // Changes the module's answers or the SCM's frames before they are judged.
    std::function<void(Bytes& vendor, Bytes& revision, Bytes& checksum, Bytes& udid)> m_defect;
    const char* m_reason;
};

class CampaignOracleDefect : public ::testing::TestWithParam<CDefectCase>
{
};

TEST_P(CampaignOracleDefect, IsRefusedBySetToOperationalForItsCheck)
{
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    const Support::CPlayedModule& module = configuration.GetModule(2u);
    Bytes vendor;
    Support::AppendLittleEndian(vendor, module.m_vendorId, 4u);
    Bytes product;
    Support::AppendLittleEndian(product, module.m_productCode, 4u);
    Bytes revision;
    Support::AppendLittleEndian(revision, module.GetRevisionNumber(), 4u);
    Bytes checksum = module.m_parameterChecksum;
    Bytes udid(module.m_udid.begin(), module.m_udid.end());
    GetParam().m_defect(vendor, revision, checksum, udid);
    Support::Udid reported{};
    std::copy(udid.begin(), udid.end(), reported.begin());

    Campaign::COracle oracle(configuration);
    const Support::Udid& scmUdid = Campaign::GetScmUdid();
    const auto upload = [&](std::uint8_t subIndex, const Bytes& value)
    {
        return CFrameBuilder::SsdoUploadInitiateExpeditedResponse(2u, 0x1018u, subIndex, value)
            .Ct(subIndex)
            .ScmUdid(scmUdid)
            .Build();
    };
    ASSERT_TRUE(oracle.JudgeFromScm(CFrameBuilder::SnmtAssignSadr(2u, reported).Build()).m_passes);
    ASSERT_TRUE(oracle.JudgeFromRuntime(CFrameBuilder::SnmtSadrAssigned(2u, reported).Build()).m_passes);
    ASSERT_TRUE(oracle.JudgeFromScm(CFrameBuilder::SnmtAssignUdidScm(2u, scmUdid).Build()).m_passes);
    for (const Bytes& answer : {upload(1u, vendor), upload(2u, product), upload(3u, revision), upload(6u, checksum)})
    {
        ASSERT_TRUE(oracle.JudgeFromRuntime(answer).m_passes);
    }
    const CVerdict verdict = oracle.JudgeFromScm(CFrameBuilder::SnmtSnSetToOp(2u).Build());
    EXPECT_EQ(GetParam().m_reason, verdict.m_reason);
    EXPECT_EQ(std::string(GetParam().m_reason).empty(), verdict.m_passes);
    EXPECT_EQ(!verdict.m_passes, oracle.IsFailSafe());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CampaignOracleDefect,
    ::testing::Values(CDefectCase{"None", [](Bytes&, Bytes&, Bytes&, Bytes&) {}, ""},
                      CDefectCase{"OtherUdid", [](Bytes&, Bytes&, Bytes&, Bytes& udid) { udid[5] ^= 0x40u; }, "udid"},
                      CDefectCase{"OtherVendor", [](Bytes& vendor, Bytes&, Bytes&, Bytes&) { vendor[0] ^= 1u; },
                                  "firmware"},
                      CDefectCase{"NewerMinorRevision", [](Bytes&, Bytes& revision, Bytes&, Bytes&) { ++revision[0]; },
                                  "firmware"},
                      CDefectCase{"OtherChecksum", [](Bytes&, Bytes&, Bytes& checksum, Bytes&) { checksum[3] ^= 1u; },
                                  "parameter"},
                      CDefectCase{"LongerChecksum",
                                  [](Bytes&, Bytes&, Bytes& checksum, Bytes&) { checksum.resize(8u, 0u); },
                                  "parameter"}),
    [](const ::testing::TestParamInfo<CDefectCase>& testCase) { return testCase.param.m_name; });

TEST(CampaignOracle, DiscardsVendorInformationOfAnUnfinishedSetAtTheSadrAssignment)
{
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    const Support::CPlayedModule& module = configuration.GetModule(2u);
    const Support::Udid& scmUdid = Campaign::GetScmUdid();
    const auto upload = [&](std::uint8_t subIndex, std::uint32_t value)
    {
        Bytes data;
        Support::AppendLittleEndian(data, value, 4u);
        return CFrameBuilder::SsdoUploadInitiateExpeditedResponse(2u, 0x1018u, subIndex, data)
            .Ct(subIndex)
            .ScmUdid(scmUdid)
            .Build();
    };
    Campaign::COracle oracle(configuration);
    ASSERT_TRUE(oracle.JudgeFromScm(CFrameBuilder::SnmtAssignUdidScm(2u, scmUdid).Build()).m_passes);
    // A stray revision before the assignment would complete the set with the vendor id and product code after it.
    ASSERT_TRUE(oracle.JudgeFromRuntime(upload(3u, 0x00090009u)).m_passes);
    ASSERT_TRUE(oracle.JudgeFromScm(CFrameBuilder::SnmtAssignSadr(2u, module.m_udid).Build()).m_passes);
    ASSERT_TRUE(oracle.JudgeFromRuntime(CFrameBuilder::SnmtSadrAssigned(2u, module.m_udid).Build()).m_passes);
    for (const Bytes& answer : {upload(1u, module.m_vendorId), upload(2u, module.m_productCode),
                                upload(3u, module.GetRevisionNumber())})
    {
        ASSERT_TRUE(oracle.JudgeFromRuntime(answer).m_passes);
    }
    ASSERT_TRUE(oracle.JudgeFromRuntime(
                          CFrameBuilder::SsdoUploadInitiateExpeditedResponse(2u, 0x1018u, 6u, module.m_parameterChecksum)
                              .Ct(6u)
                              .ScmUdid(scmUdid)
                              .Build())
                    .m_passes);
    EXPECT_EQ("", oracle.JudgeFromScm(CFrameBuilder::SnmtSnSetToOp(2u).Build()).m_reason);
}

TEST(CampaignOracle, FollowsASegmentedDownloadThroughACtWrapAndChecksTheAdditionalHeader)
{
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    const Support::CPlayedModule& module = configuration.GetModule(4u);
    const Support::Udid& scmUdid = Campaign::GetScmUdid();
    for (const bool spoilHeader : {false, true})
    {
        Campaign::COracle oracle(configuration);
        ASSERT_TRUE(oracle.JudgeFromScm(CFrameBuilder::SnmtAssignUdidScm(4u, scmUdid).Build()).m_passes);
        ASSERT_TRUE(oracle.JudgeFromRuntime(CFrameBuilder::SnmtSnFail(4u, 5u, 0u).Build()).m_passes);
        Support::CAdditionalParameterRecord record = module.m_additionalParameters.front();
        record.m_timestamp += spoilHeader ? 1u : 0u;
        const Bytes data = Support::BuildAdditionalParameter(record);
        // Initiate at CT 0xFFFF with 2 header bytes, the rest at CT 0 and 1: the header completes at CT 1.
        const std::vector<Bytes> frames = {
            CFrameBuilder::SsdoDownloadInitiateSegmented(4u, 0x101Au, 0u, static_cast<std::uint32_t>(data.size()),
                                                         Bytes(data.begin(), data.begin() + 2), false, true)
                .Ct(0xFFFFu)
                .ScmUdid(scmUdid)
                .Build(),
            CFrameBuilder::SsdoDownloadSegment(4u, false, true, Bytes(data.begin() + 2, data.begin() + 10), false, true)
                .Ct(0u)
                .ScmUdid(scmUdid)
                .Build(),
            CFrameBuilder::SsdoDownloadSegment(4u, true, false, Bytes(data.begin() + 10, data.end()), false, true)
                .Ct(1u)
                .ScmUdid(scmUdid)
                .Build()};
        EXPECT_TRUE(oracle.JudgeFromScm(frames[0]).m_passes);
        EXPECT_TRUE(oracle.JudgeFromScm(frames[1]).m_passes);
        const CVerdict last = oracle.JudgeFromScm(frames[2]);
        EXPECT_EQ(spoilHeader ? "additional" : "", last.m_reason);
    }
}

TEST(CampaignOracle, RefusesEverySingleBitErrorAndConcatenationOfFramesItAccepts)
{
    const Support::Udid& scmUdid = Campaign::GetScmUdid();
    const std::vector<Bytes> frames = {
        CFrameBuilder::SnmtAssignSadr(3u, {1u, 2u, 3u, 4u, 5u, 6u}).Build(),
        CFrameBuilder::SsdoRequest(3u, 0x20u, {0x18u, 0x10u, 6u}).Ct(0x1234u).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoDownloadSegment(3u, false, true, Bytes(60u, 0x5Au), false, true)
            .Ct(7u)
            .ScmUdid(scmUdid)
            .Build()};
    for (const Bytes& frame : frames)
    {
        Campaign::COracle oracle(Support::MakeExampleConfiguration());
        ASSERT_TRUE(Campaign::ReadFrame(frame, scmUdid).has_value()) << Support::ToHex(frame);
        for (std::size_t bit = 0u; bit < frame.size() * 8u; ++bit)
        {
            Bytes flipped = frame;
            flipped[bit / 8u] ^= static_cast<std::uint8_t>(1u << (bit % 8u));
            EXPECT_FALSE(Campaign::PassesCrcs(flipped, scmUdid)) << Support::ToHex(frame) << " bit " << bit;
        }
        Bytes twice = frame;
        twice.insert(twice.end(), frame.begin(), frame.end());
        EXPECT_EQ("decode", oracle.JudgeFromScm(twice).m_reason);
    }
}
} // namespace
