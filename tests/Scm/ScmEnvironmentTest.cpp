// The safety domain number read from the environment.
#include "Scm/ScmKernel.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
struct CEnvironmentCase
{
    const char* m_value; // nullptr: unset
    std::uint16_t m_expected;
};

class ScmDomainFromEnvironment : public ::testing::TestWithParam<CEnvironmentCase>
{
};

TEST_P(ScmDomainFromEnvironment, AcceptsOnlyUnsignedDecimalOneTo1023)
{
    const CEnvironmentCase& environmentCase = GetParam();
    if (environmentCase.m_value == nullptr)
    {
        ASSERT_EQ(0, unsetenv("ScmTestDomain"));
    }
    else
    {
        ASSERT_EQ(0, setenv("ScmTestDomain", environmentCase.m_value, 1));
    }
    EXPECT_EQ(environmentCase.m_expected, ScmGetSafetyDomainNumberFromEnvironment("ScmTestDomain"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ScmDomainFromEnvironment,
    ::testing::Values(CEnvironmentCase{nullptr, 0u}, CEnvironmentCase{"", 0u}, CEnvironmentCase{"0", 0u},
                      CEnvironmentCase{"1", 1u}, CEnvironmentCase{"0007", 7u}, CEnvironmentCase{"1023", 1023u},
                      CEnvironmentCase{"1024", 0u}, CEnvironmentCase{"abc", 0u}, CEnvironmentCase{"7abc", 0u},
                      CEnvironmentCase{"-7", 0u}, CEnvironmentCase{" 7", 0u}, CEnvironmentCase{"+7", 0u},
                      CEnvironmentCase{"4294967303", 0u}, CEnvironmentCase{"99999999999999999999", 0u}));

TEST(ScmDomainFromEnvironment, NullKeyGivesZero)
{
    EXPECT_EQ(0u, ScmGetSafetyDomainNumberFromEnvironment(nullptr));
}
} // namespace
