// A played node answers as a node of the stack does and records every slip of the SCM, which would otherwise hide
// a fault of the played SCM behind a node that plays along.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Messages/CFrameBuilder.h"
#include "tools/scm-sim/CSafetyNode.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

constexpr std::uint16_t Sadr = 5u;
const Support::Udid NodeUdid{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x05u};
const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0x5Cu, 0x3Du, 0x01u};

ScmSim::CNodeIdentity Identity()
{
    ScmSim::CNodeIdentity identity;
    identity.m_slot = Sadr;
    identity.m_udid = NodeUdid;
    identity.m_vendorId = 0x100u;
    identity.m_productCode = 0x2000u;
    identity.m_revisionNumber = 0x00010003u;
    identity.m_parameterChecksum = Bytes(8u, 0x11u);
    identity.m_busyAnswers = 2u;
    return identity;
}

Bytes Ssdo(CFrameBuilder builder, std::uint16_t ct)
{
    return builder.Ct(ct).ScmUdid(ScmUdid).Build();
}

// The SCM's requests up to the one under test, as (frame, whether the node must answer it).
struct CSlipCase
{
    std::string m_name;
    std::vector<std::pair<Bytes, bool>> m_requests;
    std::string m_violation;
};

class SafetyNodeSlip : public ::testing::TestWithParam<CSlipCase>
{
};

TEST_P(SafetyNodeSlip, IsRecorded)
{
    ScmSim::CSafetyNode node(Identity());
    for (const auto& [request, answered] : GetParam().m_requests)
    {
        EXPECT_EQ(answered, node.Answer(request).has_value()) << Support::ToHex(request);
    }
    const std::vector<std::string> expected =
        GetParam().m_violation.empty() ? std::vector<std::string>{} : std::vector<std::string>{GetParam().m_violation};
    EXPECT_EQ(expected, node.GetViolations());
}

const Bytes AssignSadr = CFrameBuilder::SnmtAssignSadr(Sadr, NodeUdid).Build();
const Bytes AssignScmUdid = CFrameBuilder::SnmtAssignUdidScm(Sadr, ScmUdid).Build();
const Bytes UploadChecksum = Ssdo(CFrameBuilder::SsdoRequest(Sadr, 0x20u, {0x18u, 0x10u, 6u}), 7u);
const Bytes Download =
    Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(Sadr, 0x101Au, 0u, {1u, 2u, 3u}, true), 9u);

INSTANTIATE_TEST_SUITE_P(
    Requests, SafetyNodeSlip,
    ::testing::Values(
        CSlipCase{"InOrder",
                  {{AssignSadr, true},
                   {AssignScmUdid, true},
                   {UploadChecksum, true},
                   {Ssdo(CFrameBuilder::SsdoRequest(Sadr, 0x18u, {0x18u, 0x10u, 6u}), 8u), true},
                   {CFrameBuilder::SnmtExtendedServiceRequest(Sadr, 0u).Build(), true},
                   {Download, true}},
                  ""},
        CSlipCase{"AnotherUdid", {{CFrameBuilder::SnmtAssignSadr(Sadr, ScmUdid).Build(), false}}, ""},
        CSlipCase{"SsdoBeforeService14", {{AssignSadr, true}, {UploadChecksum, false}}, "SSDO before service 14"},
        CSlipCase{"SnmtWithCt",
                  {{AssignSadr, true}, {CFrameBuilder::SnmtAssignUdidScm(Sadr, ScmUdid).Ct(3u).Build(), true}},
                  "SNMT frame with CT or TR set"},
        CSlipCase{"SsdoWithCtZero",
                  {{AssignSadr, true},
                   {AssignScmUdid, true},
                   {Ssdo(CFrameBuilder::SsdoRequest(Sadr, 0x20u, {0x18u, 0x10u, 1u}), 0u), true}},
                  "SSDO request with CT 0"},
        CSlipCase{"DownloadBeforePreOperational",
                  {{AssignSadr, true}, {AssignScmUdid, true}, {Download, true}},
                  "parameter download before PRE-OPERATIONAL"},
        CSlipCase{"FirstSegmentWithoutToggle",
                  {{AssignSadr, true},
                   {AssignScmUdid, true},
                   {UploadChecksum, true},
                   {Ssdo(CFrameBuilder::SsdoRequest(Sadr, 0x08u, {0x18u, 0x10u, 6u}), 8u), false}},
                  "upload segment with the wrong toggle"}),
    [](const ::testing::TestParamInfo<CSlipCase>& testCase) { return testCase.param.m_name; });

// BUSY as often as configured, then OPERATIONAL; a downloaded parameter set replaces the node's checksum.
TEST(CSafetyNode, GoesOperationalAfterItsBusyAnswersWithTheDownloadedChecksum)
{
    ScmSim::CSafetyNode node(Identity());
    for (const Bytes& request : {AssignSadr, AssignScmUdid, CFrameBuilder::SnmtExtendedServiceRequest(Sadr, 0u).Build()})
    {
        ASSERT_TRUE(node.Answer(request).has_value());
    }
    const Bytes parameterSet = {0x18u, 0x10u, 6u, 4u, 0u, 0u, 0u, 0xAAu, 0xBBu, 0xCCu, 0xDDu};
    ASSERT_TRUE(node.Answer(Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(Sadr, 0x101Au, 0u, 11u,
                                                                              Bytes(parameterSet.begin(),
                                                                                    parameterSet.begin() + 6),
                                                                              false, true),
                                 1u))
                    .has_value());
    ASSERT_TRUE(node.Answer(Ssdo(CFrameBuilder::SsdoDownloadSegment(
                                     Sadr, true, true, Bytes(parameterSet.begin() + 6, parameterSet.end()), false,
                                     true),
                                 2u))
                    .has_value());
    EXPECT_EQ((Bytes{0xAAu, 0xBBu, 0xCCu, 0xDDu}), node.GetIdentity().m_parameterChecksum);
    const Bytes setToOp = CFrameBuilder::SnmtSnSetToOp(Sadr, 1u).Build();
    const Bytes busy = CFrameBuilder::SnmtExtendedServiceResponse(Sadr, 9u).Build();
    EXPECT_EQ(busy, node.Answer(setToOp));
    EXPECT_EQ(busy, node.Answer(setToOp));
    EXPECT_EQ(CFrameBuilder::SnmtExtendedServiceResponse(Sadr, 3u).Build(), node.Answer(setToOp));
    EXPECT_TRUE(node.IsOperational());
    EXPECT_EQ(std::vector<std::string>{}, node.GetViolations());
}
} // namespace
