// The safety nodes on their network: a frame from the SCM reaches the node it addresses, which may answer.
#ifndef TOOLS_SCM_SIM_CNODENETWORK_H
#define TOOLS_SCM_SIM_CNODENETWORK_H

#include <vector>

#include "tools/scm-sim/CSafetyNode.h"

namespace ScmSim
{
class CNodeNetwork
{
public:
    explicit CNodeNetwork(const std::vector<CNodeIdentity>& nodes);

    /// The answers to one frame: SADR assignment goes to every node (only the one with that UDID answers), a UDID
    /// request to the node wired at the address asked for, everything else to the node holding the address.
    std::vector<Bytes> Deliver(const Bytes& frame);

    const std::vector<CSafetyNode>& GetNodes() const
    {
        return m_nodes;
    }

private:
    std::vector<CSafetyNode> m_nodes;
};
} // namespace ScmSim

#endif
