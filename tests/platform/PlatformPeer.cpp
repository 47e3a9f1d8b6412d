// A second process for the platform tests: takes the other side of semaphores, conditions, queues and tasks.
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sched.h>
#include <string>
#include <unistd.h>

#include "Scm/ScmKernel.h"
#include "msgQLib.h"
#include "semLib.h"
#include "taskLib.h"

namespace
{
std::uint32_t ToNumber(const char* text)
{
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 0));
}

std::uint16_t ToDomain(const char* text)
{
    return static_cast<std::uint16_t>(ToNumber(text));
}

int Give(const char* name)
{
    SEM_ID semaphore = semOpen(name, SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    return ((semaphore != nullptr) && (semGive(semaphore) == OK)) ? 0 : 1;
}

int Take(const char* name, int timeout)
{
    SEM_ID semaphore = semOpen(name, SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    return ((semaphore != nullptr) && (semTake(semaphore, timeout) == OK)) ? 0 : 1;
}

int WaitCondition(std::uint16_t domain, std::uint32_t condition)
{
    std::uint32_t information = 0u;
    if (ScmWaitForCondition(domain, condition, &information) != 0)
    {
        return 1;
    }
    std::printf("%u\n", static_cast<unsigned>(information));
    return 0;
}

// Opens the queue count times and prints "ok" or the errno of each attempt.
int OpenQueue(const char* name, int count)
{
    for (int i = 0; i < count; ++i)
    {
        MSG_Q_ID queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
        if (queue == nullptr)
        {
            std::printf("errno=%d\n", errno);
        }
        else
        {
            std::printf("ok\n");
            (void)msgQDelete(queue);
        }
    }
    return 0;
}

int Send(const char* name, const char* text)
{
    MSG_Q_ID queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    return ((queue != nullptr) && (msgQSend(queue, text, std::strlen(text), NO_WAIT, MSG_PRI_NORMAL) == OK)) ? 0 : 1;
}

std::atomic<bool> taskFinished{false};

int FinishLater(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    (void)taskDelay(sysClkRateGet() / 5);
    std::printf("task finished\n");
    std::fflush(stdout);
    return 0;
}

// The initial task ends; the process must live on until the spawned task has printed.
int ExitInitialTask()
{
    if (taskSpawn("later", 100, 0, 0u, FinishLater, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR)
    {
        return 1;
    }
    taskExit(0);
    return 1;
}

int ReportPolicy(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                 _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    sched_param parameter{};
    const int policy = sched_getscheduler(0);
    (void)sched_getparam(0, &parameter);
    std::printf("policy=%s priority=%d\n", (policy == SCHED_FIFO) ? "fifo" : "other", parameter.sched_priority);
    taskFinished = true;
    return 0;
}

int SpawnAndReportPolicy(int priority, bool asNobody)
{
    constexpr uid_t Nobody = 65534;
    if (asNobody && (setuid(Nobody) != 0))
    {
        return 3;
    }
    if (taskSpawn("policy", priority, 0, 0u, ReportPolicy, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR)
    {
        std::printf("spawn failed errno=%d\n", errno);
        return 1;
    }
    while (!taskFinished)
    {
        (void)taskDelay(1);
    }
    return 0;
}

int PrintClocks()
{
    timespec realtime{};
    (void)clockGetTime(CLOCK_REALTIME, &realtime);
    std::printf("usec=%llu realtime=%lld rate=%d\n", static_cast<unsigned long long>(ScmGetUSecCounter()),
                static_cast<long long>(realtime.tv_sec), sysClkRateGet());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string command = (argc > 1) ? argv[1] : "";
    if ((command == "give") && (argc == 3))
    {
        return Give(argv[2]);
    }
    if ((command == "take") && (argc == 4))
    {
        return Take(argv[2], static_cast<int>(std::strtol(argv[3], nullptr, 0)));
    }
    if ((command == "set-condition") && (argc == 5))
    {
        return (ScmSetCondition(ToDomain(argv[2]), ToNumber(argv[3]), ToNumber(argv[4])) == 0) ? 0 : 1;
    }
    if ((command == "wait-condition") && (argc == 4))
    {
        return WaitCondition(ToDomain(argv[2]), ToNumber(argv[3]));
    }
    if ((command == "lock-reset") && (argc == 3))
    {
        return (ScmLockReset(ToDomain(argv[2])) == 0) ? 0 : 1;
    }
    if ((command == "open-queue") && (argc == 4))
    {
        return OpenQueue(argv[2], static_cast<int>(ToNumber(argv[3])));
    }
    if ((command == "send") && (argc == 4))
    {
        return Send(argv[2], argv[3]);
    }
    if (command == "exit-initial-task")
    {
        return ExitInitialTask();
    }
    if ((command == "task-policy") && (argc >= 3))
    {
        return SpawnAndReportPolicy(static_cast<int>(ToNumber(argv[2])),
                                    (argc == 4) && (std::strcmp(argv[3], "nobody") == 0));
    }
    if (command == "clocks")
    {
        return PrintClocks();
    }
    std::fprintf(stderr, "usage: platform-test-peer give|take|set-condition|wait-condition|lock-reset|open-queue|send|"
                         "exit-initial-task|task-policy|clocks ...\n");
    return 2;
}
