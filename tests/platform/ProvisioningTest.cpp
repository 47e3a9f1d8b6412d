// Provisioning of a domain, test isolation, and the scm-provision tool.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "msgQLib.h"
#include "scmKernelEmulation.h"
#include "scmSyscall.h"
#include "semLib.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"

namespace PlatformTest
{
namespace
{
// Sets SCM_IPC_PREFIX for its lifetime and puts the previous value back.
class CPrefixScope
{
public:
    explicit CPrefixScope(const std::string& prefix)
    {
        const char* previous = std::getenv("SCM_IPC_PREFIX");
        m_previous = (previous != nullptr) ? std::optional<std::string>(previous) : std::nullopt;
        (void)setenv("SCM_IPC_PREFIX", prefix.c_str(), 1);
    }
    ~CPrefixScope()
    {
        if (m_previous.has_value())
        {
            (void)setenv("SCM_IPC_PREFIX", m_previous->c_str(), 1);
        }
        else
        {
            (void)unsetenv("SCM_IPC_PREFIX");
        }
    }
    CPrefixScope(const CPrefixScope&) = delete;
    CPrefixScope& operator=(const CPrefixScope&) = delete;

private:
    std::optional<std::string> m_previous;
};

bool QueueExists(const std::string& prefix, const char* name)
{
    const CPrefixScope scope(prefix);
    MSG_Q_ID queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    if (queue == nullptr)
    {
        return false;
    }
    (void)msgQDelete(queue);
    return true;
}

bool SemaphoreExists(const std::string& prefix, const char* name)
{
    const CPrefixScope scope(prefix);
    SEM_ID semaphore = semOpen(name, SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    if (semaphore == nullptr)
    {
        return false;
    }
    (void)semClose(semaphore);
    return true;
}

TEST(PlatformIsolation, RemovesQueuesSemaphoresAndFilesOfThisAndChildProcesses)
{
    std::string prefix;
    std::string root;
    {
        Support::CPlatformIsolation isolation;
        prefix = isolation.GetPrefix();
        root = isolation.GetKernelRoot();
        Support::CDomainProvisioner provisioner(3u);
        provisioner.Create();
        // A queue created by a child process, which the isolation did not see being made.
        MSG_Q_ID queue = msgQOpen("/child/queue", 1u, 8u, 0, OM_CREATE, nullptr);
        ASSERT_NE(nullptr, queue);
        (void)msgQDelete(queue);
        ASSERT_EQ(0, msgQUnlink("/child/queue"));
        const CProcessResult child = RunProcess(PLATFORM_TEST_PEER, {"send", "/scm0003/event", "x"});
        ASSERT_EQ(0, child.m_exitCode);
        ASSERT_TRUE(std::filesystem::exists(root + "/scm0003"));
        ASSERT_TRUE(QueueExists(prefix, "/scm0003/event"));
    }
    EXPECT_FALSE(QueueExists(prefix, "/scm0003/event"));
    EXPECT_FALSE(QueueExists(prefix, "/scm0003/~frame-receive"));
    EXPECT_FALSE(SemaphoreExists(prefix, "/scm0003/~frame-send"));
    EXPECT_FALSE(std::filesystem::exists(root));
    EXPECT_EQ(nullptr, std::getenv("SCM_IPC_PREFIX"));
}

TEST(PlatformIsolation, EachIsolationGetsItsOwnPrefixAndRoot)
{
    Support::CPlatformIsolation first;
    const std::string firstPrefix = first.GetPrefix();
    Support::CPlatformIsolation second;
    EXPECT_NE(firstPrefix, second.GetPrefix());
    EXPECT_NE(first.GetKernelRoot(), second.GetKernelRoot());
    EXPECT_EQ(second.GetPrefix(), std::string(std::getenv("SCM_IPC_PREFIX")));
}

TEST(DomainProvisioner, DestroyIsCompleteAndToleratesAHalfCreatedDomain)
{
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(1023u);
    provisioner.Create();
    EXPECT_TRUE(QueueExists(isolation.GetPrefix(), "/scm1023/~unlock-response"));
    ASSERT_EQ(OK, msgQUnlink("/scm1023/command"));
    provisioner.Destroy();
    EXPECT_FALSE(QueueExists(isolation.GetPrefix(), "/scm1023/~unlock-response"));
    EXPECT_FALSE(SemaphoreExists(isolation.GetPrefix(), "/scm1023/~frame-receive"));
    EXPECT_EQ(0, scmKernelDomainExists(1023u));
    EXPECT_THROW(Support::CDomainProvisioner(1024u), std::invalid_argument);
}

class ProvisionTool : public ::testing::Test
{
protected:
    CProcessResult Run(const std::vector<std::string>& arguments)
    {
        return RunProcess(SCM_PROVISION_TOOL, arguments);
    }

    Support::CPlatformIsolation m_isolation;
};

TEST_F(ProvisionTool, CreatesReportsAndDestroysADomain)
{
    const std::string flash = m_isolation.GetKernelRoot() + "-flash16";
    {
        std::ofstream(flash) << "flash";
    }
    const CProcessResult created = Run({"create", "9", "--capacity", "4", "--cpu-product-code", "0x10", "--cpu-serial",
                                        "20", "--kel-udid", "a1b2c3d4e5f6", "--flash16", flash});
    ASSERT_EQ(0, created.m_exitCode);
    EXPECT_EQ("capacity 4\n", created.m_output);
    ASSERT_EQ(0, RunProcess(PLATFORM_TEST_PEER, {"send", "/scm0009/command", "c"}).m_exitCode);
    ASSERT_EQ(0, Run({"set-condition", "9", "0", "123"}).m_exitCode);
    const CProcessResult status = Run({"status", "9"});
    ASSERT_EQ(0, status.m_exitCode);
    EXPECT_NE(std::string::npos, status.m_output.find("queue /scm0009/command waiting=1 capacity=4 max-length=42\n"));
    EXPECT_NE(std::string::npos,
              status.m_output.find("queue /scm0009/~frame-send waiting=0 capacity=4 max-length=521\n"));
    EXPECT_NE(std::string::npos, status.m_output.find("semaphore /scm0009/~frame-receive value=0\n"));
    EXPECT_NE(std::string::npos, status.m_output.find("condition 0 value=123\n"));
    EXPECT_NE(std::string::npos, status.m_output.find("reset-lock 0\nplc-resets 0 last-mode=0\n"));
    uint8_t content[8] = {};
    int32_t result = 0;
    // Through the kernel service, as the checker reads it.
    EXPECT_EQ(0, ScmSyscall(9, 16, 0, sizeof(content), reinterpret_cast<ScmSyscallArgument>(content),
                            reinterpret_cast<ScmSyscallArgument>(&result), 0, 0, SCM_SYSCALL_READ_KEL_FLASH_FILE));
    EXPECT_EQ(5, result);
    ASSERT_EQ(0, Run({"destroy", "9"}).m_exitCode);
    EXPECT_EQ(1, Run({"status", "9"}).m_exitCode);
}

TEST_F(ProvisionTool, WaitConditionPrintsTheValueOrTimesOut)
{
    ASSERT_EQ(0, Run({"create", "5"}).m_exitCode);
    EXPECT_EQ(1, Run({"wait-condition", "5", "1", "--timeout", "0"}).m_exitCode);
    CChildProcess waiter(SCM_PROVISION_TOOL, {"wait-condition", "5", "1"});
    ASSERT_EQ(0, Run({"set-condition", "5", "1", "0xFFFFFFFF"}).m_exitCode);
    const CProcessResult waited = waiter.Wait();
    EXPECT_EQ(0, waited.m_exitCode);
    EXPECT_EQ("4294967295\n", waited.m_output);
}

TEST_F(ProvisionTool, CleanDomainHasTheControllersSignatureAndEveryMandatoryStorageEmpty)
{
    ASSERT_EQ(0, Run({"create", "4", "--kel-udid", "001122334455", "--kel-signature", "0x0102030405060708",
                      "--empty-storages"})
                     .m_exitCode);
    const std::filesystem::path domain = std::filesystem::path(m_isolation.GetKernelRoot()) / "scm0004";
    std::ifstream flash(domain / "kel-flash" / "16", std::ios::binary);
    const std::string signature((std::istreambuf_iterator<char>(flash)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::string("\x00\x01\x00\x00\x00\x11\x22\x33\x44\x55\x08\x07\x06\x05\x04\x03\x02\x01", 18u), signature);
    for (const char* name : {"tessera.uid", "tessera.uid.chk", "tessera.dat", "tessera.dat.chk", "tol_para.saf",
                             "autocnf.bin", "fwrevcnf.bin", "fwrevcnf.bin.chk"})
    {
        const std::filesystem::path storage = domain / "storage" / name;
        EXPECT_TRUE(std::filesystem::exists(storage) && std::filesystem::file_size(storage) == 0u) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(domain / "storage" / "pardata1.bin"));
}

TEST_F(ProvisionTool, SendAndReceiveMoveMessagesPlainOrComplemented)
{
    ASSERT_EQ(0, Run({"create", "6"}).m_exitCode);
    ASSERT_EQ(0, Run({"send", "6", "frame-send", "01 02 ff"}).m_exitCode);
    ASSERT_EQ(0, Run({"send", "6", "frame-send", "a0"}).m_exitCode);
    ASSERT_EQ(0, Run({"send", "6", "~status", "0f", "--complement"}).m_exitCode);
    const CProcessResult frames = Run({"receive", "6", "frame-send", "--timeout", "1"});
    EXPECT_EQ(0, frames.m_exitCode);
    EXPECT_EQ("0102ff\na0\n", frames.m_output);
    EXPECT_EQ("f0\n", Run({"receive", "6", "~status"}).m_output);
    ASSERT_EQ(0, Run({"send", "6", "~status", "0f", "--complement"}).m_exitCode);
    EXPECT_EQ("0f\n", Run({"receive", "6", "~status", "--complement"}).m_output);
    EXPECT_EQ(1, Run({"receive", "6", "~status"}).m_exitCode) << "nothing waiting";
}

struct CUsageCase
{
    std::vector<std::string> m_arguments;
};

void PrintTo(const CUsageCase& usage, std::ostream* stream)
{
    *stream << "scm-provision";
    for (const std::string& argument : usage.m_arguments)
    {
        *stream << ' ' << argument;
    }
}

class ProvisionToolUsage : public ProvisionTool, public ::testing::WithParamInterface<CUsageCase>
{
};

TEST_P(ProvisionToolUsage, IsRefusedWithExitCodeTwo)
{
    EXPECT_EQ(2, Run(GetParam().m_arguments).m_exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ProvisionToolUsage,
    ::testing::Values(CUsageCase{{}}, CUsageCase{{"launch", "1"}}, CUsageCase{{"create"}}, CUsageCase{{"create", "0"}},
                      CUsageCase{{"create", "1024"}}, CUsageCase{{"create", "1", "--kel-udid", "123"}},
                      CUsageCase{{"create", "1", "--cpu-product-code", "1"}}, CUsageCase{{"set-condition", "1", "0"}},
                      CUsageCase{{"wait-condition", "1", "0", "--timeout"}}, CUsageCase{{"status", "x"}},
                      CUsageCase{{"send", "1", "frame", "01"}}, CUsageCase{{"send", "1", "event", "0g"}},
                      CUsageCase{{"send", "1", "event", "000102030405060708090a0b"}},
                      CUsageCase{{"receive", "1", "~event", "--wait"}},
                      CUsageCase{{"create", "1", "--kel-signature", "5"}},
                      CUsageCase{{"create", "1", "--kel-udid", "001122334455", "--kel-signature", "x"}}));

TEST_F(ProvisionTool, HelpDocumentsCommandsAndExitCodes)
{
    const CProcessResult help = Run({"--help"});
    EXPECT_EQ(0, help.m_exitCode);
    for (const char* word :
         {"create", "destroy", "set-condition", "wait-condition", "status", "send", "receive", "Exit codes"})
    {
        EXPECT_NE(std::string::npos, help.m_output.find(word)) << word;
    }
}
} // namespace
} // namespace PlatformTest
