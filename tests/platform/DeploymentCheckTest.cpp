// The roles of a domain: what each role can reach, and the checker's start-up check of owners and modes.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mqueue.h>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "PlatformFixture.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmQueueNames.h"
#include "eventLogLib.h"
#include "msgQLib.h"
#include "scmDeployment.h"
#include "scmKernelEmulation.h"
#include "semLib.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CRoleAccounts.h"

namespace PlatformTest
{
namespace
{
constexpr int ChildTimeoutMilliseconds = 5000;

std::string PosixName(const std::string& name)
{
    char buffer[256] = {};
    (void)scmKernelGetPosixIpcName(name.c_str(), buffer, sizeof(buffer));
    return buffer;
}

class DomainRoles : public ProvisionedDomain
{
protected:
    void SetUp() override
    {
        m_roles = Support::GetTestRoles();
        for (const std::string& name : Support::GetMandatoryStorageNames())
        {
            m_provision.m_storages[name] = {};
        }
        m_provision.m_roles = m_roles;
        ProvisionedDomain::SetUp();
        Support::MakePassable(m_isolation->GetKernelRoot());
    }

    std::string DomainPath(const std::string& entry) const
    {
        return m_isolation->GetKernelRoot() + "/scm0007" + (entry.empty() ? "" : "/" + entry);
    }

    // The check as the checker runs it: in a process of the checker's account.
    Support::CAccountRun CheckAs(const Support::CAccount& account) const
    {
        return Support::RunAsAccount(
            account,
            [](std::string& text)
            {
                char object[SCM_DEPLOYMENT_OBJECT_LENGTH_MAX] = {};
                const int result = scmCheckDeployment(Domain, object, sizeof(object));
                text = object;
                return result;
            },
            ChildTimeoutMilliseconds);
    }

    ScmDomainRoles m_roles{};
};

TEST_F(DomainRoles, AProvisionedDomainPassesTheCheckerCheck)
{
    const Support::CAccountRun run = CheckAs(Support::GetCheckerAccount(m_roles));
    ASSERT_TRUE(run.m_ended);
    EXPECT_EQ(OK, run.m_result) << run.m_text << ": " << std::strerror(run.m_error);
}

TEST_F(DomainRoles, AnotherUserThanTheRecordedCheckerIsRefused)
{
    Support::CAccount impostor = Support::GetCheckerAccount(m_roles);
    impostor.m_user = m_roles.scmUser;
    const Support::CAccountRun run = CheckAs(impostor);
    ASSERT_TRUE(run.m_ended);
    EXPECT_EQ(ERROR, run.m_result);
    EXPECT_EQ(EPERM, run.m_error);
    EXPECT_EQ("kernel file roles", run.m_text);
}

TEST_F(DomainRoles, PasswordCopiesAreTheCheckersAloneAndTheScmFilesSharedWithItOnly)
{
    struct stat status
    {
    };
    ASSERT_EQ(0, stat(DomainPath("storage/fwrevcnf.bin.chk").c_str(), &status));
    EXPECT_EQ(m_roles.checkerUser, status.st_uid);
    EXPECT_EQ(0600u, status.st_mode & 07777u);
    ASSERT_EQ(0, stat(DomainPath("storage/fwrevcnf.bin").c_str(), &status));
    EXPECT_EQ(m_roles.scmUser, status.st_uid);
    EXPECT_EQ(m_roles.scmGroup, status.st_gid);
    EXPECT_EQ(0660u, status.st_mode & 07777u);
    ASSERT_EQ(0, stat(DomainPath("storage").c_str(), &status));
    EXPECT_EQ(static_cast<mode_t>(S_ISGID | S_ISVTX | 0770), status.st_mode & 07777u);
}

/// What one role tries on an object of another, and what must come of it.
struct CReach
{
    const char* m_name;
    Support::CAccount (*m_account)(const ScmDomainRoles&);
    std::function<int()> m_attempt;
    int m_error;
};

void PrintTo(const CReach& reach, std::ostream* stream)
{
    *stream << reach.m_name;
}

int OpenQueue(const char* base, bool scmSide)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    (void)std::snprintf(name, sizeof(name), "/scm%04u/%s%s", static_cast<unsigned>(Domain), scmSide ? "~" : "", base);
    MSG_Q_ID queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    if (queue == nullptr)
    {
        return -1;
    }
    (void)msgQDelete(queue);
    return 0;
}

int OpenSemaphore(const char* base)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    (void)std::snprintf(name, sizeof(name), "/scm%04u/~%s", static_cast<unsigned>(Domain), base);
    SEM_ID semaphore = semOpen(name, SEM_TYPE_BINARY, 0, 0, 0, nullptr);
    if (semaphore == nullptr)
    {
        return -1;
    }
    (void)semClose(semaphore);
    return 0;
}

