// The process's own services: the environment it accepts, protection of its memory, real-time provisions.
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "PlatformErrors.h"
#include "PlatformHooks.h"
#include "processLib.h"

namespace
{
// The variables that the shipped layer reads (CIpcName, IpcRegistry, KernelFiles): any other SCM_ variable in a
// shipped process is a control it does not have, or a misspelt name whose default would go unnoticed.
constexpr const char* LayerVariables[] = {"SCM_IPC_PREFIX", "SCM_IPC_REGISTRY", "SCM_KERNEL_ROOT"};
constexpr const char VariablePrefix[] = "SCM_";

// Set by the build: 0 where a sanitizer reserves terabytes of shadow memory that mlockall would try to fault in.
constexpr bool MemoryLockable = (PLATFORM_LOCK_MEMORY != 0);

bool IsLayerVariable(const char* name, std::size_t length)
{
    for (const char* variable : LayerVariables)
    {
        if ((std::strlen(variable) == length) && (std::strncmp(variable, name, length) == 0))
        {
            return true;
        }
    }
    return false;
}

extern "C" void* EndAtOnce(void*)
{
    return nullptr;
}

// The same request as taskSpawn's for its most urgent priority: a thread created with SCHED_FIFO.
bool CanUseRealtimeScheduling()
{
    pthread_attr_t attributes;
    (void)pthread_attr_init(&attributes);
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_max(SCHED_FIFO);
    (void)pthread_attr_setinheritsched(&attributes, PTHREAD_EXPLICIT_SCHED);
    (void)pthread_attr_setschedpolicy(&attributes, SCHED_FIFO);
    (void)pthread_attr_setschedparam(&attributes, &parameter);
    pthread_t thread{};
    const int result = pthread_create(&thread, &attributes, EndAtOnce, nullptr);
    (void)pthread_attr_destroy(&attributes);
    if (result != 0)
    {
        return false;
    }
    (void)pthread_join(thread, nullptr);
    return true;
}

// Neither call can fail: clearing the flag and lowering a limit are always allowed.
void ProtectMemoryContents()
{
    const rlimit noCore{0u, 0u};
    (void)prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    (void)setrlimit(RLIMIT_CORE, &noCore);
}
} // namespace

extern "C" STATUS processCheckEnvironment(void)
{
    if (!Platform::ChecksEnvironment())
    {
        return OK;
    }
    for (char** entry = environ; (entry != nullptr) && (*entry != nullptr); ++entry)
    {
        const char* variable = *entry;
        if (std::strncmp(variable, VariablePrefix, sizeof(VariablePrefix) - 1u) != 0)
        {
            continue;
        }
        const char* equals = std::strchr(variable, '=');
        const std::size_t length =
            (equals != nullptr) ? static_cast<std::size_t>(equals - variable) : std::strlen(variable);
        if (!IsLayerVariable(variable, length))
        {
            return Platform::Fail(EPERM);
        }
    }
    return OK;
}

extern "C" unsigned processHarden(void)
{
    if (Platform::ProtectsMemoryContents())
    {
        ProtectMemoryContents();
    }
    if (Platform::IsNormalSchedulingRequested())
    {
        return 0u;
    }
    unsigned refused = 0u;
    if (!CanUseRealtimeScheduling())
    {
        refused |= PROCESS_REFUSED_REALTIME_SCHEDULING;
    }
    // Future pages too: the tasks' stacks and the queues' buffers come after this call.
    if (!MemoryLockable || (mlockall(MCL_CURRENT | MCL_FUTURE) != 0))
    {
        refused |= PROCESS_REFUSED_MEMORY_LOCK;
    }
    return refused;
}
