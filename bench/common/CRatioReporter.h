// Runs a benchmark program's cases repeatedly and interleaved, and prints their medians and ratios on one line.
#ifndef BENCH_COMMON_CRATIOREPORTER_H
#define BENCH_COMMON_CRATIOREPORTER_H

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace Bench
{
/// One figure of the closing line: the median CPU time of one case divided by that of another case run in the same
/// program, or by a fixed time (a budget).
struct CRatio
{
    std::string m_key;
    std::string m_numerator;
    /// The case to divide by; empty: divide by m_fixedNanoseconds.
    std::string m_denominator;
    double m_fixedNanoseconds = 0.0;
    /// A case whose median is taken from the numerator's first, where a figure is to leave out a part measured apart
    /// (for instance the emulated kernel's file I/O); empty: none.
    std::string m_subtrahend = "";
};

/// The console reporter, which also keeps the CPU time per iteration of every repetition of every case.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit CRatioReporter(std::vector<CRatio> ratios);

    void ReportRuns(const std::vector<Run>& runs) override;

    /// "name_ns=median ... key=ratio ...": every case's median in nanoseconds in the program's order, then every ratio;
    /// a ratio whose cases did not run is left out. False when a case reported an error.
    bool PrintSummary(std::ostream& stream) const;

private:
    std::vector<CRatio> m_ratios;
    std::map<std::string, std::vector<double>> m_nanoseconds;
    /// Each case with its registration index, so that the summary keeps the program's order.
    std::vector<std::pair<std::int64_t, std::string>> m_order;
    bool m_failed;
};

/// The program's main: runs the registered cases (by default 9 repetitions, randomly interleaved; the console shows
/// their aggregates) and ends with the summary line. Command-line flags of Google Benchmark override the defaults.
/// Returns 1 when a case failed.
int RunWithRatios(int argc, char** argv, const std::vector<CRatio>& ratios);

/// "DecodeBasicLe8" -> "decode_basic_le8": the key of a case in the summary line.
std::string ToKey(const std::string& name);
} // namespace Bench

#endif
