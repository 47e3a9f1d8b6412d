// A process for the tests of processLib.h and of the controls, built against each build of the platform layer:
// reports which environment the build accepts, what processHarden did, and what the controls change.
#include <linux/capability.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "processLib.h"
#include "taskLib.h"

namespace
{
constexpr std::int64_t NanosecondsPerSecond = 1000000000;

int CheckEnvironment()
{
    if (processCheckEnvironment() == OK)
    {
        std::printf("accepted\n");
    }
    else
    {
        std::printf("refused errno=%d\n", errno);
    }
    return 0;
}

// Takes away what real-time provisions need: the limits, and the capabilities that would override them. Runs
// before any thread exists, so that processHarden's probe inherits it.
bool DropRealTimeRights()
{
    const rlimit none{0u, 0u};
    if ((setrlimit(RLIMIT_RTPRIO, &none) != 0) || (setrlimit(RLIMIT_MEMLOCK, &none) != 0))
    {
        return false;
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
    {
        return false;
    }
    for (const unsigned capability : {static_cast<unsigned>(CAP_SYS_NICE), static_cast<unsigned>(CAP_IPC_LOCK)})
    {
        data[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        data[CAP_TO_INDEX(capability)].permitted &= ~CAP_TO_MASK(capability);
    }
    return syscall(SYS_capset, &header, data) == 0;
}

std::string FormatLimit(rlim_t limit)
{
    return (limit == RLIM_INFINITY) ? std::string("unlimited") : std::to_string(limit);
}

long ReadLockedKibibytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind("VmLck:", 0u) == 0u)
        {
            return std::stol(line.substr(6u));
        }
    }
    return -1;
}

int Harden(bool withoutRights)
{
    if (withoutRights && !DropRealTimeRights())
    {
        std::printf("cannot drop rights errno=%d\n", errno);
        return 1;
    }
    const unsigned refused = processHarden();
    rlimit core{};
    (void)getrlimit(RLIMIT_CORE, &core);
    std::printf("refused=%u dumpable=%d core=%s/%s locked=%s\n", refused, prctl(PR_GET_DUMPABLE, 0, 0, 0, 0),
                FormatLimit(core.rlim_cur).c_str(), FormatLimit(core.rlim_max).c_str(),
                (ReadLockedKibibytes() > 0) ? "yes" : "no");
    return 0;
}

std::int64_t ToNanoseconds(const timespec& value)
{
    return static_cast<std::int64_t>(value.tv_sec) * NanosecondsPerSecond + value.tv_nsec;
}

std::atomic<int> taskPolicy{-1};

int RecordPolicy(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                 _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    taskPolicy = sched_getscheduler(0);
    return 0;
}

// What the test controls of the environment and the domain's clock file change here: the first clock reading
// (a fault rule may fail it), the monotonic clock against the system's, whether it advances, the tick rate and
// the scheduling of a task.
int ReportControls()
{
    timespec first{};
    const int firstResult = clockGetTime(CLOCK_MONOTONIC, &first);
    const int firstError = errno;
    timespec controlled{};
    timespec system{};
    (void)clockGetTime(CLOCK_MONOTONIC, &controlled);
    (void)clock_gettime(CLOCK_MONOTONIC, &system);
    const std::int64_t shift = ToNanoseconds(controlled) - ToNanoseconds(system);
    const timespec pause{0, 20000000};
    (void)nanosleep(&pause, nullptr);
    timespec later{};
    (void)clockGetTime(CLOCK_MONOTONIC, &later);
    if (taskSpawn("policy", 0, 0, 0u, RecordPolicy, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR)
    {
        return 1;
    }
    while (taskPolicy.load() < 0)
    {
        (void)sched_yield();
    }
    const std::string firstReading = (firstResult == 0) ? std::string("ok") : "errno=" + std::to_string(firstError);
    // Rounded to whole seconds: the readings lie microseconds apart.
    std::printf("first=%s shift-s=%lld advancing=%s rate=%d policy=%s\n", firstReading.c_str(),
                static_cast<long long>((shift + NanosecondsPerSecond / 2) / NanosecondsPerSecond),
                (ToNanoseconds(later) > ToNanoseconds(controlled)) ? "yes" : "no", sysClkRateGet(),
                (taskPolicy.load() == SCHED_FIFO) ? "fifo" : "other");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string command = (argc > 1) ? argv[1] : "";
    if (command == "environment")
    {
        return CheckEnvironment();
    }
    if (command == "harden")
    {
        return Harden((argc > 2) && (std::strcmp(argv[2], "without-rights") == 0));
    }
    if (command == "controls")
    {
        return ReportControls();
    }
    std::fprintf(stderr, "usage: platform-process-peer environment|harden [without-rights]|controls\n");
    return 2;
}
