// Starts helper programs in processes of their own, with extra environment, and collects their output.
#ifndef TESTS_PLATFORM_CHILDPROCESS_H
#define TESTS_PLATFORM_CHILDPROCESS_H

#include <string>
#include <sys/types.h>
#include <vector>

namespace PlatformTest
{
struct CProcessResult
{
    int m_exitCode;
    std::string m_output;
};

/// A running child; the destructor kills it if nobody waited.
class CChildProcess
{
public:
    /// Starts program with arguments; environment holds extra "NAME=VALUE" entries on top of this process's.
    CChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment = {});
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    /// Waits for the end and gives the exit code (128 + signal when killed) and everything printed on stdout.
    CProcessResult Wait();

    /// True while the child has not ended.
    bool IsRunning();

private:
    pid_t m_processId;
    int m_outputDescriptor;
    bool m_ended;
    int m_status;
};

/// Runs program to its end.
CProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment = {});
} // namespace PlatformTest

#endif
