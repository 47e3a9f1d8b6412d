// Fault rules hit exactly the calls they name, with the errno they carry, also under concurrent calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <ostream>
#include <thread>
#include <vector>

#include "platformControl.h"
#include "scmSyscall.h"
#include "taskLib.h"

namespace
{
class FaultInjection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platformFaultClear();
    }
    void TearDown() override
    {
        platformFaultClear();
    }
};

// Calls taskDelay(0) count times and gives, per call, 0 for success or the errno of the failure.
std::vector<int> CallTaskDelay(int count)
{
    std::vector<int> results;
    for (int i = 0; i < count; ++i)
    {
        errno = 0;
        results.push_back((taskDelay(0) == OK) ? 0 : errno);
    }
    return results;
}

TEST_F(FaultInjection, FailsExactlyTheNthCall)
{
    ASSERT_EQ(OK, platformFaultInject("taskDelay", 3u, EINTR, 1u));
    EXPECT_EQ((std::vector<int>{0, 0, EINTR, 0, 0}), CallTaskDelay(5));
    EXPECT_EQ(1u, platformFaultFiredCount());
}

TEST_F(FaultInjection, CountFailsFollowingCallsAndZeroFailsForEver)
{
    ASSERT_EQ(OK, platformFaultLoad("taskDelay:2:5:2"));
    EXPECT_EQ((std::vector<int>{0, EIO, EIO, 0}), CallTaskDelay(4));
    platformFaultClear();
    ASSERT_EQ(OK, platformFaultLoad("taskDelay:2:7:0"));
    EXPECT_EQ((std::vector<int>{0, E2BIG, E2BIG, E2BIG}), CallTaskDelay(4));
}

TEST_F(FaultInjection, KernelServicesAreNamedByNumberOrWrapperName)
{
    ASSERT_EQ(OK, platformFaultLoad("128:1:28,ScmGetUSecCounter:2"));
    std::uint32_t low = 0u;
    std::uint32_t high = 0u;
    const auto call = [&]
    {
        errno = 0;
        return ScmSyscall(reinterpret_cast<ScmSyscallArgument>(&low), reinterpret_cast<ScmSyscallArgument>(&high), 0, 0,
                          0, 0, 0, 0, SCM_SYSCALL_GET_USEC_COUNTER);
    };
    EXPECT_EQ(-1, call());
    EXPECT_EQ(ENOSPC, errno);
    EXPECT_EQ(-1, call());
    EXPECT_EQ(EIO, errno);
    EXPECT_EQ(0, call());
}

TEST_F(FaultInjection, OtherServicesAreNotCounted)
{
    ASSERT_EQ(OK, platformFaultInject("clockGetTime", 1u, EINVAL, 1u));
    EXPECT_EQ((std::vector<int>{0, 0}), CallTaskDelay(2));
    timespec now{};
    EXPECT_EQ(-1, clockGetTime(CLOCK_MONOTONIC, &now));
    EXPECT_EQ(EINVAL, errno);
}

struct CMalformedRules
{
    const char* m_rules;
};

void PrintTo(const CMalformedRules& rules, std::ostream* stream)
{
    *stream << '"' << rules.m_rules << '"';
}

class MalformedFaultRules : public FaultInjection, public ::testing::WithParamInterface<CMalformedRules>
{
};

TEST_P(MalformedFaultRules, ArmNothing)
{
    EXPECT_EQ(ERROR, platformFaultLoad(GetParam().m_rules));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_EQ((std::vector<int>{0, 0}), CallTaskDelay(2));
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedFaultRules,
                         ::testing::Values(CMalformedRules{"taskDelay"}, CMalformedRules{"taskDelay:0"},
                                           CMalformedRules{"noSuchCall:1"}, CMalformedRules{"151:1"},
                                           CMalformedRules{"taskDelay:1:0"}, CMalformedRules{"taskDelay:1:x"},
                                           CMalformedRules{"taskDelay:1:5:1:9"},
                                           // The valid first rule must not be armed either.
                                           CMalformedRules{"taskDelay:1,taskDelay:"}));

TEST_F(FaultInjection, ConcurrentCallsFailExactlyTheRuleCount)
{
    constexpr unsigned Failures = 100u;
    ASSERT_EQ(OK, platformFaultInject("taskDelay", 1u, EIO, Failures));
    std::atomic<unsigned> failed{0u};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&failed]
            {
                for (int i = 0; i < 100; ++i)
                {
                    if (taskDelay(0) == ERROR)
                    {
                        ++failed;
                    }
                }
            });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(Failures, failed.load());
}

TEST_F(FaultInjection, RuleTableHasAFixedSize)
{
    for (unsigned i = 0u; i < PLATFORM_FAULT_RULES_MAX; ++i)
    {
        ASSERT_EQ(OK, platformFaultInject("semGive", 1000u + i, EIO, 1u));
    }
    EXPECT_EQ(ERROR, platformFaultInject("semGive", 1u, EIO, 1u));
    EXPECT_EQ(ENOSPC, errno);
}
} // namespace
