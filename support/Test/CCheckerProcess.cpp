// Starting a build of the checker for process tests, reading what it prints and collecting its exit status.
#include "support/Test/CCheckerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace Support
{
CCheckerProcess::CCheckerProcess(const CEnvironment& environment, CVariant variant, CChildSetUp childSetUp)
{
    Start(environment, GetExecutable(variant), variant, childSetUp);
}

CCheckerProcess::CCheckerProcess(const CEnvironment& environment, const std::string& executable)
{
    Start(environment, executable, CVariant::Test, nullptr);
}

void CCheckerProcess::Start(const CEnvironment& environment, const std::string& executable, CVariant variant,
                            CChildSetUp childSetUp)
{
    int output[2] = {-1, -1};
    if (pipe2(output, O_CLOEXEC) != 0)
    {
        throw std::runtime_error("pipe2 failed");
    }
    m_pid = fork();
    if (m_pid < 0)
    {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0)
    {
        (void)dup2(output[1], STDOUT_FILENO);
        // The shipped checker refuses to start with this test control; only the test build may get it.
        if (variant == CVariant::Test)
        {
            (void)setenv("SCM_TASK_SCHEDULING", "normal", 1);
        }
        for (const auto& [name, value] : environment)
        {
            if (value)
            {
                (void)setenv(name.c_str(), value->c_str(), 1);
            }
            else
            {
                (void)unsetenv(name.c_str());
            }
        }
        if (childSetUp != nullptr)
        {
            childSetUp();
        }
        (void)execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    (void)close(output[1]);
    m_output = output[0];
}

CCheckerProcess::~CCheckerProcess()
{
    if (m_pid > 0 && !m_exitStatus)
    {
        End(m_pid);
    }
    if (m_output >= 0)
    {
        (void)close(m_output);
    }
}

void CCheckerProcess::End(pid_t pid)
{
    (void)kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(pid, nullptr, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            (void)kill(pid, SIGKILL);
            (void)waitpid(pid, nullptr, 0);
            return;
        }
        (void)usleep(1000);
    }
}

std::string CCheckerProcess::GetExecutable(CVariant variant)
{
    return (variant == CVariant::Shipped) ? SCM_CHECKER_EXECUTABLE : SCM_CHECKER_TEST_EXECUTABLE;
}

std::string CCheckerProcess::DefaultExecutable()
{
    return GetExecutable(CVariant::Test);
}

void CCheckerProcess::ReadOutput(int timeoutMilliseconds)
{
    pollfd descriptor{m_output, POLLIN, 0};
    if (m_output >= 0 && poll(&descriptor, 1, timeoutMilliseconds) > 0)
    {
        char buffer[256];
        const ssize_t length = read(m_output, buffer, sizeof buffer);
        if (length > 0)
        {
            m_printed.append(buffer, static_cast<std::size_t>(length));
        }
        else
        {
            (void)close(m_output);
            m_output = -1;
        }
    }
}

bool CCheckerProcess::IsRunning()
{
    if (m_exitStatus)
    {
        return false;
    }
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid)
    {
        m_exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::optional<int> CCheckerProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsRunning())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return std::nullopt;
        }
        ReadOutput(20);
    }
    while (m_output >= 0)
    {
        ReadOutput(100);
    }
    return m_exitStatus;
}

const std::string& CCheckerProcess::GetOutput()
{
    ReadOutput(0);
    return m_printed;
}
} // namespace Support
