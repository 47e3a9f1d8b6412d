// Medians over repetitions and their ratios, printed as one key=value line after the usual console report.
#include "bench/common/CRatioReporter.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

namespace
{
double ToNanoseconds(double value, benchmark::TimeUnit unit)
{
    switch (unit)
    {
    case benchmark::kNanosecond:
        return value;
    case benchmark::kMicrosecond:
        return value * 1e3;
    case benchmark::kMillisecond:
        return value * 1e6;
    case benchmark::kSecond:
        return value * 1e9;
    }
    return value;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2u;
    return ((values.size() % 2u) == 1u) ? values[middle] : (values[middle - 1u] + values[middle]) / 2.0;
}

std::string Format(double value)
{
    std::ostringstream stream;
    stream << std::setprecision((value < 10.0) ? 3 : 6) << value;
    return stream.str();
}
} // namespace

namespace Bench
{
CRatioReporter::CRatioReporter(std::vector<CRatio> ratios)
    : benchmark::ConsoleReporter(OO_Tabular), m_ratios(std::move(ratios)), m_nanoseconds(), m_order(), m_failed(false)
{
}

// Every repetition is kept here; the console shows only the aggregates of repeated cases.
void CRatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    std::vector<Run> shown;
    for (const Run& run : runs)
    {
        if ((run.run_type == Run::RT_Aggregate) || (run.repetitions <= 1) || run.error_occurred)
        {
            shown.push_back(run);
        }
    }
    for (const Run& run : runs)
    {
        if (run.error_occurred)
        {
            m_failed = true;
            continue;
        }
        if (run.run_type != Run::RT_Iteration)
        {
            continue;
        }
        const std::string name = run.run_name.function_name + run.run_name.args;
        if (m_nanoseconds.find(name) == m_nanoseconds.end())
        {
            m_order.emplace_back(run.family_index, name);
        }
        m_nanoseconds[name].push_back(ToNanoseconds(run.GetAdjustedCPUTime(), run.time_unit));
    }
    if (!shown.empty())
    {
        benchmark::ConsoleReporter::ReportRuns(shown);
    }
}

bool CRatioReporter::PrintSummary(std::ostream& stream) const
{
    std::map<std::string, double> medians;
    const char* separator = "";
    std::vector<std::pair<std::int64_t, std::string>> order = m_order;
    std::sort(order.begin(), order.end());
    for (const auto& entry : order)
    {
        const std::string& name = entry.second;
        const double median = Median(m_nanoseconds.at(name));
        medians[name] = median;
        stream << separator << ToKey(name) << "_ns=" << Format(median);
        separator = " ";
    }
    for (const CRatio& ratio : m_ratios)
    {
        const auto numerator = medians.find(ratio.m_numerator);
        const auto denominator = medians.find(ratio.m_denominator);
        const auto subtrahend = medians.find(ratio.m_subtrahend);
        if ((numerator == medians.end()) || (!ratio.m_subtrahend.empty() && (subtrahend == medians.end())) || (ratio.m_denominator.empty() && (ratio.m_fixedNanoseconds <= 0.0)) ||
            (!ratio.m_denominator.empty() && (denominator == medians.end())))
        {
            continue;
        }
        const double divisor = ratio.m_denominator.empty() ? ratio.m_fixedNanoseconds : denominator->second;
        const double dividend = numerator->second - (ratio.m_subtrahend.empty() ? 0.0 : subtrahend->second);
        stream << separator << ratio.m_key << "=" << Format(dividend / divisor);
        separator = " ";
    }
    stream << "\n";
    return !m_failed;
}

int RunWithRatios(int argc, char** argv, const std::vector<CRatio>& ratios)
{
    // Defaults first: flags given on the command line come later and win.
    std::vector<char*> arguments;
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    arguments.push_back(argv[0]);
    arguments.push_back(repetitions.data());
    arguments.push_back(interleaving.data());
    for (int i = 1; i < argc; ++i)
    {
        arguments.push_back(argv[i]);
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
    {
        return 2;
    }
    CRatioReporter reporter(ratios);
    (void)benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.PrintSummary(std::cout) ? 0 : 1;
}

std::string ToKey(const std::string& name)
{
    std::string key;
    for (std::size_t i = 0u; i < name.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(name[i]);
        if (std::isupper(c) != 0)
        {
            const bool afterLower = (i > 0u) && (std::islower(static_cast<unsigned char>(name[i - 1u])) != 0);
            const bool beforeLower = (i > 0u) && (i + 1u < name.size()) &&
                                     (std::islower(static_cast<unsigned char>(name[i + 1u])) != 0) &&
                                     (std::isupper(static_cast<unsigned char>(name[i - 1u])) != 0);
            if (afterLower || beforeLower ||
                ((i > 0u) && (std::isdigit(static_cast<unsigned char>(name[i - 1u])) != 0)))
            {
                key += '_';
            }
            key += static_cast<char>(std::tolower(c));
        }
        else if (std::isalnum(c) != 0)
        {
            key += static_cast<char>(c);
        }
        else if (!key.empty() && (key.back() != '_'))
        {
            key += '_';
        }
    }
    return key;
}
} // namespace Bench
