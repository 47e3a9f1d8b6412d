// The soak: the checker under load in every flow for millions of frames, its memory and allocations watched.
#ifndef TOOLS_SCM_FAULTS_SOAK_H
#define TOOLS_SCM_FAULTS_SOAK_H

#include <cstdint>

namespace Faults
{
struct CSoakOptions
{
    std::uint64_t m_frames = 10000000u;
    bool m_verbose = false;
};

/// Prints the figures; 0 when the checker allocated nothing after start-up, raised no event and kept its memory
/// flat, else 1.
int RunSoak(const CSoakOptions& options);
} // namespace Faults

#endif
