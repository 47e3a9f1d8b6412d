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
/// Starts a checker with the test's environment plus the given variables (std::nullopt removes one). By default the
/// test build scm-checker-test, with SCM_TASK_SCHEDULING=normal so that its tasks never run real-time on a shared
/// test machine and tests need no real-time rights; the shipped scm-checker gets the environment as given. The
/// destructor ends the process if it still runs (End).
class CCheckerProcess
{
public:
    using CEnvironment = std::map<std::string, std::optional<std::string>>;

    /// Which build of the checker.
    enum class CVariant
    {
        Test,   ///< scm-checker-test: the checker over the test platform, with its controls
        Shipped ///< scm-checker: the checker as installed
    };

    /// Called in the child between fork and exec (async-signal-safe calls only), e.g. to change its limits.
    using CChildSetUp = void (*)();

    explicit CCheckerProcess(const CEnvironment& environment, CVariant variant = CVariant::Test,
                             CChildSetUp childSetUp = nullptr);
    /// Starts another executable built like the test build (a changed copy of it, for instance).
    CCheckerProcess(const CEnvironment& environment, const std::string& executable);
    ~CCheckerProcess();
    CCheckerProcess(const CCheckerProcess&) = delete;
    CCheckerProcess& operator=(const CCheckerProcess&) = delete;

    /// The executable of a build of the checker in this build tree.
    static std::string GetExecutable(CVariant variant);
    /// The test build, scm-checker-test.
    static std::string DefaultExecutable();
    /// Ends a child process of the caller and reaps it: SIGTERM first, so that a coverage build of the checker
    /// writes its counters, and SIGKILL when it still runs after a few seconds.
    static void End(pid_t pid);

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
    void Start(const CEnvironment& environment, const std::string& executable, CVariant variant,
               CChildSetUp childSetUp);
    void ReadOutput(int timeoutMilliseconds);

    pid_t m_pid = -1;
    int m_output = -1;
    std::optional<int> m_exitStatus;
    std::string m_printed;
};
} // namespace Support

#endif
