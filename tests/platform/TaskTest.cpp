// Tasks over pthreads: they run with their arguments, delay, get deleted, and fall back to normal scheduling.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <unistd.h>
#include <vector>

#include "ChildProcess.h"
#include "platformControl.h"
#include "taskLib.h"

namespace PlatformTest
{
namespace
{
std::atomic<long> argumentSum{0};
std::atomic<long> loopCount{0};
std::atomic<bool> release{false};

int SumArguments(_Vx_usr_arg_t a1, _Vx_usr_arg_t a2, _Vx_usr_arg_t a3, _Vx_usr_arg_t a4, _Vx_usr_arg_t a5,
                 _Vx_usr_arg_t a6, _Vx_usr_arg_t a7, _Vx_usr_arg_t a8, _Vx_usr_arg_t a9, _Vx_usr_arg_t a10)
{
    argumentSum = static_cast<long>(a1 + a2 + a3 + a4 + a5 + a6 + a7 + a8 + a9 + a10 * 1000);
    return 0;
}

int LoopWithDelay(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                  _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    for (;;)
    {
        ++loopCount;
        (void)taskDelay(1);
    }
}

int WaitForRelease(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                   _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    while (!release)
    {
        (void)taskDelay(1);
    }
    return 0;
}

// Waits, a tick at a time and for at most ten seconds, until condition holds.
template <typename Condition> bool Eventually(Condition condition)
{
    for (int i = 0; (i < 10 * sysClkRateGet()) && !condition(); ++i)
    {
        (void)taskDelay(1);
    }
    return condition();
}

class Task : public ::testing::Test
{
protected:
    void SetUp() override
    {
        argumentSum = 0;
        loopCount = 0;
        release = false;
        platformFaultClear();
    }
    void TearDown() override
    {
        release = true;
        platformFaultClear();
    }
};

TEST_F(Task, RunsWithItsTenArguments)
{
    const TASK_ID task = taskSpawn("sum", 100, 0, 4096u, SumArguments, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    ASSERT_NE(ERROR, task);
    EXPECT_TRUE(Eventually([] { return argumentSum.load() == 10045; }));
}

TEST_F(Task, DeletedTaskStopsAndItsIdBecomesInvalid)
{
    const TASK_ID task = taskSpawn("loop", 200, 0, 0u, LoopWithDelay, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(ERROR, task);
    ASSERT_TRUE(Eventually([] { return loopCount.load() > 3; }));
    ASSERT_EQ(OK, taskDelete(task));
    const long stopped = loopCount.load();
    ASSERT_EQ(OK, taskDelay(sysClkRateGet() / 20));
    EXPECT_EQ(stopped, loopCount.load());
    EXPECT_EQ(ERROR, taskDelete(task));
    EXPECT_EQ(ESRCH, errno);
}

TEST_F(Task, TableIsFixedAndSlotsComeBackWhenTasksEnd)
{
    std::vector<TASK_ID> tasks;
    for (int i = 0; i < TASK_MAX_COUNT; ++i)
    {
        const TASK_ID task = taskSpawn("wait", 150, 0, 0u, WaitForRelease, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        ASSERT_NE(ERROR, task) << i;
        tasks.push_back(task);
    }
    EXPECT_EQ(ERROR, taskSpawn("extra", 150, 0, 0u, WaitForRelease, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(EAGAIN, errno);
    release = true;
    // Every task returns by itself; then a new one finds a slot.
    EXPECT_TRUE(Eventually(
        []
        {
            const TASK_ID task = taskSpawn("again", 150, 0, 0u, SumArguments, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
            return task != ERROR;
        }));
}

TEST_F(Task, RefusesPrioritiesOutsideZeroTo255)
{
    EXPECT_EQ(ERROR, taskSpawn("low", 256, 0, 0u, SumArguments, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_EQ(ERROR, taskSpawn("high", -1, 0, 0u, SumArguments, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

TEST_F(Task, InjectedFaultsFailSpawnAndDelay)
{
    ASSERT_EQ(OK, platformFaultLoad("taskSpawn:1:11,taskDelay:1:4"));
    EXPECT_EQ(ERROR, taskSpawn("never", 100, 0, 0u, SumArguments, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(EAGAIN, errno);
    EXPECT_EQ(ERROR, taskDelay(100000));
    EXPECT_EQ(EINTR, errno);
}

// ThreadSanitizer keeps a thread of its own in every process, so a process whose initial task has ended never
// sees its last task end.
#if defined(__SANITIZE_THREAD__)
constexpr bool UnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool UnderThreadSanitizer = true;
#else
constexpr bool UnderThreadSanitizer = false;
#endif
#else
constexpr bool UnderThreadSanitizer = false;
#endif

TEST(TaskProcess, InitialTaskExitLeavesTheProcessToItsTasks)
{
    if (UnderThreadSanitizer)
    {
        GTEST_SKIP() << "the sanitizer's own thread outlives the tasks";
    }
    const CProcessResult result = RunProcess(PLATFORM_TEST_PEER, {"exit-initial-task"});
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ("task finished\n", result.m_output);
}

TEST(TaskProcess, PrioritiesUseFifoWhereAllowedAndNormalSchedulingSilentlyElsewhere)
{
    const CProcessResult allowed = RunProcess(PLATFORM_TEST_PEER, {"task-policy", "0"});
    EXPECT_EQ(0, allowed.m_exitCode);
    EXPECT_TRUE((allowed.m_output == "policy=fifo priority=99\n") || (allowed.m_output == "policy=other priority=0\n"))
        << allowed.m_output;
    const CProcessResult forced = RunProcess(PLATFORM_TEST_PEER, {"task-policy", "0"}, {"SCM_TASK_SCHEDULING=normal"});
    EXPECT_EQ("policy=other priority=0\n", forced.m_output);
    if (geteuid() != 0)
    {
        GTEST_SKIP() << "dropping to an unprivileged user needs root";
    }
    const CProcessResult unprivileged = RunProcess(PLATFORM_TEST_PEER, {"task-policy", "0", "nobody"});
    EXPECT_EQ(0, unprivileged.m_exitCode);
    EXPECT_EQ("policy=other priority=0\n", unprivileged.m_output);
}
} // namespace
} // namespace PlatformTest
