// Starts helper programs in processes of their own, with extra environment, and collects their output.
#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace PlatformTest
{
CChildProcess::CChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment)
    : m_processId(-1), m_outputDescriptor(-1), m_ended(false), m_status(0)
{
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable)
    {
        variables.emplace_back(*variable);
    }
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> environmentPointers;
    for (std::string& variable : variables)
    {
        environmentPointers.push_back(variable.data());
    }
    environmentPointers.push_back(nullptr);
    std::vector<std::string> argumentCopies{program};
    argumentCopies.insert(argumentCopies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argumentPointers;
    for (std::string& argument : argumentCopies)
    {
        argumentPointers.push_back(argument.data());
    }
    argumentPointers.push_back(nullptr);

    int pipeDescriptors[2] = {-1, -1};
    if (pipe(pipeDescriptors) != 0)
    {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    (void)posix_spawn_file_actions_init(&actions);
    (void)posix_spawn_file_actions_adddup2(&actions, pipeDescriptors[1], STDOUT_FILENO);
    (void)posix_spawn_file_actions_addclose(&actions, pipeDescriptors[0]);
    const int result = posix_spawn(&m_processId, program.c_str(), &actions, nullptr, argumentPointers.data(),
                                   environmentPointers.data());
    (void)posix_spawn_file_actions_destroy(&actions);
    (void)close(pipeDescriptors[1]);
    m_outputDescriptor = pipeDescriptors[0];
    if (result != 0)
    {
        (void)close(m_outputDescriptor);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(result));
    }
}

CChildProcess::~CChildProcess()
{
    if (!m_ended && (m_processId > 0))
    {
        (void)kill(m_processId, SIGKILL);
        (void)waitpid(m_processId, nullptr, 0);
    }
    if (m_outputDescriptor >= 0)
    {
        (void)close(m_outputDescriptor);
    }
}

bool CChildProcess::IsRunning()
{
    if (!m_ended && (waitpid(m_processId, &m_status, WNOHANG) == m_processId))
    {
        m_ended = true;
    }
    return !m_ended;
}

CProcessResult CChildProcess::Wait()
{
    std::string output;
    char buffer[512];
    ssize_t count = 0;
    while ((count = read(m_outputDescriptor, buffer, sizeof(buffer))) != 0)
    {
        if (count > 0)
        {
            output.append(buffer, static_cast<std::size_t>(count));
        }
        else if (errno != EINTR)
        {
            break;
        }
    }
    if (!m_ended)
    {
        while ((waitpid(m_processId, &m_status, 0) < 0) && (errno == EINTR))
        {
        }
        m_ended = true;
    }
    const int exitCode = WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
    return {exitCode, output};
}

CProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment)
{
    CChildProcess child(program, arguments, environment);
    return child.Wait();
}
} // namespace PlatformTest
