// One episode of the campaign: commissioning traffic of the domain's modules as an SCM and its modules exchange
// it, with mutations of the attacker mixed in, cut into the checker's cycles.
#ifndef TOOLS_SCM_CAMPAIGN_CEPISODE_H
#define TOOLS_SCM_CAMPAIGN_CEPISODE_H

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Peers/CDomainConfiguration.h"

namespace Campaign
{
/// The mutation kinds, in the order the counts print. Index 0 is clean traffic.
const std::vector<std::string>& GetMutationKinds();

/// One frame of a cycle: who sends it and what it carries; m_kind indexes GetMutationKinds(): the frame's own
/// mutation, or the last one before it in the episode (its consequences), or 0.
struct CMessage
{
    bool m_fromScm = true;
    Support::Bytes m_bytes;
    std::size_t m_kind = 0u;
    /// The frame itself was mutated (not only a consequence of an earlier mutation).
    bool m_mutated = false;
    /// A slim frame with two flipped bits: counted for the CRC-16 measurement.
    bool m_slimTwoBitFlip = false;
};

/// What one hand-over carries: the SCM's frames (the checker judges them first), then the runtime's.
struct CCycle
{
    std::vector<CMessage> m_fromScm;
    std::vector<CMessage> m_fromRuntime;
};

/// The SCM's UDID that the played SCM assigns and keys its SSDO frames with.
const Support::Udid& GetScmUdid();

/// Two-bit flips of slim frames tried while an episode was written: how many, and how many still met the length
/// rule and both CRCs. The episode sends one that does when any did.
struct CFlipStatistics
{
    std::uint64_t m_tried = 0u;
    std::uint64_t m_passingCrcs = 0u;
};

/// Generates the episode of a seed: rounds of commissioning of every module in a random order and on a random
/// path, with up to `mutationsMax` mutations. A cycle carries at most `framesPerCycle` frames each way.
std::vector<CCycle> GenerateEpisode(const Support::CDomainConfiguration& configuration, std::uint64_t seed,
                                    std::size_t framesPerCycle, unsigned mutationsMax,
                                    CFlipStatistics& flips);
} // namespace Campaign

#endif
