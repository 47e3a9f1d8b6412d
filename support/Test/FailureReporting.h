// GoogleTest helper for death-test children: the failures of a body, counted and printed on standard error.
#ifndef SUPPORT_TEST_FAILUREREPORTING_H
#define SUPPORT_TEST_FAILUREREPORTING_H

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace Support
{
/// Runs body, intercepting every failure it reports in any thread, prints each failure on standard error and
/// returns their number. A death test child forwards no failures of its own but shows its standard error, so the
/// child exits with a status taken from this count.
inline int RunReportingFailures(const std::function<void()>& body)
{
    ::testing::TestPartResultArray results;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        body();
    }
    int failures = 0;
    for (int i = 0; i < results.size(); ++i)
    {
        const ::testing::TestPartResult& result = results.GetTestPartResult(i);
        if (result.failed())
        {
            ++failures;
            std::fprintf(stderr, "%s:%d: %s\n", (result.file_name() != nullptr) ? result.file_name() : "?",
                         result.line_number(), result.message());
        }
    }
    return failures;
}
} // namespace Support

#endif
