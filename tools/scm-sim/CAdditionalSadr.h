// An additional SADR: a further address of a node under which one of its transmit SPDOs is sent.
#ifndef TOOLS_SCM_SIM_CADDITIONALSADR_H
#define TOOLS_SCM_SIM_CADDITIONALSADR_H

#include <cstdint>

namespace ScmSim
{
struct CAdditionalSadr
{
    std::uint16_t m_sadr = 0u;
    /// The transmit SPDO (1 to the node's count) that goes out under m_sadr.
    std::uint16_t m_txSpdo = 1u;

    bool operator==(const CAdditionalSadr& other) const
    {
        return (m_sadr == other.m_sadr) && (m_txSpdo == other.m_txSpdo);
    }
};
} // namespace ScmSim

#endif
