// The fault sweep: the checker started and driven with the n-th call of one platform or kernel service failing,
// once or from then on, for every service and every n up to the calls it makes in a few cycles.
#ifndef TOOLS_SCM_FAULTS_FAULTSWEEP_H
#define TOOLS_SCM_FAULTS_FAULTSWEEP_H

#include <string>

namespace Faults
{
struct CSweepOptions
{
    /// The CI version: the first calls and a few far ones per service, persistent failures from the first call.
    bool m_quick = false;
    /// Only the services whose names contain this text (empty: all).
    std::string m_serviceFilter;
    /// One line per case.
    bool m_verbose = false;
};

/// Prints the table and the closing counts; 0 without crash, hang, release after a fault or torn file, else 1.
int RunFaultSweep(const CSweepOptions& options);
} // namespace Faults

#endif
