// The campaign: episodes of mutated commissioning traffic through a real checker process, every frame compared
// with the oracle's verdict, a fresh checker for every episode.
#ifndef TOOLS_SCM_CAMPAIGN_CCAMPAIGN_H
#define TOOLS_SCM_CAMPAIGN_CCAMPAIGN_H

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace Campaign
{
struct COptions
{
    std::uint64_t m_frames = 1000000u;
    std::uint64_t m_seed = 1u;
    /// Only this episode (its seed as printed with an escape), with every frame printed.
    std::optional<std::uint64_t> m_replay;
    /// End at the first escape or frame after fail-safe (the single-check variants).
    bool m_stopAtEscape = false;
    std::string m_checker;
    unsigned m_mutationsMax = 3u;
    /// Domains played at once, each with its own checker (the checker sleeps 10 ms a cycle).
    unsigned m_jobs = 2u;
    bool m_verbose = false;
};

/// Counts of one mutation kind (frames tagged with it: mutated, or following its mutation in the episode).
struct CKindCounts
{
    std::uint64_t m_frames = 0u;
    std::uint64_t m_passed = 0u;
    std::uint64_t m_withheld = 0u;
    std::uint64_t m_escapes = 0u;
    std::uint64_t m_falseRefusals = 0u;
};

struct CResult
{
    std::uint64_t m_frames = 0u;
    std::uint64_t m_episodes = 0u;
    std::uint64_t m_escapes = 0u;
    std::uint64_t m_afterFailSafe = 0u;
    std::uint64_t m_falseRefusals = 0u;
    /// The frame count at the first escape (or frame after fail-safe); with several jobs, the frames all of them
    /// had judged by then.
    std::optional<std::uint64_t> m_firstEscapeFrame;
    std::vector<CKindCounts> m_kinds;
    // Two-bit flips of slim frames: how many were tried, how many of them still met the length rule and both
    // CRCs, how many such frames reached the checker while it judged, and how many of those it released.
    std::uint64_t m_slimTwoBitFlipsTried = 0u;
    std::uint64_t m_slimTwoBitFlipsPassingCrcs = 0u;
    std::uint64_t m_slimTwoBitFlipsSent = 0u;
    std::uint64_t m_slimTwoBitFlipsReleased = 0u;
    double m_seconds = 0.0;
};

/// Runs the campaign; prints escapes, frames after fail-safe and false refusals with their episode seeds as they
/// happen. Throws std::runtime_error when the checker cannot be run.
CResult Run(const COptions& options, std::ostream& out);

/// The summary: counts per kind, frames per second, the CRC figures, and the last line
/// frames=N escapes=N after_failsafe=N false_refusals=N.
void Print(const CResult& result, std::ostream& out);
} // namespace Campaign

#endif
