// The named scenarios of scm-sim: a domain, what the played peers do differently, and the checker's expected
// behaviour (every node commissioned, or fail-safe with one event).
#ifndef TOOLS_SCM_SIM_CSCENARIO_H
#define TOOLS_SCM_SIM_CSCENARIO_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/scm-sim/CDomainDescription.h"

namespace ScmSim
{
/// What the checker must do: release everything (nothing) or go fail-safe with this event code.
struct CExpectation
{
    std::optional<std::uint16_t> m_failSafeEvent;

    std::string ToString() const;
};

struct CScenario
{
    std::string m_name;
    std::string m_story;
    unsigned m_defaultNodes = 3u;
    std::function<CDomainDescription(unsigned nodes, std::uint32_t seed)> m_makeDomain;
    /// The SCM flips one bit of its first SSDO request to this node on the wire (0: never).
    std::uint16_t m_flipBitForSadr = 0u;
    /// After every node is operational the checker is stopped and started again on the same files, and the
    /// SCM commissions the nodes again.
    bool m_restartChecker = false;
    CExpectation m_expected;
    /// Once every node is operational, the nodes send SPDOs for this many cycles, and the SCM its own if
    /// m_scmSendsSpdos.
    unsigned m_spdoCycles = 0u;
    bool m_scmSendsSpdos = false;
};

const std::vector<CScenario>& GetScenarios();
/// Nothing for an unknown name.
const CScenario* FindScenario(const std::string& name);
/// The scenario that runs a description file as it is: every node commissioned.
CScenario MakeDescriptionScenario(const CDomainDescription& description);
} // namespace ScmSim

#endif
