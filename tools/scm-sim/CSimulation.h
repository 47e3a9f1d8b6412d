// One run of scm-sim: provisions the domain, starts a real checker, plays the runtime, the SCM, the nodes and the
// operator around it cycle by cycle, prints the timeline and judges the outcome against the scenario.
#ifndef TOOLS_SCM_SIM_CSIMULATION_H
#define TOOLS_SCM_SIM_CSIMULATION_H

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "tools/scm-sim/CScenario.h"

namespace ScmSim
{
struct CRunOptions
{
    std::string m_checker;
    unsigned m_nodes = 0u;
    std::uint32_t m_seed = 1u;
    /// Which frames that pass get a timeline line (events, commands and withheld frames always do): all, the key
    /// steps of a story (UDID requests and answers, SN FAIL and SN ACK, aborts, nodes going operational), none.
    enum class CFrameLines
    {
        All,
        Key,
        None
    };
    CFrameLines m_frameLines = CFrameLines::All;
    bool m_summary = false;
    bool m_stats = false;
    /// An updating progress line on standard error (a terminal only).
    bool m_progress = false;
    std::optional<std::string> m_pcap;
    /// The run gives up after this many cycles of the checker.
    unsigned m_maxCycles = 20000u;
};

/// The outcome of a run.
struct CRunResult
{
    bool m_asExpected = false;
    std::string m_observed;
    unsigned m_operational = 0u;
    unsigned m_nodes = 0u;
    std::uint64_t m_cycles = 0u;
};

class CSimulation
{
public:
    CSimulation(const CScenario& scenario, const CRunOptions& options, std::ostream& out);
    ~CSimulation();
    CSimulation(const CSimulation&) = delete;
    CSimulation& operator=(const CSimulation&) = delete;

    /// Runs the scenario to its end; throws std::runtime_error when the domain cannot be set up or the checker
    /// stops handing over.
    CRunResult Run();

private:
    class CImpl;
    std::unique_ptr<CImpl> m_impl;
};
} // namespace ScmSim

#endif