int WriteStorage(const char* name)
{
    const int32_t handle = ScmOpenStorage(Domain, name, ScmWriteStorageMode);
    if (handle < 0)
    {
        return -1;
    }
    const bool written = ScmWriteStorage(handle, 4u, "fake") == 4;
    return ((ScmCloseStorage(handle) == 0) && written) ? 0 : -1;
}

int ReadStorage(const char* name)
{
    const int32_t handle = ScmOpenStorage(Domain, name, ScmReadStorageMode);
    return (handle < 0) ? -1 : ScmCloseStorage(handle);
}

int AppendEvent()
{
    const uint8_t event[EVENT_LOG_EVENT_LENGTH] = {2u, 0x05u, 0xE2u};
    return (eventLogAppend(Domain, event, sizeof(event)) == OK) ? 0 : -1;
}

class RoleReach : public DomainRoles, public ::testing::WithParamInterface<CReach>
{
};

TEST_P(RoleReach, IsAsTheRolesAllow)
{
    const CReach& reach = GetParam();
    const Support::CAccountRun run = Support::RunAsAccount(
        reach.m_account(m_roles), [&reach](std::string&) { return reach.m_attempt(); }, ChildTimeoutMilliseconds);
    ASSERT_TRUE(run.m_ended);
    if (reach.m_error == 0)
    {
        EXPECT_EQ(0, run.m_result) << std::strerror(run.m_error);
    }
    else
    {
        EXPECT_EQ(-1, run.m_result);
        EXPECT_EQ(reach.m_error, run.m_error) << std::strerror(run.m_error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RoleReach,
    ::testing::Values(
        CReach{"RuntimeOpensItsQueue", Support::GetRuntimeAccount, [] { return OpenQueue("frame-send", false); }, 0},
        CReach{"RuntimeCannotOpenAnScmQueue", Support::GetRuntimeAccount, [] { return OpenQueue("frame-send", true); },
               EACCES},
        CReach{"RuntimeCannotWorkTheHandOver", Support::GetRuntimeAccount,
               [] { return OpenSemaphore("frame-receive"); }, EACCES},
        CReach{"RuntimeCannotReadStorages", Support::GetRuntimeAccount, [] { return ReadStorage("tessera.uid"); },
               EACCES},
        CReach{"RuntimeSetsItsCondition", Support::GetRuntimeAccount,
               [] { return scmKernelSetCondition(Domain, 0u, 0u); }, 0},
        CReach{"ScmOpensItsQueue", Support::GetScmAccount, [] { return OpenQueue("frame-receive", true); }, 0},
        CReach{"ScmCannotOpenARuntimeQueue", Support::GetScmAccount, [] { return OpenQueue("command", false); },
               EACCES},
        CReach{"ScmWritesItsStorage", Support::GetScmAccount, [] { return WriteStorage("tessera.uid"); }, 0},
        CReach{"ScmCannotReadTheCheckersCopy", Support::GetScmAccount, [] { return ReadStorage("fwrevcnf.bin.chk"); },
               EACCES},
        CReach{"ScmCannotReplaceTheCheckersCopy", Support::GetScmAccount,
               [] { return WriteStorage("tessera.uid.chk"); }, EPERM},
        CReach{"ScmCannotRemoveTheCheckersCopy", Support::GetScmAccount,
               [] { return scmKernelRemoveStorage(Domain, "tessera.dat.chk"); }, EPERM},
        CReach{"CheckerWritesItsCopy", Support::GetCheckerAccount, [] { return WriteStorage("tessera.uid.chk"); }, 0},
        CReach{"CheckerReadsTheScmsPasswordFile", Support::GetCheckerAccount,
               [] { return ReadStorage("fwrevcnf.bin"); }, 0},
        CReach{"CheckerCannotReplaceAnScmStorage", Support::GetCheckerAccount,
               [] { return WriteStorage("tessera.dat"); }, EPERM},
        CReach{"CheckerTakesTheResetLock", Support::GetCheckerAccount, [] { return ScmLockReset(Domain); }, 0},
        CReach{"CheckerLogsItsEvents", Support::GetCheckerAccount, [] { return AppendEvent(); }, 0},
        CReach{"RuntimeCannotWriteTheEventLog", Support::GetRuntimeAccount, [] { return AppendEvent(); }, EACCES},
        CReach{"RuntimeCannotTakeTheResetLock", Support::GetRuntimeAccount, [] { return ScmLockReset(Domain); },
               EACCES}),
    [](const ::testing::TestParamInfo<CReach>& reach) { return std::string(reach.param.m_name); });

/// One change a wrong role could make (done here as root), and the object the checker then names.
struct CUnsafeChange
{
    const char* m_name;
    /// Gets the domain directory's path and the roles.
    std::function<int(const std::string&, const ScmDomainRoles&)> m_change;
    const char* m_object;
    int m_error;
};

void PrintTo(const CUnsafeChange& change, std::ostream* stream)
{
    *stream << change.m_name;
}

class UnsafeDeployment : public DomainRoles, public ::testing::WithParamInterface<CUnsafeChange>
{
};

int ChangeQueue(const std::string& name, uid_t user, gid_t group, mode_t mode)
{
    const mqd_t queue = mq_open(PosixName(name).c_str(), O_RDONLY);
    if (queue == static_cast<mqd_t>(-1))
    {
        return -1;
    }
    const int result = ((fchown(queue, user, group) == 0) && (fchmod(queue, mode) == 0)) ? 0 : -1;
    (void)mq_close(queue);
    return result;
}

std::string SemaphorePath(const std::string& name)
{
    return "/dev/shm/sem." + PosixName(name).substr(1u);
}

TEST_P(UnsafeDeployment, IsRefusedNamingTheObject)
{
    const CUnsafeChange& change = GetParam();
    ASSERT_EQ(0, change.m_change(DomainPath(""), m_roles)) << std::strerror(errno);
    const Support::CAccountRun run = CheckAs(Support::GetCheckerAccount(m_roles));
    ASSERT_TRUE(run.m_ended);
    EXPECT_EQ(ERROR, run.m_result);
    EXPECT_EQ(change.m_error, run.m_error) << std::strerror(run.m_error);
    EXPECT_EQ(change.m_object, run.m_text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnsafeDeployment,
    ::testing::Values(
        CUnsafeChange{"ScmQueueOwnedByTheRuntime",
                      [](const std::string&, const ScmDomainRoles& r)
                      { return ChangeQueue("/scm0007/~command", r.runtimeUser, r.scmGroup, 0660); },
                      "queue /scm0007/~command", EPERM},
        CUnsafeChange{"RuntimeQueueWritableByTheScmGroup",
                      [](const std::string&, const ScmDomainRoles& r)
                      { return ChangeQueue("/scm0007/frame-send", r.runtimeUser, r.scmGroup, 0660); },
                      "queue /scm0007/frame-send", EPERM},
        CUnsafeChange{"QueueWritableByOthers",
                      [](const std::string&, const ScmDomainRoles& r)
                      { return ChangeQueue("/scm0007/event", r.runtimeUser, r.runtimeGroup, 0662); },
                      "queue /scm0007/event", EPERM},
        CUnsafeChange{"SemaphoreWritableByTheRuntimeGroup",
                      [](const std::string&, const ScmDomainRoles& r)
                      { return chown(SemaphorePath("/scm0007/~frame-send").c_str(), r.scmUser, r.runtimeGroup); },
                      "semaphore /scm0007/~frame-send", EPERM},
        CUnsafeChange{"MissingSemaphore",
                      [](const std::string&, const ScmDomainRoles&) { return semUnlink("/scm0007/~frame-receive"); },
                      "semaphore /scm0007/~frame-receive", ENOENT},
        CUnsafeChange{"StorageFolderNotSticky",
                      [](const std::string& d, const ScmDomainRoles&)
                      { return chmod((d + "/storage").c_str(), 02770); },
                      "folder storage", EPERM},
        CUnsafeChange{"ConditionsWritableByOthers",
                      [](const std::string& d, const ScmDomainRoles&)
                      { return chmod((d + "/conditions").c_str(), 01777); },
                      "folder conditions", EPERM},
        CUnsafeChange{"CopyOwnedByTheScm",
                      [](const std::string& d, const ScmDomainRoles& r)
                      { return chown((d + "/storage/tessera.uid.chk").c_str(), r.scmUser, r.scmGroup); },
                      "storage tessera.uid.chk", EACCES},
        CUnsafeChange{"PasswordCopyReadableByTheGroup",
                      [](const std::string& d, const ScmDomainRoles&)
                      { return chmod((d + "/storage/fwrevcnf.bin.chk").c_str(), 0640); },
                      "storage fwrevcnf.bin.chk", EPERM},
        CUnsafeChange{"ScmStorageOwnedByTheRuntime",
                      [](const std::string& d, const ScmDomainRoles& r)
                      { return chown((d + "/storage/fwrevcnf.bin").c_str(), r.runtimeUser, r.scmGroup); },
                      "storage fwrevcnf.bin", EPERM},
        CUnsafeChange{"RolesWritableByTheGroup",
                      [](const std::string& d, const ScmDomainRoles&) { return chmod((d + "/roles").c_str(), 0660); },
                      "kernel file roles", EPERM},
        CUnsafeChange{"ResetLockReplacedByALink",
                      [](const std::string& d, const ScmDomainRoles&)
                      {
                          const std::string path = (d + "/reset-lock");
                          return ((unlink(path.c_str()) == 0) && (symlink("/etc/hostname", path.c_str()) == 0)) ? 0
                                                                                                                : -1;
                      },
                      "kernel file reset-lock", ELOOP},
        CUnsafeChange{"FlashFolderOwnedByTheScm",
                      [](const std::string& d, const ScmDomainRoles& r)
                      { return chown((d + "/kel-flash").c_str(), r.scmUser, r.domainGroup); },
                      "folder kel-flash", EPERM}),
    [](const ::testing::TestParamInfo<CUnsafeChange>& change) { return std::string(change.param.m_name); });

class OneUserDomain : public ProvisionedDomain
{
};

// Without a roles file every role is the checker's own user: a domain provisioned by that user passes.
TEST_F(OneUserDomain, PassesForTheUserThatOwnsIt)
{
    char object[SCM_DEPLOYMENT_OBJECT_LENGTH_MAX] = {};
    EXPECT_EQ(OK, scmCheckDeployment(Domain, object, sizeof(object))) << object;
}

TEST_F(OneUserDomain, QueuesAndSemaphoresGetTheirModeWhateverTheUmask)
{
    const mode_t previous = umask(0077);
    MSG_Q_ID queue = msgQOpen("/scm0007/mode-probe", 1u, 8u, 0, OM_CREATE | OM_EXCL, nullptr);
    SEM_ID semaphore = semOpen("/scm0007/~mode-probe", SEM_TYPE_BINARY, SEM_EMPTY, 0, OM_CREATE | OM_EXCL, nullptr);
    (void)umask(previous);
    ASSERT_NE(nullptr, queue);
    ASSERT_NE(nullptr, semaphore);
    (void)msgQDelete(queue);
    (void)semClose(semaphore);
    struct stat status
    {
    };
    const mqd_t probe = mq_open(PosixName("/scm0007/mode-probe").c_str(), O_RDONLY);
    ASSERT_NE(static_cast<mqd_t>(-1), probe);
    ASSERT_EQ(0, fstat(probe, &status));
    (void)mq_close(probe);
    EXPECT_EQ(0660u, status.st_mode & 07777u);
    ASSERT_EQ(0, stat(SemaphorePath("/scm0007/~mode-probe").c_str(), &status));
    EXPECT_EQ(0660u, status.st_mode & 07777u);
    (void)msgQUnlink("/scm0007/mode-probe");
    (void)semUnlink("/scm0007/~mode-probe");
}

TEST_F(OneUserDomain, QueueNamesAreTheOnesTheCheckerOpens)
{
    // Unlinking a queue that the checker opens must make the check name exactly that queue.
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    ASSERT_NE(nullptr, ScmGetUnlockResponseQueueFromScmName(Domain, name));
    ASSERT_EQ(OK, msgQUnlink(name));
    char object[SCM_DEPLOYMENT_OBJECT_LENGTH_MAX] = {};
    EXPECT_EQ(ERROR, scmCheckDeployment(Domain, object, sizeof(object)));
    EXPECT_EQ(ENOENT, errno);
    EXPECT_EQ("queue " + std::string(name), object);
}
} // namespace
} // namespace PlatformTest
