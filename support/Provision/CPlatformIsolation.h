// Keeps a test's queues, semaphores and kernel files apart from every other process and removes them after.
#ifndef SUPPORT_PROVISION_CPLATFORMISOLATION_H
#define SUPPORT_PROVISION_CPLATFORMISOLATION_H

#include <optional>
#include <string>

namespace Support
{
/// For its lifetime: SCM_IPC_PREFIX is a prefix unique to this process and object ("t<pid>-<n>-"),
/// SCM_KERNEL_ROOT a fresh temporary directory, and SCM_IPC_REGISTRY a file in which the platform layer
/// records every queue and semaphore it creates (in this process and in the processes it starts, which
/// inherit the environment). The destructor removes those queues and semaphores and the directory, puts the
/// three variables back as they were, and resets the in-process test controls (injected faults, clock
/// shifts, the process's domain). The constructor also removes what isolations of processes that died
/// without cleaning up have left. Not for use by two threads at once: it changes the environment.
class CPlatformIsolation
{
public:
    CPlatformIsolation();
    ~CPlatformIsolation();

    CPlatformIsolation(const CPlatformIsolation&) = delete;
    CPlatformIsolation& operator=(const CPlatformIsolation&) = delete;

    const std::string& GetPrefix() const
    {
        return m_prefix;
    }

    const std::string& GetKernelRoot() const
    {
        return m_kernelRoot;
    }

    /// Removes the leftovers of isolations whose processes have ended.
    static void RemoveStaleIsolations();

private:
    struct CSavedVariable
    {
        std::string m_name;
        std::optional<std::string> m_value;
    };

    static void Remove(const std::string& directory, const std::string& prefix);
    void Set(const char* name, const std::string& value, CSavedVariable& saved);
    static void Restore(const CSavedVariable& saved);

    std::string m_directory;
    std::string m_prefix;
    std::string m_kernelRoot;
    CSavedVariable m_savedPrefix;
    CSavedVariable m_savedRoot;
    CSavedVariable m_savedRegistry;
};
} // namespace Support

#endif
