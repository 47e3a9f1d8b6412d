// The safety nodes on their network.
#include "tools/scm-sim/CNodeNetwork.h"

namespace ScmSim
{
namespace
{
constexpr std::uint8_t RequestUdidId = 0x28u;
constexpr std::uint8_t AssignSadrId = 0x2Au;
} // namespace

CNodeNetwork::CNodeNetwork(const std::vector<CNodeIdentity>& nodes)
{
    m_nodes.reserve(nodes.size());
    for (const CNodeIdentity& node : nodes)
    {
        m_nodes.emplace_back(node);
    }
}

std::vector<Bytes> CNodeNetwork::Deliver(const Bytes& frame)
{
    std::vector<Bytes> answers;
    if (frame.size() < 2u)
    {
        return answers;
    }
    // Routing needs only sub-frame 1, which nobody keys: a frame the nodes cannot read still reaches one.
    const auto adr = static_cast<std::uint16_t>(frame[0] | ((frame[1] & 0x03u) << 8u));
    const auto id = static_cast<std::uint8_t>(frame[1] >> 2u);
    for (CSafetyNode& node : m_nodes)
    {
        const bool addressed = (id == AssignSadrId) ||
                               ((id == RequestUdidId) ? (node.GetIdentity().m_slot == adr)
                                                      : (node.GetSafetyAddress() == adr));
        if (!addressed)
        {
            continue;
        }
        std::optional<Bytes> answer = node.Answer(frame);
        if (answer.has_value())
        {
            answers.push_back(std::move(*answer));
        }
    }
    return answers;
}
} // namespace ScmSim
