// A scm-checker process started by a test: its environment, its standard output, its end.
#ifndef SUPPORT_TEST_CCHECKERPROCESS_H
#define SUPPORT_TEST_CCHECKERPROCESS_H

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace Support
{
/// Starts the executable with the test's environment plus the given variables (std::nullopt removes one), and
/// SCM_TASK_SCHEDULING=normal so that its tasks never run real-time on a shared test machine. The destructor
/// kills the process if it still runs.
class CCheckerProcess
{
public:
    using CEnvironment = std::map<std::string, std::optional<std::string>>;

    explicit CCheckerProcess(const CEnvironment& environment, const std::string& executable = DefaultExecutable());
    ~CCheckerProcess();
    CCheckerProcess(const CCheckerProcess&) = delete;
    CCheckerProcess& operator=(const CCheckerProcess&) = delete;

    /// The scm-checker of this build.
    static std::string DefaultExecutable();

    /// Waits until the process ends and returns its exit status (a signal gives 128 + its number), or nothing
    /// when it still runs after the timeout.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    /// True while the process has not ended.
    bool IsRunning();
    /// The process's id, for signals and /proc.
    pid_t GetPid() const
    {
        return m_pid;
    }
    /// Everything the process has printed on standard output so far.
    const std::string& GetOutput();

private:
    void ReadOutput(int timeoutMilliseconds);

    pid_t m_pid = -1;
    int m_output = -1;
    std::optional<int> m_exitStatus;
    std::string m_printed;
};
} // namespace Support

#endif
