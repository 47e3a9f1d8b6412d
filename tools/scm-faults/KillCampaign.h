// The kill campaign: the checker killed (SIGKILL) while it rewrites its copies, and started again each time.
#ifndef TOOLS_SCM_FAULTS_KILLCAMPAIGN_H
#define TOOLS_SCM_FAULTS_KILLCAMPAIGN_H

#include <cstdint>

namespace Faults
{
struct CKillOptions
{
    unsigned m_kills = 1000u;
    std::uint32_t m_seed = 0u;
    bool m_verbose = false;
};

/// Prints the counts; 0 when every start found each copy whole (old or new) and the pair checks passed or refused
/// as for the copy found, else 1.
int RunKillCampaign(const CKillOptions& options);
} // namespace Faults

#endif
