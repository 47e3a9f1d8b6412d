// The three roles as three users: the runtime, the scm-checker process and the SCM each run under their own user
// on a domain given to them by the provisioner, and a frame from the network still reaches the SCM.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Scm/ScmKernel.h"
#include "scmDeployment.h"
#include "scmKernelEmulation.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Peers/CPlayedRuntime.h"
#include "support/Peers/CPlayedScm.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Provision/CRoleAccounts.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
constexpr std::uint16_t Domain = 23u;
constexpr int CycleCountMax = 300;

class ThreeRoles : public ::testing::Test
{
protected:
    ThreeRoles() : m_provisioner(Domain), m_roles(Support::GetTestRoles())
    {
        Support::CDomainProvision provision = Support::MakeCleanDomainProvision();
        provision.m_roles = m_roles;
        m_provisioner.Create(provision);
        Support::MakePassable(m_isolation.GetKernelRoot());
        (void)setenv("SafetyDomainNumber", std::to_string(Domain).c_str(), 1);
    }

    ~ThreeRoles() override
    {
        if (m_checker > 0)
        {
            Support::CCheckerProcess::End(m_checker);
        }
        (void)unsetenv("SafetyDomainNumber");
        m_provisioner.Destroy();
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
    ScmDomainRoles m_roles;
    pid_t m_checker = -1;
};

TEST_F(ThreeRoles, RunTheDomainEachUnderItsOwnUser)
{
    const Support::Bytes frame = Support::CFrameBuilder::SnmtSadrAssigned(5u, {1u, 2u, 3u, 4u, 5u, 6u}).Build();

    const Support::CAccountRun runtime = Support::RunAsAccount(
        Support::GetRuntimeAccount(m_roles),
        [&frame](std::string&)
        {
            Support::CPlayedRuntime played(Domain);
            played.StartDomain();
            return played.SendFrame(frame) ? 0 : -1;
        },
        10000);
    ASSERT_TRUE(runtime.m_ended);
    ASSERT_EQ(0, runtime.m_result) << runtime.m_text;

    m_checker =
        Support::SpawnAsAccount(Support::GetCheckerAccount(m_roles), Support::CCheckerProcess::DefaultExecutable(), -1);

    const Support::CAccountRun scm = Support::RunAsAccount(
        Support::GetScmAccount(m_roles),
        [&frame](std::string& text)
        {
            Support::CPlayedScm played(Domain);
            const std::optional<std::uint32_t> revision = played.WaitForCheckerRevision(std::chrono::seconds(30));
            if (!revision.has_value())
            {
                text = "the checker did not announce itself";
                return -1;
            }
            played.PublishRevision(*revision);
            for (int cycle = 0; cycle < CycleCountMax; ++cycle)
            {
                std::optional<Support::Bytes> received;
                if (!played.PlayCycle([&] { received = played.ReceiveFrame(); }, std::chrono::seconds(5)))
                {
                    text = "the checker did not hand over";
                    return -1;
                }
                if (received.has_value())
                {
                    text = (*received == frame) ? "" : "another frame arrived";
                    return (*received == frame) ? 0 : -1;
                }
            }
            text = "the frame never arrived";
            return -1;
        },
        90000);
    ASSERT_TRUE(scm.m_ended);
    EXPECT_EQ(0, scm.m_result) << scm.m_text;

    int status = 0;
    EXPECT_EQ(0, waitpid(m_checker, &status, WNOHANG)) << "the checker runs on as its own user";

    // What the checker wrote at start-up stays its own and private.
    char path[SCM_KERNEL_PATH_LENGTH_MAX] = {};
    ASSERT_EQ(0, scmKernelGetDomainPath(Domain, "storage/fwrevcnf.bin.chk", path, sizeof(path)));
    struct stat copy
    {
    };
    ASSERT_EQ(0, stat(path, &copy));
    EXPECT_EQ(m_roles.checkerUser, copy.st_uid);
    EXPECT_EQ(0600u, copy.st_mode & 07777u);
}
// An object that a wrong role could write makes the checker refuse to start, naming the object.
struct CUnprotectedCase
{
    const char* m_name;
    const char* m_described;
    // The object's path below the kernel root ("" for the POSIX semaphore of the hand-over from the SCM).
    const char* m_path;
};

void PrintTo(const CUnprotectedCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class Unprotected : public ::testing::TestWithParam<CUnprotectedCase>
{
};

TEST_P(Unprotected, ObjectMakesTheCheckerRefuseToStart)
{
    const CUnprotectedCase& parameter = GetParam();
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(Domain);
    provisioner.Create(Support::MakeCleanDomainProvision());
    std::string path = std::string("/dev/shm/sem.") + std::getenv("SCM_IPC_PREFIX") + "scm0023.~frame-receive";
    if (*parameter.m_path != '\0')
    {
        path = isolation.GetKernelRoot() + "/scm0023/" + parameter.m_path;
    }
    struct stat status
    {
    };
    ASSERT_EQ(0, stat(path.c_str(), &status)) << path;
    ASSERT_EQ(0, chmod(path.c_str(), (status.st_mode & 07777u) | S_IWOTH)) << path;

    Support::CCheckerProcess checker({{"SafetyDomainNumber", std::to_string(Domain)}},
                                     Support::CCheckerProcess::CVariant::Shipped);
    ASSERT_EQ(0, scmKernelSetCondition(Domain, ScmStarted, 0u));
    EXPECT_EQ(255, checker.WaitForExit(std::chrono::seconds(30)));
    EXPECT_EQ(std::string("SCM checker failed to start: unprotected ") + parameter.m_described + "?\n",
              checker.GetOutput());
    std::uint32_t revision = 0u;
    EXPECT_NE(0, scmKernelWaitForCondition(Domain, ScmCheckerInitialized, 0, &revision)) << "announced itself";
    provisioner.Destroy();
}

INSTANTIATE_TEST_SUITE_P(
    Objects, Unprotected,
    ::testing::Values(CUnprotectedCase{"HandOverSemaphore", "semaphore /scm0023/~frame-receive", ""},
                      CUnprotectedCase{"CheckerCopy", "storage fwrevcnf.bin.chk", "storage/fwrevcnf.bin.chk"},
                      CUnprotectedCase{"ScmStorage", "storage tol_para.saf", "storage/tol_para.saf"}),
    [](const ::testing::TestParamInfo<CUnprotectedCase>& testCase) { return testCase.param.m_name; });
} // namespace
