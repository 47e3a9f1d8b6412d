// The played SCM commissioning played nodes directly, without a checker between them: the order of the steps, the
// framing rules the nodes enforce, and the SCM's reaction to the faults an SCM meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/Messages/CCommandBuilder.h"
#include "tools/scm-sim/CDomainDescription.h"
#include "tools/scm-sim/CNodeNetwork.h"
#include "tools/scm-sim/CScmApplication.h"

namespace
{
using ScmSim::CStep;
using Support::Bytes;

// What a request is, for order checks: "2A", "2C:14", "38:20:3" (upload of 0x1018/3), "3A:29" (slim download).
std::string Kind(const Bytes& frame, const Support::Udid& scmUdid)
{
    const std::optional<Support::CFrameFields> fields = Support::ParseFrame(frame, scmUdid);
    if (!fields.has_value())
    {
        return "unreadable";
    }
    char text[32];
    const unsigned first = fields->m_payload.empty() ? 0u : fields->m_payload[0];
    if (fields->m_id == 0x2Cu)
    {
        (void)std::snprintf(text, sizeof(text), "2C:%u", first);
    }
    else if (fields->IsSsdo() && (fields->m_payload.size() >= 4u) && ((first & 0xE0u) == 0x20u))
    {
        (void)std::snprintf(text, sizeof(text), "%02X:%02X:%u", fields->m_id, first, fields->m_payload[3]);
    }
    else
    {
        (void)std::snprintf(text, sizeof(text), "%02X", fields->m_id);
    }
    return text;
}

// The SCM and the nodes, each frame delivered in the cycle after it was sent.
class CLoopback
{
public:
    CLoopback(const ScmSim::CDomainDescription& description,
              const std::function<void(std::vector<ScmSim::CNodeIdentity>&)>& changeDevices)
        : m_scmUdid(description.m_scmUdid), m_network(Devices(description, changeDevices)),
          m_scm(Views(description), Settings(description))
    {
    }

    // Runs until every slot is done (or for all the cycles, `beyondDone`), at most `cycles` cycles.
    void Run(unsigned cycles, bool beyondDone = false)
    {
        for (unsigned i = 0u; i < cycles && (beyondDone || !m_scm.IsFinished()); ++i, ++m_cycle)
        {
            for (const Bytes& answer : m_answers)
            {
                (void)m_scm.TakeResponse(answer, m_cycle);
            }
            m_answers.clear();
            m_events += static_cast<unsigned>(m_scm.TakeEvents(m_cycle).size());
            for (const Bytes& request : m_scm.TakeRequests(m_cycle, 20u))
            {
                m_requests[request[0] | ((request[1] & 3u) << 8u)].push_back(Kind(request, m_scmUdid));
                for (Bytes& answer : m_network.Deliver(request))
                {
                    if (!m_drop || !m_drop(answer))
                    {
                        m_answers.push_back(std::move(answer));
                    }
                }
            }
        }
    }

    static std::vector<ScmSim::CNodeIdentity>
    Devices(const ScmSim::CDomainDescription& description,
            const std::function<void(std::vector<ScmSim::CNodeIdentity>&)>& changeDevices)
    {
        std::vector<ScmSim::CNodeIdentity> devices;
        for (const ScmSim::CNodeDescription& node : description.m_nodes)
        {
            devices.push_back(node.GetDevice());
        }
        changeDevices(devices);
        return devices;
    }

    static std::vector<ScmSim::CScmNodeView> Views(const ScmSim::CDomainDescription& description)
    {
        return description.GetScmViews();
    }

    static ScmSim::CScmSettings Settings(const ScmSim::CDomainDescription& description)
    {
        ScmSim::CScmSettings settings;
        settings.m_scmUdid = description.m_scmUdid;
        settings.m_setupMode = description.m_setupMode;
        return settings;
    }

