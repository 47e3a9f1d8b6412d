// The clock controls move clockGetTime and the kernel's microsecond counter together, and freeze them.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

#include "platformControl.h"
#include "scmSyscall.h"
#include "taskLib.h"

namespace
{
constexpr std::int64_t MicrosecondsPerSecond = 1000000;

std::int64_t ReadMicroseconds(clockid_t clock)
{
    timespec value{};
    EXPECT_EQ(0, clockGetTime(clock, &value));
    return static_cast<std::int64_t>(value.tv_sec) * MicrosecondsPerSecond + value.tv_nsec / 1000;
}

std::int64_t ReadCounter()
{
    std::uint32_t low = 0u;
    std::uint32_t high = 0u;
    EXPECT_EQ(0, ScmSyscall(reinterpret_cast<ScmSyscallArgument>(&low), reinterpret_cast<ScmSyscallArgument>(&high), 0,
                            0, 0, 0, 0, 0, SCM_SYSCALL_GET_USEC_COUNTER));
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

class ClockControl : public ::testing::Test
{
protected:
    void TearDown() override
    {
        platformClockReset();
    }
};

TEST_F(ClockControl, ShiftMovesWallClockMonotonicClockAndCounterAlike)
{
    platformClockFreeze();
    const std::int64_t realtime = ReadMicroseconds(CLOCK_REALTIME);
    const std::int64_t monotonic = ReadMicroseconds(CLOCK_MONOTONIC);
    const std::int64_t counter = ReadCounter();
    constexpr std::int64_t Shift = 61 * MicrosecondsPerSecond;
    ASSERT_EQ(OK, platformClockShift(Shift));
    EXPECT_EQ(realtime + Shift, ReadMicroseconds(CLOCK_REALTIME));
    EXPECT_EQ(monotonic + Shift, ReadMicroseconds(CLOCK_MONOTONIC));
    EXPECT_EQ(counter + Shift, ReadCounter());
}

TEST_F(ClockControl, FrozenClocksStandStillAndGoOnFromThereAfterThawing)
{
    platformClockFreeze();
    const std::int64_t frozen = ReadCounter();
    ASSERT_EQ(OK, taskDelay(sysClkRateGet() / 5));
    EXPECT_EQ(frozen, ReadCounter());
    platformClockThaw();
    const std::int64_t thawed = ReadCounter();
    EXPECT_GE(thawed, frozen);
    // The 200 ms spent frozen are not caught up: the counter goes on from where it stood.
    EXPECT_LT(thawed - frozen, 200000);
}

TEST_F(ClockControl, RealtimeShiftLeavesMonotonicClockAlone)
{
    platformClockFreeze();
    const std::int64_t realtime = ReadMicroseconds(CLOCK_REALTIME);
    const std::int64_t monotonic = ReadMicroseconds(CLOCK_MONOTONIC);
    ASSERT_EQ(OK, platformClockShiftRealtime(-3600 * MicrosecondsPerSecond));
    EXPECT_EQ(realtime - 3600 * MicrosecondsPerSecond, ReadMicroseconds(CLOCK_REALTIME));
    EXPECT_EQ(monotonic, ReadMicroseconds(CLOCK_MONOTONIC));
}

TEST_F(ClockControl, RefusesToMoveBothClocksBack)
{
    EXPECT_EQ(ERROR, platformClockShift(-1));
    EXPECT_EQ(EINVAL, errno);
}

TEST_F(ClockControl, ResetDropsShiftsAndFreeze)
{
    const std::int64_t before = ReadCounter();
    platformClockFreeze();
    ASSERT_EQ(OK, platformClockShift(1000 * MicrosecondsPerSecond));
    platformClockReset();
    const std::int64_t after = ReadCounter();
    EXPECT_LT(after - before, 1000 * MicrosecondsPerSecond);
    ASSERT_EQ(OK, taskDelay(2));
    EXPECT_GT(ReadCounter(), after) << "runs again";
}

TEST_F(ClockControl, OtherClocksAreReadUnchanged)
{
    ASSERT_EQ(OK, platformClockShift(3600 * MicrosecondsPerSecond));
    timespec controlled{};
    timespec raw{};
    ASSERT_EQ(0, clockGetTime(CLOCK_BOOTTIME, &controlled));
    ASSERT_EQ(0, clock_gettime(CLOCK_BOOTTIME, &raw));
    EXPECT_LE(raw.tv_sec - controlled.tv_sec, 1);
}
} // namespace
