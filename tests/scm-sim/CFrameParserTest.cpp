// The played peers' frame parser against the frame builder: every field back, and the frames a peer must not read.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CFrameParser.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};

struct CRoundTrip
{
    std::string m_name;
    CFrameBuilder m_builder;
};

class FrameParserRoundTrip : public ::testing::TestWithParam<CRoundTrip>
{
};

TEST_P(FrameParserRoundTrip, GivesBackEveryField)
{
    CFrameBuilder builder = GetParam().m_builder;
    builder.Sdn(700u).Ct(0x1234u).Tr(5u).ScmUdid(ScmUdid);
    const std::optional<Support::CFrameFields> fields = Support::ParseFrame(builder.Build(), ScmUdid);
    ASSERT_TRUE(fields.has_value());
    const std::optional<Support::CFrameFields> again =
        Support::ParseFrame(CFrameBuilder()
                                .Id(fields->m_id)
                                .Adr(fields->m_adr)
                                .Sdn(fields->m_sdn)
                                .Ct(fields->m_ct)
                                .Tadr(fields->m_tadr)
                                .Tr(fields->m_tr)
                                .Payload(fields->m_payload)
                                .ScmUdid(ScmUdid)
                                .Build(),
                            ScmUdid);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(builder.Build(), CFrameBuilder()
                                   .Id(again->m_id)
                                   .Adr(again->m_adr)
                                   .Sdn(again->m_sdn)
                                   .Ct(again->m_ct)
                                   .Tadr(again->m_tadr)
                                   .Tr(again->m_tr)
                                   .Payload(again->m_payload)
                                   .ScmUdid(ScmUdid)
                                   .Build());
    EXPECT_EQ(700u, fields->m_sdn);
    EXPECT_EQ(0x1234u, fields->m_ct);
    EXPECT_EQ(5u, fields->m_tr);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameParserRoundTrip,
    ::testing::Values(
        CRoundTrip{"SnmtAssignSadrHighAddress", CFrameBuilder::SnmtAssignSadr(1023u, ScmUdid)},
        CRoundTrip{"SnmtSadrAssigned", CFrameBuilder::SnmtSadrAssigned(2u, ScmUdid)},
        CRoundTrip{"SsdoOneByteCrc", CFrameBuilder::SsdoRequest(300u, 0x20u, {0x18u, 0x10u, 6u})},
        CRoundTrip{"SsdoTwoByteCrc",
                   CFrameBuilder::SsdoUploadInitiateSegmentedResponse(9u, 0x1018u, 6u, 40u, {1u, 2u, 3u, 4u, 5u})},
        CRoundTrip{"SlimTwoByteCrc", CFrameBuilder::SsdoDownloadSegment(
                                         4u, true, true, Bytes(13u, 0x5Au), false, true)}),
    [](const ::testing::TestParamInfo<CRoundTrip>& testCase) { return testCase.param.m_name; });

struct CDamage
{
    std::string m_name;
    std::function<void(Bytes&)> m_damage;
    Support::Udid m_readerUdid;
};

class FrameParserRefusal : public ::testing::TestWithParam<CDamage>
{
};

TEST_P(FrameParserRefusal, GivesNothing)
{
    Bytes frame =
        CFrameBuilder::SsdoRequest(3u, 0x21u, {0x1Au, 0x10u, 0u, 1u, 2u, 3u, 4u, 5u}).ScmUdid(ScmUdid).Build();
    GetParam().m_damage(frame);
    EXPECT_FALSE(Support::ParseFrame(frame, GetParam().m_readerUdid).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameParserRefusal,
    ::testing::Values(CDamage{"FlippedPayloadBit", [](Bytes& frame) { frame[4] ^= 0x10u; }, ScmUdid},
                      CDamage{"FlippedCopyBit", [](Bytes& frame) { frame[frame.size() - 4u] ^= 0x01u; }, ScmUdid},
                      CDamage{"AnotherScmUdid", [](Bytes&) {}, Support::Udid{}},
                      CDamage{"Truncated", [](Bytes& frame) { frame.pop_back(); }, ScmUdid},
                      CDamage{"IdDiffersBetweenSubFrames", [](Bytes& frame) { frame[1] ^= 0x04u; }, ScmUdid}),
    [](const ::testing::TestParamInfo<CDamage>& testCase) { return testCase.param.m_name; });
} // namespace
