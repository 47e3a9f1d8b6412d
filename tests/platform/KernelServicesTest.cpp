// Conditions, reset lock, PLC reset, identities, flash files and clock control of the emulated kernel.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "ChildProcess.h"
#include "PlatformFixture.h"
#include "Scm/ScmKernel.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"
#include "scmSyscall.h"

namespace PlatformTest
{
namespace
{
class KernelServices : public ProvisionedDomain
{
};

TEST_F(KernelServices, ConditionWaitInAnotherProcessDeliversTheSettersValue)
{
    CChildProcess waiter(PLATFORM_TEST_PEER, {"wait-condition", "7", "2"});
    ASSERT_EQ(0, ScmSetCondition(Domain, ScmScmInitialized, 0x01020304u));
    const CProcessResult result = waiter.Wait();
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ("16909060\n", result.m_output);
}

TEST_F(KernelServices, ConditionSetInAnotherProcessEndsALocalWait)
{
    CChildProcess setter(PLATFORM_TEST_PEER, {"set-condition", "7", "0", "77"});
    uint32_t information = 0u;
    EXPECT_EQ(0, ScmWaitForCondition(Domain, ScmStarted, &information));
    EXPECT_EQ(77u, information);
    EXPECT_EQ(0, setter.Wait().m_exitCode);
}

TEST_F(KernelServices, ConditionsStaySetUntilClearedOrTheDomainGoes)
{
    ASSERT_EQ(0, ScmSetCondition(Domain, ScmCheckerInitialized, 5u));
    uint32_t information = 0u;
    EXPECT_EQ(0, ScmWaitForCondition(Domain, ScmCheckerInitialized, &information));
    EXPECT_EQ(0, ScmWaitForCondition(Domain, ScmCheckerInitialized, &information));
    EXPECT_EQ(5u, information);
    ASSERT_EQ(0, scmKernelClearCondition(Domain, ScmCheckerInitialized));
    EXPECT_EQ(-1, scmKernelWaitForCondition(Domain, ScmCheckerInitialized, 10, &information));
    EXPECT_EQ(ETIMEDOUT, errno);
    // The checker's own clearing service: set or not, the condition is clear afterwards.
    ASSERT_EQ(0, ScmSetCondition(Domain, ScmScmInitialized, 6u));
    EXPECT_EQ(0, ScmClearCondition(Domain, ScmScmInitialized));
    EXPECT_EQ(0, ScmClearCondition(Domain, ScmScmInitialized));
    EXPECT_EQ(-1, scmKernelWaitForCondition(Domain, ScmScmInitialized, 10, &information));
    m_provisioner->Destroy();
    EXPECT_EQ(-1, ScmSetCondition(Domain, ScmCheckerInitialized, 5u));
    EXPECT_EQ(-1, ScmWaitForCondition(Domain, ScmCheckerInitialized, &information));
}

TEST_F(KernelServices, ResetLockCountsAcrossCallsAndProcesses)
{
    uint32_t count = 99u;
    ASSERT_EQ(0, ScmLockReset(Domain));
    ASSERT_EQ(0, RunProcess(PLATFORM_TEST_PEER, {"lock-reset", "7"}).m_exitCode);
    ASSERT_EQ(0, scmKernelGetResetLockCount(Domain, &count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(0, ScmUnlockReset(Domain));
    EXPECT_EQ(0, ScmUnlockReset(Domain));
    EXPECT_EQ(-1, ScmUnlockReset(Domain)) << "nobody holds the lock any more";
    ASSERT_EQ(0, scmKernelGetResetLockCount(Domain, &count));
    EXPECT_EQ(0u, count);
}

TEST_F(KernelServices, PlcResetIsRecordedWithItsModeForTheProcessDomain)
{
    ScmResetPlc(SCM_RESET_PLC_MODE_UNLOCK_TIMEOUT);
    uint32_t count = 99u;
    uint32_t mode = 99u;
    ASSERT_EQ(0, scmKernelGetPlcResets(Domain, &count, &mode));
    EXPECT_EQ(0u, count) << "a process without a domain resets nothing";
    scmKernelSetProcessDomain(Domain);
    ASSERT_EQ(0, ScmLockReset(Domain));
    ScmResetPlc(SCM_RESET_PLC_MODE_UNLOCK_TIMEOUT);
    ScmResetPlc(3u);
    ASSERT_EQ(0, scmKernelGetPlcResets(Domain, &count, &mode));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(3u, mode);
}

TEST_F(KernelServices, UnprovisionedIdentitiesGiveTheFailureResults)
{
    scmKernelSetProcessDomain(Domain);
    std::array<uint8_t, 6> udid{};
    char flash[8];
    EXPECT_EQ(0u, ScmGetCpuProductCode());
    EXPECT_EQ(0u, ScmGetCpuSerialNumber());
    EXPECT_EQ(-1, ScmRequestKelUdid(Domain, udid.data()));
    EXPECT_EQ(-1, ScmReadKelFlashFile(Domain, 16u, 1000u, sizeof(flash), flash));
}

TEST_F(KernelServices, ProvisionedIdentitiesAndFlashFileAreDelivered)
{
    scmKernelSetProcessDomain(Domain);
    const std::array<uint8_t, 6> provisionedUdid = {0x00u, 0x1Au, 0x2Bu, 0x3Cu, 0x4Du, 0xFFu};
    ASSERT_EQ(0, scmKernelSetCpuIdentity(Domain, 0xC0FFEEu, 4711u));
    ASSERT_EQ(0, scmKernelSetKelUdid(Domain, provisionedUdid.data()));
    ASSERT_EQ(0, scmKernelWriteKelFlashFile(Domain, 16u, "0123456789", 10u));
    EXPECT_EQ(0xC0FFEEu, ScmGetCpuProductCode());
    EXPECT_EQ(4711u, ScmGetCpuSerialNumber());
    std::array<uint8_t, 6> udid{};
    EXPECT_EQ(0, ScmRequestKelUdid(Domain, udid.data()));
    EXPECT_EQ(provisionedUdid, udid);
    char flash[16] = {};
    EXPECT_EQ(10, ScmReadKelFlashFile(Domain, 16u, 1000u, sizeof(flash), flash));
    EXPECT_EQ("0123456789", std::string(flash));
    // A buffer shorter than the file gets its start; the result still tells the file's length.
    char shortFlash[5] = {'-', '-', '-', '-', '-'};
    EXPECT_EQ(10, ScmReadKelFlashFile(Domain, 16u, 1000u, 4u, shortFlash));
    EXPECT_EQ("0123-", std::string(shortFlash, 5u));
}

TEST_F(KernelServices, UnusedServicesAreNotImplemented)
{
    for (int callNumber : {127, 137, 138, 139, 140, 143, 146, 149, 151})
    {
        errno = 0;
        EXPECT_EQ(-1, ScmSyscall(0, 0, 0, 0, 0, 0, 0, 0, callNumber)) << callNumber;
        EXPECT_EQ(ENOSYS, errno) << callNumber;
    }
}

// "usec=<n> realtime=<s> rate=<r>" of a peer process.
struct CPeerClocks
{
    unsigned long long m_microseconds;
    long long m_realtime;
    int m_rate;
};

CPeerClocks ReadPeerClocks(const std::vector<std::string>& environment)
{
    const CProcessResult result = RunProcess(PLATFORM_TEST_PEER, {"clocks"}, environment);
    CPeerClocks clocks{};
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ(3, std::sscanf(result.m_output.c_str(), "usec=%llu realtime=%lld rate=%d", &clocks.m_microseconds,
                             &clocks.m_realtime, &clocks.m_rate));
    return clocks;
}

TEST_F(KernelServices, ProcessClocksFollowTheEnvironmentAndTheControlFile)
{
    const uint64_t before = ScmGetUSecCounter();
    const CPeerClocks shifted = ReadPeerClocks({"SCM_CLOCK_SHIFT_US=100000000000"});
    EXPECT_GE(shifted.m_microseconds, before + 100000000000u);

    ASSERT_EQ(0, scmKernelSetClockControl(Domain, 0, 3600000000, 0));
    timespec now{};
    ASSERT_EQ(0, clock_gettime(CLOCK_REALTIME, &now));
    const CPeerClocks controlled = ReadPeerClocks({"SafetyDomainNumber=7"});
    EXPECT_GE(controlled.m_realtime, now.tv_sec + 3600);
    EXPECT_LT(controlled.m_microseconds, before + 100000000000u) << "the control file moved only the wall clock";
}

TEST_F(KernelServices, TickRateComesFromTheEnvironment)
{
    EXPECT_EQ(60, ReadPeerClocks({"SCM_TICK_RATE=60"}).m_rate);
    EXPECT_EQ(1000, ReadPeerClocks({"SCM_TICK_RATE=0"}).m_rate);
    EXPECT_EQ(1000, ReadPeerClocks({"SCM_TICK_RATE=fast"}).m_rate);
}

TEST_F(KernelServices, FaultsFromTheEnvironmentHitTheNthCallOfAProcess)
{
    const CProcessResult result =
        RunProcess(PLATFORM_TEST_PEER, {"open-queue", "/scm0007/~event", "3"}, {"SCM_FAULTS=msgQOpen:2:13"});
    EXPECT_EQ(0, result.m_exitCode);
    EXPECT_EQ("ok\nerrno=13\nok\n", result.m_output);
}

// A campaign learns from the report whether its rule was reached: the count of fired calls, or nothing.
TEST_F(KernelServices, FiredFaultsAreReportedToTheReportFile)
{
    const std::string report = m_isolation->GetKernelRoot() + "/fired";
    for (const auto& [rules, expected] : {std::pair<std::string, std::string>{"msgQOpen:2:13:0", "0000000002\n"},
                                          std::pair<std::string, std::string>{"msgQOpen:4", ""}})
    {
        const CProcessResult result = RunProcess(PLATFORM_TEST_PEER, {"open-queue", "/scm0007/~event", "3"},
                                                 {"SCM_FAULTS=" + rules, "SCM_FAULTS_REPORT=" + report});
        EXPECT_EQ(0, result.m_exitCode) << rules;
        std::ifstream stream(report);
        const std::string content((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        EXPECT_EQ(expected, content) << rules;
    }
}
} // namespace
} // namespace PlatformTest
