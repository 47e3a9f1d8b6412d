// The scm-checker process at start-up: a missing queue of its domain ends it with the console message and status
// 255 before it does anything else; with all fourteen queues it goes on to announce itself to the SCM.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Scm/ScmKernel.h"
#include "msgQLib.h"
#include "scmKernelEmulation.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Provision/QueueFlows.h"

namespace
{
constexpr std::uint16_t Domain = 21u;
constexpr const char* QueuesMissingMessage = "SCM checker failed to start: message queues are not available?\n";

/// The checker started for the domain, with its standard output read through a pipe.
class CCheckerProcess
{
public:
    CCheckerProcess()
    {
        int output[2] = {-1, -1};
        EXPECT_EQ(0, pipe2(output, O_CLOEXEC));
        m_pid = fork();
        if (m_pid == 0)
        {
            (void)dup2(output[1], STDOUT_FILENO);
            (void)setenv("SafetyDomainNumber", std::to_string(Domain).c_str(), 1);
            const char* path = SCM_BINARY_DIR "/entry/scm-checker";
            (void)execl(path, path, static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        (void)close(output[1]);
        m_output = output[0];
    }

    ~CCheckerProcess()
    {
        if (m_pid > 0)
        {
            (void)kill(m_pid, SIGKILL);
            (void)waitpid(m_pid, nullptr, 0);
        }
        (void)close(m_output);
    }

    CCheckerProcess(const CCheckerProcess&) = delete;
    CCheckerProcess& operator=(const CCheckerProcess&) = delete;

    /// Everything the process printed until it ended, and its exit status; -1 when it did not end in time.
    int WaitForExit(std::string& printed)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        char buffer[256];
        for (;;)
        {
            pollfd descriptor{m_output, POLLIN, 0};
            if (poll(&descriptor, 1, 100) > 0)
            {
                const ssize_t length = read(m_output, buffer, sizeof buffer);
                if (length <= 0)
                {
                    break;
                }
                printed.append(buffer, static_cast<std::size_t>(length));
            }
            if (std::chrono::steady_clock::now() > deadline)
            {
                return -1;
            }
        }
        int status = 0;
        EXPECT_EQ(m_pid, waitpid(m_pid, &status, 0));
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_output = -1;
};

class QueueStart : public ::testing::Test
{
protected:
    QueueStart() : m_provisioner(Domain)
    {
        m_provisioner.Create();
        // The runtime has started the domain: the checker does not wait for it.
        EXPECT_EQ(0, scmKernelSetCondition(Domain, ScmStarted, 0u));
    }

    ~QueueStart() override
    {
        m_provisioner.Destroy();
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
};

class QueueStartMissing : public QueueStart, public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(QueueStartMissing, EndsWithTheConsoleMessageAndStatus255)
{
    const std::string name = Support::GetQueueName(Support::GetQueueFlows()[GetParam()], Domain);
    ASSERT_EQ(OK, msgQUnlink(name.c_str()));
    CCheckerProcess checker;
    std::string printed;
    EXPECT_EQ(255, checker.WaitForExit(printed)) << "without " << name;
    EXPECT_EQ(QueuesMissingMessage, printed);
    std::uint32_t information = 0u;
    EXPECT_EQ(-1, scmKernelGetCondition(Domain, ScmCheckerInitialized, &information))
        << "the checker must not announce itself";
}

INSTANTIATE_TEST_SUITE_P(EachQueue, QueueStartMissing, ::testing::Range<std::size_t>(0u, Support::QueueCount));

TEST_F(QueueStart, GoesOnToAnnounceItselfWhenEveryQueueIsThere)
{
    CCheckerProcess checker;
    std::uint32_t revisionNumber = 0u;
    EXPECT_EQ(0, scmKernelWaitForCondition(Domain, ScmCheckerInitialized, 30000, &revisionNumber));
}
} // namespace
