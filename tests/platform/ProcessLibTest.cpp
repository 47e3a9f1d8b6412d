// processLib.h and the test controls in both builds of the platform layer, each run in a peer process: the
// environment each build accepts, what processHarden does to a process, and that the shipped build has no controls.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PlatformFixture.h"
#include "processLib.h"
#include "scmKernelEmulation.h"

namespace PlatformTest
{
namespace
{
constexpr bool Sanitized = (SCM_SANITIZED != 0);

struct CBuild
{
    const char* m_name;
    const char* m_peer;
    bool m_shipped;
};

const CBuild ShippedBuild{"shipped", PLATFORM_SHIPPED_PROCESS_PEER, true};
const CBuild TestBuild{"test", PLATFORM_PROCESS_PEER, false};

void* EndAtOnce(void*)
{
    return nullptr;
}

// Whether this process, and so a child that keeps its rights, may create a SCHED_FIFO thread.
bool MayUseFifo()
{
    pthread_attr_t attributes;
    (void)pthread_attr_init(&attributes);
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_max(SCHED_FIFO);
    (void)pthread_attr_setinheritsched(&attributes, PTHREAD_EXPLICIT_SCHED);
    (void)pthread_attr_setschedpolicy(&attributes, SCHED_FIFO);
    (void)pthread_attr_setschedparam(&attributes, &parameter);
    pthread_t thread{};
    const bool created = (pthread_create(&thread, &attributes, EndAtOnce, nullptr) == 0);
    (void)pthread_attr_destroy(&attributes);
    if (created)
    {
        (void)pthread_join(thread, nullptr);
    }
    return created;
}

bool HoldsCapability(unsigned capability)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    return (syscall(SYS_capget, &header, data) == 0) &&
           ((data[CAP_TO_INDEX(capability)].effective & CAP_TO_MASK(capability)) != 0u);
}

// One environment variable and whether the shipped build accepts it.
struct CEnvironmentCase
{
    const char* m_variable;
    bool m_shippedAccepts;
};

void PrintTo(const CEnvironmentCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_variable;
}

class ProcessEnvironment : public ::testing::TestWithParam<CEnvironmentCase>
{
};

TEST_P(ProcessEnvironment, ShippedBuildAcceptsOnlyTheVariablesItReadsAndTheTestBuildAll)
{
    const CEnvironmentCase& testCase = GetParam();
    for (const CBuild& build : {ShippedBuild, TestBuild})
    {
        const bool accepts = !build.m_shipped || testCase.m_shippedAccepts;
        const CProcessResult result = RunProcess(build.m_peer, {"environment"}, {testCase.m_variable});
        EXPECT_EQ(0, result.m_exitCode) << build.m_name;
        EXPECT_EQ(accepts ? "accepted\n" : "refused errno=1\n", result.m_output) << build.m_name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ProcessEnvironment,
                         ::testing::Values(CEnvironmentCase{"SafetyDomainNumber=7", true},
                                           CEnvironmentCase{"SCM_KERNEL_ROOT=/tmp/kernel", true},
                                           CEnvironmentCase{"SCM_IPC_PREFIX=t-", true},
                                           CEnvironmentCase{"SCM_IPC_REGISTRY=/tmp/registry", true},
                                           CEnvironmentCase{"SCM_FAULTS=msgQSend:1", false},
                                           CEnvironmentCase{"SCM_FAULTS=", false}, // set, even if empty
                                           CEnvironmentCase{"SCM_CLOCK_SHIFT_US=1000", false},
                                           CEnvironmentCase{"SCM_TICK_RATE=1", false},
                                           CEnvironmentCase{"SCM_TASK_SCHEDULING=normal", false},
                                           CEnvironmentCase{"SCM_KERNEL_ROOTS=/tmp/kernel", false},
                                           CEnvironmentCase{"SCM_FAULT=x", false}, CEnvironmentCase{"SCM_=x", false},
                                           CEnvironmentCase{"XSCM_FAULTS=x", true}));

// What processHarden left in a peer: "refused=<bits> dumpable=<0|1> core=<soft>/<hard> locked=<yes|no>".
struct CHardening
{
    unsigned m_refused;
    int m_dumpable;
    std::string m_core;
    std::string m_locked;
};

CHardening Harden(const CBuild& build, const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment)
{
    std::vector<std::string> fullArguments{"harden"};
    fullArguments.insert(fullArguments.end(), arguments.begin(), arguments.end());
    const CProcessResult result = RunProcess(build.m_peer, fullArguments, environment);
    EXPECT_EQ(0, result.m_exitCode) << result.m_output;
    CHardening hardening{};
    char core[64] = {};
    char locked[8] = {};
    EXPECT_EQ(4, std::sscanf(result.m_output.c_str(), "refused=%u dumpable=%d core=%63s locked=%7s",
                             &hardening.m_refused, &hardening.m_dumpable, core, locked))
        << result.m_output;
    hardening.m_core = core;
    hardening.m_locked = locked;
    return hardening;
}

std::string GetOwnCoreLimits()
{
    rlimit core{};
    (void)getrlimit(RLIMIT_CORE, &core);
    const auto format = [](rlim_t limit) { return (limit == RLIM_INFINITY) ? "unlimited" : std::to_string(limit); };
    return format(core.rlim_cur) + "/" + format(core.rlim_max);
}

TEST(ProcessHarden, ShippedProcessIsNotDumpableHasNoCoreLimitAndLocksWhereAllowed)
{
    const CHardening hardening = Harden(ShippedBuild, {}, {});
    EXPECT_EQ(0, hardening.m_dumpable);
    EXPECT_EQ("0/0", hardening.m_core);
    EXPECT_EQ(MayUseFifo() ? 0u : PROCESS_REFUSED_REALTIME_SCHEDULING,
              hardening.m_refused & PROCESS_REFUSED_REALTIME_SCHEDULING);
    // Reported refused exactly when nothing is locked; never locked under a sanitizer, always with CAP_IPC_LOCK.
    EXPECT_EQ((hardening.m_refused & PROCESS_REFUSED_MEMORY_LOCK) != 0u, hardening.m_locked == "no");
    if (Sanitized)
    {
        EXPECT_EQ("no", hardening.m_locked);
    }
    else if (HoldsCapability(CAP_IPC_LOCK))
    {
        EXPECT_EQ("yes", hardening.m_locked);
    }
}

TEST(ProcessHarden, WithoutRealTimeRightsBothBuildsReportBothRefusals)
{
    const CHardening shipped = Harden(ShippedBuild, {"without-rights"}, {});
    EXPECT_EQ(PROCESS_REFUSED_REALTIME_SCHEDULING | PROCESS_REFUSED_MEMORY_LOCK, shipped.m_refused);
    EXPECT_EQ("no", shipped.m_locked);
    EXPECT_EQ(0, shipped.m_dumpable);
    const CHardening test = Harden(TestBuild, {"without-rights"}, {});
    EXPECT_EQ(PROCESS_REFUSED_REALTIME_SCHEDULING | PROCESS_REFUSED_MEMORY_LOCK, test.m_refused);
    EXPECT_EQ("no", test.m_locked);
}

TEST(ProcessHarden, TestBuildStaysOpenToTestsAndAskedForNormalSchedulingNeitherProbesNorLocks)
{
    const CHardening hardening = Harden(TestBuild, {"without-rights"}, {"SCM_TASK_SCHEDULING=normal"});
    EXPECT_EQ(0u, hardening.m_refused);
    EXPECT_EQ(1, hardening.m_dumpable);
    EXPECT_EQ(GetOwnCoreLimits(), hardening.m_core);
    EXPECT_EQ("no", hardening.m_locked);
}

// The controls of the environment and of the domain's clock file, given to both builds alike.
class ProcessControls : public ProvisionedDomain
{
protected:
    CProcessResult RunWithControls(const CBuild& build)
    {
        // Both clocks two hours on and frozen, by the domain's clock control file.
        EXPECT_EQ(0, scmKernelSetClockControl(Domain, 7200000000, 0, 1));
        return RunProcess(build.m_peer, {"controls"},
                          {"SafetyDomainNumber=7", "SCM_CLOCK_SHIFT_US=3600000000", "SCM_TICK_RATE=60",
                           "SCM_FAULTS=clockGetTime:1", "SCM_TASK_SCHEDULING=normal"});
    }
};

TEST_F(ProcessControls, TestBuildFollowsThem)
{
    const CProcessResult result = RunWithControls(TestBuild);
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ("first=errno=5 shift-s=10800 advancing=no rate=60 policy=other\n", result.m_output);
}

TEST_F(ProcessControls, ShippedBuildHasNone)
{
    const CProcessResult result = RunWithControls(ShippedBuild);
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ(std::string("first=ok shift-s=0 advancing=yes rate=1000 policy=") + (MayUseFifo() ? "fifo" : "other") +
                  "\n",
              result.m_output);
}
} // namespace
} // namespace PlatformTest
