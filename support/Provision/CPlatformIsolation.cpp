// Keeps a test's queues, semaphores and kernel files apart from every other process and removes them after.
#include "support/Provision/CPlatformIsolation.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "platformControl.h"
#include "scmKernelEmulation.h"

namespace Support
{
namespace
{
namespace fs = std::filesystem;

constexpr const char* DirectoryStem = "scm-isolation.";
std::atomic<unsigned> isolationCounter{0u};

fs::path GetTemporaryDirectory()
{
    const char* directory = std::getenv("TMPDIR");
    return ((directory != nullptr) && (*directory != '\0')) ? fs::path(directory) : fs::path("/tmp");
}

std::string FormPrefix(long processId, unsigned number)
{
    return "t" + std::to_string(processId) + "-" + std::to_string(number) + "-";
}

bool IsProcessAlive(long processId)
{
    return (kill(static_cast<pid_t>(processId), 0) == 0) || (errno == EPERM);
}

// Removes files of a folder whose names start with start; a missing folder is no error.
void RemoveStartingWith(const fs::path& folder, const std::string& start)
{
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && (entry != end); entry.increment(error))
    {
        if (entry->path().filename().string().rfind(start, 0u) == 0u)
        {
            fs::remove(entry->path(), error);
        }
    }
}
} // namespace

CPlatformIsolation::CPlatformIsolation()
{
    RemoveStaleIsolations();
    const long processId = static_cast<long>(getpid());
    const unsigned number = isolationCounter.fetch_add(1u);
    std::string pattern = (GetTemporaryDirectory() / (std::string(DirectoryStem) + std::to_string(processId) + "." +
                                                      std::to_string(number) + ".XXXXXX"))
                              .string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error(std::string("cannot create an isolation directory: ") + std::strerror(errno));
    }
    m_directory = pattern;
    m_prefix = FormPrefix(processId, number);
    m_kernelRoot = m_directory + "/kernel";
    Set("SCM_IPC_PREFIX", m_prefix, m_savedPrefix);
    Set("SCM_KERNEL_ROOT", m_kernelRoot, m_savedRoot);
    Set("SCM_IPC_REGISTRY", m_directory + "/ipc-objects", m_savedRegistry);
    platformFaultClear();
    platformClockReset();
    scmKernelSetProcessDomain(0u);
}

CPlatformIsolation::~CPlatformIsolation()
{
    platformFaultClear();
    platformClockReset();
    scmKernelSetProcessDomain(0u);
    Restore(m_savedPrefix);
    Restore(m_savedRoot);
    Restore(m_savedRegistry);
    Remove(m_directory, m_prefix);
}

void CPlatformIsolation::Set(const char* name, const std::string& value, CSavedVariable& saved)
{
    const char* previous = std::getenv(name);
    saved.m_name = name;
    saved.m_value = (previous != nullptr) ? std::optional<std::string>(previous) : std::nullopt;
    (void)setenv(name, value.c_str(), 1);
}

void CPlatformIsolation::Restore(const CSavedVariable& saved)
{
    if (saved.m_value.has_value())
    {
        (void)setenv(saved.m_name.c_str(), saved.m_value->c_str(), 1);
    }
    else
    {
        (void)unsetenv(saved.m_name.c_str());
    }
}

void CPlatformIsolation::Remove(const std::string& directory, const std::string& prefix)
{
    (void)scmKernelRemoveRegisteredIpc((directory + "/ipc-objects").c_str());
    // What the registry may have missed (a process killed between creating and recording): named semaphores
    // live in /dev/shm as "sem.<name>", queues in /dev/mqueue where that file system is mounted.
    RemoveStartingWith("/dev/shm", "sem." + prefix);
    RemoveStartingWith("/dev/mqueue", prefix);
    std::error_code error;
    fs::remove_all(directory, error);
}

void CPlatformIsolation::RemoveStaleIsolations()
{
    std::error_code error;
    for (fs::directory_iterator entry(GetTemporaryDirectory(), error), end; !error && (entry != end);
         entry.increment(error))
    {
        // "scm-isolation.<pid>.<n>.XXXXXX"
        const std::string name = entry->path().filename().string();
        if (name.rfind(DirectoryStem, 0u) != 0u)
        {
            continue;
        }
        char* parsed = nullptr;
        const char* digits = name.c_str() + std::strlen(DirectoryStem);
        const long processId = std::strtol(digits, &parsed, 10);
        if ((parsed == digits) || (*parsed != '.') || (processId <= 0) || IsProcessAlive(processId))
        {
            continue;
        }
        const char* numberText = parsed + 1;
        const unsigned long number = std::strtoul(numberText, &parsed, 10);
        if ((parsed == numberText) || (*parsed != '.'))
        {
            continue;
        }
        Remove(entry->path().string(), FormPrefix(processId, static_cast<unsigned>(number)));
    }
}
} // namespace Support
