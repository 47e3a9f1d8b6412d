// taskLib over pthreads: a fixed task table, VxWorks priorities on SCHED_FIFO where allowed, ticks and clocks.
#include <array>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sched.h>

#include "CCancellationPoint.h"
#include "PlatformErrors.h"
#include "PlatformHooks.h"
#include "Ticks.h"
#include "taskLib.h"

namespace
{
using Platform::Fail;

constexpr int PriorityMostUrgent = 0;
constexpr int PriorityLeastUrgent = 255;
// The smallest stack a task gets: large enough for the layer's own calls and for sanitizer builds.
constexpr std::size_t StackSizeMin = 64u * 1024u;
constexpr std::size_t TaskNameLengthMax = 31u;
constexpr int GenerationCount = 1000000;

static_assert(TASK_MAX_COUNT >= 3, "the checker runs its initial, check and timeout tasks");
static_assert(static_cast<long long>(TASK_MAX_COUNT) * GenerationCount < INT_MAX, "task ids stay positive ints");

struct CTask
{
    bool m_inUse;
    bool m_deleting;
    int m_generation;
    pthread_t m_thread;
    FUNCPTR m_entry;
    std::array<_Vx_usr_arg_t, 10> m_arguments;
    char m_name[TaskNameLengthMax + 1u];
};

std::mutex tableMutex;

// Tasks may still run while the process ends and static objects are destroyed: the condition that they
// signal when they end is built in place and never destroyed.
std::condition_variable& GetTaskEnded()
{
    alignas(std::condition_variable) static unsigned char storage[sizeof(std::condition_variable)];
    static std::condition_variable* const condition = new (storage) std::condition_variable();
    return *condition;
}
std::array<CTask, TASK_MAX_COUNT> taskTable;
thread_local CTask* currentTask = nullptr;

TASK_ID GetTaskId(std::size_t index, int generation)
{
    return static_cast<TASK_ID>(index) + 1 + TASK_MAX_COUNT * generation;
}

// The slot of a task id; nullptr for an id that names no living task (also one whose slot was reused).
CTask* FindTask(TASK_ID id)
{
    if (id <= 0)
    {
        return nullptr;
    }
    const int index = (id - 1) % TASK_MAX_COUNT;
    const int generation = (id - 1) / TASK_MAX_COUNT;
    CTask& task = taskTable[static_cast<std::size_t>(index)];
    return (task.m_inUse && (task.m_generation == generation)) ? &task : nullptr;
}

// Frees the task's slot when its thread ends in any way: return, taskExit or deletion (stack unwinding).
class CTaskRelease
{
public:
    explicit CTaskRelease(CTask& task) : m_task(task) {}
    ~CTaskRelease()
    {
        {
            const std::lock_guard<std::mutex> lock(tableMutex);
            m_task.m_inUse = false;
            m_task.m_deleting = false;
            m_task.m_generation = (m_task.m_generation + 1) % GenerationCount;
        }
        GetTaskEnded().notify_all();
    }
    CTaskRelease(const CTaskRelease&) = delete;
    CTaskRelease& operator=(const CTaskRelease&) = delete;

private:
    CTask& m_task;
};

extern "C" void* RunTask(void* argument)
{
    CTask& task = *static_cast<CTask*>(argument);
    // A task ends by deletion only where it waits inside the layer (see CCancellationPoint).
    (void)pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
    currentTask = &task;
    const CTaskRelease release(task);
    const std::array<_Vx_usr_arg_t, 10>& a = task.m_arguments;
    (void)task.m_entry(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    return nullptr;
}

// 0 (most urgent) to 255 onto the SCHED_FIFO range, most urgent highest.
int GetFifoPriority(int priority)
{
    const int highest = sched_get_priority_max(SCHED_FIFO);
    const int lowest = sched_get_priority_min(SCHED_FIFO);
    return highest -
           ((priority - PriorityMostUrgent) * (highest - lowest)) / (PriorityLeastUrgent - PriorityMostUrgent);
}

int CreateThread(CTask& task, int priority, std::size_t stackSize)
{
    pthread_attr_t attributes;
    (void)pthread_attr_init(&attributes);
    (void)pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    (void)pthread_attr_setstacksize(&attributes, stackSize);
    int result = EPERM;
    if (!Platform::IsNormalSchedulingRequested())
    {
        sched_param parameter{};
        parameter.sched_priority = GetFifoPriority(priority);
        (void)pthread_attr_setinheritsched(&attributes, PTHREAD_EXPLICIT_SCHED);
        (void)pthread_attr_setschedpolicy(&attributes, SCHED_FIFO);
        (void)pthread_attr_setschedparam(&attributes, &parameter);
        result = pthread_create(&task.m_thread, &attributes, RunTask, &task);
    }
    if (result == EPERM)
    {
        // Not allowed to use real-time scheduling: the task runs with normal scheduling; processHarden has told
        // the process so at its start.
        (void)pthread_attr_setinheritsched(&attributes, PTHREAD_INHERIT_SCHED);
        result = pthread_create(&task.m_thread, &attributes, RunTask, &task);
    }
    (void)pthread_attr_destroy(&attributes);
    return result;
}
} // namespace

extern "C" TASK_ID taskSpawn(const char* name, int priority, int options, size_t stackSize, FUNCPTR entryPt,
                             _Vx_usr_arg_t arg1, _Vx_usr_arg_t arg2, _Vx_usr_arg_t arg3, _Vx_usr_arg_t arg4,
                             _Vx_usr_arg_t arg5, _Vx_usr_arg_t arg6, _Vx_usr_arg_t arg7, _Vx_usr_arg_t arg8,
                             _Vx_usr_arg_t arg9, _Vx_usr_arg_t arg10)
{
    (void)options;
    if (Platform::TryFail(Platform::FaultTaskSpawn))
    {
        return ERROR;
    }
    if ((entryPt == nullptr) || (priority < PriorityMostUrgent) || (priority > PriorityLeastUrgent))
    {
        return Fail(EINVAL);
    }
    const std::lock_guard<std::mutex> lock(tableMutex);
    std::size_t index = 0u;
    while ((index < taskTable.size()) && taskTable[index].m_inUse)
    {
        ++index;
    }
    if (index == taskTable.size())
    {
        return Fail(EAGAIN);
    }
    CTask& task = taskTable[index];
    task.m_entry = entryPt;
    task.m_arguments = {arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, arg9, arg10};
    (void)std::snprintf(task.m_name, sizeof(task.m_name), "%s", (name != nullptr) ? name : "task");
    task.m_deleting = false;
    task.m_inUse = true;
    const int result = CreateThread(task, priority, (stackSize > StackSizeMin) ? stackSize : StackSizeMin);
    if (result != 0)
    {
        task.m_inUse = false;
        return Fail(result);
    }
    // Linux keeps 15 characters of a thread's name.
    char threadName[16] = {};
    std::memcpy(threadName, task.m_name, sizeof(threadName) - 1u);
    (void)pthread_setname_np(task.m_thread, threadName);
    return GetTaskId(index, task.m_generation);
}

extern "C" STATUS taskDelay(int ticks)
{
    if (Platform::TryFail(Platform::FaultTaskDelay))
    {
        return ERROR;
    }
    if (ticks < 0)
    {
        return Fail(EINVAL);
    }
    if (ticks == 0)
    {
        const Platform::CCancellationPoint cancellationPoint;
        pthread_testcancel();
        (void)sched_yield();
        return OK;
    }
    const timespec deadline = Platform::GetDeadline(CLOCK_MONOTONIC, ticks);
    const Platform::CCancellationPoint cancellationPoint;
    int result = 0;
    do
    {
        result = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
    } while (result == EINTR);
    return (result == 0) ? OK : Fail(result);
}

extern "C" void taskExit(int code)
{
    (void)code;
    // In a spawned task this unwinds its stack and frees its slot; in the initial task it ends only that
    // thread, and the process lives on in its tasks.
    pthread_exit(nullptr);
}

extern "C" STATUS taskDelete(TASK_ID tid)
{
    if (Platform::TryFail(Platform::FaultTaskDelete))
    {
        return ERROR;
    }
    if ((tid == 0) || ((currentTask != nullptr) && (FindTask(tid) == currentTask)))
    {
        taskExit(0);
    }
    std::unique_lock<std::mutex> lock(tableMutex);
    CTask* task = FindTask(tid);
    if (task == nullptr)
    {
        return Fail(ESRCH);
    }
    if (!task->m_deleting)
    {
        task->m_deleting = true;
        (void)pthread_cancel(task->m_thread);
    }
    // Returns once the task has ended: whoever deletes it may then free what it used.
    GetTaskEnded().wait(lock, [tid] { return FindTask(tid) == nullptr; });
    return OK;
}

extern "C" int sysClkRateGet(void)
{
    return Platform::GetTickRate();
}

extern "C" int clockGetTime(clockid_t clockId, struct timespec* timeValue)
{
    if (Platform::TryFail(Platform::FaultClockGetTime))
    {
        return -1;
    }
    if (timeValue == nullptr)
    {
        return Fail(EFAULT);
    }
    return Platform::ReadClock(clockId, timeValue);
}