    Support::Udid m_scmUdid;
    ScmSim::CNodeNetwork m_network;
    ScmSim::CScmApplication m_scm;
    std::function<bool(const Bytes&)> m_drop;
    std::vector<Bytes> m_answers;
    std::map<unsigned, std::vector<std::string>> m_requests;
    unsigned m_events = 0u;
    std::uint64_t m_cycle = 0u;
};

std::size_t First(const std::vector<std::string>& kinds, const std::string& kind)
{
    return static_cast<std::size_t>(std::find(kinds.begin(), kinds.end(), kind) - kinds.begin());
}

class FreshDomain : public ::testing::TestWithParam<std::uint32_t>
{
};

// Twelve nodes of every kind the seed gives (checksums of 4 and 8 bytes, fresh or parameterised, one with an
// additional parameter): every node operational with the configured checksum, in the commissioning order.
TEST_P(FreshDomain, IsCommissionedInOrderInSetupMode)
{
    ScmSim::CDomainDescription description = ScmSim::MakeGeneratedDomain(12u, GetParam(), false);
    description.m_setupMode = true;
    // Stack release 1.5.2 on one seed: initial CTs, preloaded downloads to nodes queueing 0 (refused), 1 or 2.
    description.m_scmPreload = GetParam() == 3u;
    for (std::size_t i = 0u; i < description.m_nodes.size(); ++i)
    {
        description.m_nodes[i].m_assignInitialCt = (i % 3u) == 0u;
        description.m_nodes[i].m_devicePreloadQueue = static_cast<std::uint8_t>(i % 3u);
    }
    CLoopback loopback(description, [](std::vector<ScmSim::CNodeIdentity>&) {});
    loopback.Run(400u);
    loopback.Run(150u, true);

    EXPECT_EQ(2u, loopback.m_events) << "one modules and one firmware acknowledgement";
    for (std::size_t i = 0u; i < description.m_nodes.size(); ++i)
    {
        const ScmSim::CSafetyNode& node = loopback.m_network.GetNodes()[i];
        const unsigned sadr = node.GetIdentity().m_slot;
        EXPECT_EQ(CStep::Operational, loopback.m_scm.GetSlots()[i].GetStep()) << "node " << sadr;
        EXPECT_TRUE(node.IsOperational()) << "node " << sadr;
        EXPECT_EQ(std::vector<std::string>{}, node.GetViolations()) << "node " << sadr;
        EXPECT_EQ(description.m_nodes[i].m_configured.m_parameterChecksum, node.GetIdentity().m_parameterChecksum);

        const std::vector<std::string>& kinds = loopback.m_requests[sadr];
        const std::vector<std::size_t> order = {First(kinds, "2A"),         First(kinds, "2C:14"),
                                                First(kinds, "38:20:1"),    First(kinds, "38:20:2"),
                                                First(kinds, "38:20:3"),    First(kinds, "38:20:6"),
                                                First(kinds, "2C:2")};
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end()) && order.back() < kinds.size()) << "node " << sadr;
        const auto lastSetToOp =
            static_cast<std::size_t>(std::distance(std::find(kinds.rbegin(), kinds.rend(), "2C:2"), kinds.rend())) - 1u;
        EXPECT_LT(lastSetToOp, First(kinds, "2C:8")) << "guarding after OP, node " << sadr;
        EXPECT_GE(loopback.m_scm.GetSlots()[i].GetGuardCount(), 1u) << "node " << sadr;
        const bool fresh = description.m_nodes[i].m_deviceChecksum.has_value();
        const std::size_t download =
            std::min({First(kinds, "3A:21:0"), First(kinds, "3A:29:0"), First(kinds, "3A:2B:0")});
        EXPECT_EQ(fresh, First(kinds, "2C:0") < kinds.size()) << "node " << sadr;
        if (fresh)
        {
            EXPECT_LT(order[5], First(kinds, "2C:0")) << "node " << sadr;
            EXPECT_LT(First(kinds, "2C:0"), download) << "node " << sadr;
            EXPECT_LT(download, order[6]) << "node " << sadr;
            EXPECT_EQ(description.m_scmPreload, First(kinds, "3A:2B:0") < kinds.size()) << "node " << sadr;
        }
        // Service 16 (1.5.2) only where configured, between the SCM's UDID and the first upload.
        EXPECT_EQ(description.m_nodes[i].m_assignInitialCt, node.GetInitialCt().has_value()) << "node " << sadr;
        if (description.m_nodes[i].m_assignInitialCt)
        {
            EXPECT_LT(order[1], First(kinds, "2C:16")) << "node " << sadr;
            EXPECT_LT(First(kinds, "2C:16"), order[2]) << "node " << sadr;
        }
        // Additional SADRs follow the download and precede set-to-operational; each sends an SPDO of its own.
        EXPECT_EQ(description.m_nodes[i].m_additionalSadrs, node.GetAdditionalSadrs()) << "node " << sadr;
        std::vector<unsigned> producers;
        for (const Bytes& spdo : node.ProduceSpdos(7u))
        {
            producers.push_back(spdo[0] | ((spdo[1] & 3u) << 8u));
        }
        std::vector<unsigned> addresses = {sadr};
        for (const ScmSim::CAdditionalSadr& additional : node.GetAdditionalSadrs())
        {
            addresses.push_back(additional.m_sadr);
        }
        EXPECT_EQ(addresses, producers) << "node " << sadr;
        if (!description.m_nodes[i].m_additionalSadrs.empty())
        {
            EXPECT_LT(download, First(kinds, "2C:10")) << "node " << sadr;
            EXPECT_LT(First(kinds, "2C:10"), order[6]) << "node " << sadr;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FreshDomain, ::testing::Values(1u, 2u, 3u));

struct CFaultCase
{
    std::string m_name;
    std::function<void(ScmSim::CDomainDescription&)> m_prepare;
    std::function<void(std::vector<ScmSim::CNodeIdentity>&)> m_changeDevices;
    std::function<bool(const Bytes&)> m_drop;
    // The operator's command once the first node waits (empty: none).
    std::function<Bytes()> m_command;
    CStep m_firstNodeStep;
    std::string m_failure;
    std::string m_violation;
};

class CommissioningFault : public ::testing::TestWithParam<CFaultCase>
{
};

TEST_P(CommissioningFault, EndsAsAnScmEnds)
{
    const CFaultCase& fault = GetParam();
    ScmSim::CDomainDescription description = ScmSim::MakeGeneratedDomain(3u, 1u, true);
    fault.m_prepare(description);
    CLoopback loopback(description, fault.m_changeDevices);
    loopback.m_drop = fault.m_drop;
    loopback.Run(300u);
    if (fault.m_command)
    {
        const ScmSim::CPendingAcknowledgements pending = loopback.m_scm.GetPendingAcknowledgements();
        EXPECT_TRUE(pending.m_ready && (pending.m_modules == 1u)) << "the replaced module waits, alone";
        EXPECT_EQ(CStep::WaitAcknowledgement, loopback.m_scm.GetSlots()[0].GetStep());
        (void)loopback.m_scm.AnswerCommand(fault.m_command(), loopback.m_cycle);
        loopback.Run(300u);
    }
    const ScmSim::CNodeCommissioning& first = loopback.m_scm.GetSlots()[0];
    EXPECT_EQ(ScmSim::GetStepName(fault.m_firstNodeStep), std::string(ScmSim::GetStepName(first.GetStep())));
    EXPECT_NE(std::string::npos, first.GetFailure().find(fault.m_failure)) << first.GetFailure();
    EXPECT_EQ(fault.m_firstNodeStep == CStep::Operational, !loopback.m_network.GetNodes()[0].ProduceSpdos(1u).empty())
        << "only an operational node sends process data";
    const std::vector<std::string>& violations = loopback.m_network.GetNodes()[0].GetViolations();
    EXPECT_EQ(!fault.m_violation.empty(),
              std::find(violations.begin(), violations.end(), fault.m_violation) != violations.end());
    for (std::size_t i = 1u; i < loopback.m_scm.GetSlots().size(); ++i)
    {
        EXPECT_EQ(CStep::Operational, loopback.m_scm.GetSlots()[i].GetStep()) << "the others go on";
    }
}

void NoChange(ScmSim::CDomainDescription&) {}
void SameDevices(std::vector<ScmSim::CNodeIdentity>&) {}

INSTANTIATE_TEST_SUITE_P(
    Faults, CommissioningFault,
    ::testing::Values(
        CFaultCase{"VendorDiffers", NoChange,
                   [](std::vector<ScmSim::CNodeIdentity>& devices) { devices[0].m_vendorId += 1u; }, nullptr, nullptr,
                   CStep::Invalid, "vendor id differs", ""},
        CFaultCase{"MajorRevisionDiffers", NoChange,
                   [](std::vector<ScmSim::CNodeIdentity>& devices) { devices[0].m_revisionNumber += 0x10000u; },
                   nullptr, nullptr, CStep::Invalid, "revision refused", ""},
        CFaultCase{"AdditionalParameterNotConfigured", NoChange,
                   [](std::vector<ScmSim::CNodeIdentity>& devices) { devices[0].m_neededAdditionalParameters = {2u}; },
                   nullptr, nullptr, CStep::Invalid, "WRONG_ADD_PARAM 2", ""},
        // The node has no second transmit SPDO: its echo names none and the SCM gives the node up.
        CFaultCase{"AdditionalSadrRefused",
                   [](ScmSim::CDomainDescription& description)
                   {
                       description.m_nodes[0].m_deviceChecksum = Bytes{0u, 0u, 0u, 0u};
                       description.m_nodes[0].m_additionalSadrs = {{600u, 1u}, {601u, 2u}};
                       description.m_nodes[0].m_deviceTxSpdoCount = 1u;
                   },
                   SameDevices, nullptr, nullptr, CStep::Invalid, "WRONG_PARAM additional SADR 601", ""},
        // 1.5.2: the answer to a streamed segment is lost; the SCM gives the download up at its SSDO time-out and
        // commissions the node again.
        CFaultCase{"LostPreloadedSegmentAnswer",
                   [](ScmSim::CDomainDescription& description)
                   {
                       description.m_scmPreload = true;
                       description.m_nodes[0].m_deviceChecksum = Bytes{0u, 0u, 0u, 0u};
                       description.m_nodes[0].m_devicePreloadQueue = 2u;
                   },
                   SameDevices,
                   [dropped = std::make_shared<bool>(false)](const Bytes& answer)
                   {
                       const std::optional<Support::CFrameFields> fields =
                           Support::ParseFrame(answer, ScmSim::CDomainDescription().m_scmUdid);
                       const bool drop = !*dropped && fields.has_value() && (fields->m_id == 0x3Bu) &&
                                         (fields->m_tadr == 2u) && ((fields->m_payload[0] & 0xAFu) == 0x0Bu);
                       *dropped = *dropped || drop;
                       return drop;
                   },
                   nullptr, CStep::Operational, "missing in download", ""},
        CFaultCase{"ReplacedModuleAfterTheOperatorAcknowledged",
                   [](ScmSim::CDomainDescription& description)
                   { description.m_nodes[0].m_deviceUdid = Support::Udid{0u, 0x60u, 0x65u, 9u, 9u, 9u}; },
                   SameDevices, nullptr,
                   [] {
                       return Support::CCommandBuilder::AcknowledgeModules(Support::Password{'p'}, 1u).Build();
                   },
                   CStep::Operational, "", ""},
        // The answer to the first upload segment is lost: the SCM repeats the segment byte for byte, the node
        // drops it for its toggle, the SCM gives up and commissions the node from the start.
        CFaultCase{"LostUploadSegmentAnswer",
                   [](ScmSim::CDomainDescription& description)
                   {
                       description.m_nodes[0].m_configured.m_parameterChecksum = Bytes(8u, 0x42u);
                       description.m_nodes[0].m_deviceChecksum.reset();
                   },
                   SameDevices,
                   [dropped = std::make_shared<bool>(false)](const Bytes& answer)
                   {
                       const std::optional<Support::CFrameFields> fields =
                           Support::ParseFrame(answer, ScmSim::CDomainDescription().m_scmUdid);
                       const bool drop = !*dropped && fields.has_value() && (fields->m_id == 0x39u) &&
                                         (fields->m_tadr == 2u) && ((fields->m_payload[0] & 0xAFu) == 0x08u);
                       *dropped = *dropped || drop;
                       return drop;
                   },
                   nullptr, CStep::Operational, "missing in upload-checksum", "upload segment with the wrong toggle"}),
    [](const ::testing::TestParamInfo<CFaultCase>& testCase) { return testCase.param.m_name; });
} // namespace
