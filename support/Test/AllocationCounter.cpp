// Preloaded into a checker started by a test: counts heap allocations by thread and reports them on SIGUSR1.
//
// The initial thread's allocations are start-up; once it has called pthread_exit, what it still allocates is
// its own end (thread teardown). Every allocation of any other thread (the check task, the timeout task) is
// an allocation at run time. On SIGUSR1 the counts are written to the file named by SCM_ALLOCATION_REPORT as
// "startup=N initial_exit=N tasks=N".
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C"
{
    void* __libc_malloc(std::size_t size);
    void* __libc_calloc(std::size_t count, std::size_t size);
    void* __libc_realloc(void* pointer, std::size_t size);
    void* __libc_memalign(std::size_t alignment, std::size_t size);
    void __libc_free(void* pointer);
}

namespace
{
std::atomic<std::uint64_t> startupCount{0u};
std::atomic<std::uint64_t> initialExitCount{0u};
std::atomic<std::uint64_t> taskCount{0u};
std::atomic<bool> initialEnded{false};
const char* reportPath = nullptr;

// The initial thread's id is the process id; asked each time, since libraries allocate before any constructor
// of this one has run.
bool IsInitialThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

void Count()
{
    if (!IsInitialThread())
    {
        taskCount.fetch_add(1u);
    }
    else if (initialEnded.load())
    {
        initialExitCount.fetch_add(1u);
    }
    else
    {
        startupCount.fetch_add(1u);
    }
}

// Async-signal-safe decimal formatting.
char* AppendNumber(char* out, std::uint64_t value)
{
    char digits[24];
    int count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + (value % 10u));
        value /= 10u;
    } while (value != 0u);
    while (count > 0)
    {
        *out++ = digits[--count];
    }
    return out;
}

char* AppendText(char* out, const char* text)
{
    while (*text != '\0')
    {
        *out++ = *text++;
    }
    return out;
}

void WriteReport(int)
{
    if (reportPath == nullptr)
    {
        return;
    }
    char line[128];
    char* end = AppendText(line, "startup=");
    end = AppendNumber(end, startupCount.load());
    end = AppendText(end, " initial_exit=");
    end = AppendNumber(end, initialExitCount.load());
    end = AppendText(end, " tasks=");
    end = AppendNumber(end, taskCount.load());
    *end++ = '\n';
    const int file = open(reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file >= 0)
    {
        (void)!write(file, line, static_cast<std::size_t>(end - line));
        (void)close(file);
    }
}

__attribute__((constructor)) void InstallReport()
{
    reportPath = std::getenv("SCM_ALLOCATION_REPORT");
    struct sigaction action = {};
    action.sa_handler = WriteReport;
    action.sa_flags = SA_RESTART;
    (void)sigaction(SIGUSR1, &action, nullptr);
}
} // namespace

extern "C"
{
    void* malloc(std::size_t size)
    {
        Count();
        return __libc_malloc(size);
    }

    void* calloc(std::size_t count, std::size_t size)
    {
        Count();
        return __libc_calloc(count, size);
    }

    void* realloc(void* pointer, std::size_t size)
    {
        Count();
        return __libc_realloc(pointer, size);
    }

    void free(void* pointer)
    {
        __libc_free(pointer);
    }

    void* memalign(std::size_t alignment, std::size_t size)
    {
        Count();
        return __libc_memalign(alignment, size);
    }

    void* aligned_alloc(std::size_t alignment, std::size_t size)
    {
        Count();
        return __libc_memalign(alignment, size);
    }

    int posix_memalign(void** pointer, std::size_t alignment, std::size_t size)
    {
        Count();
        if ((alignment % sizeof(void*)) != 0u || (alignment & (alignment - 1u)) != 0u)
        {
            return 22; // EINVAL
        }
        void* allocated = __libc_memalign(alignment, size);
        if (allocated == nullptr)
        {
            return 12; // ENOMEM
        }
        *pointer = allocated;
        return 0;
    }

    void* valloc(std::size_t size)
    {
        Count();
        return __libc_memalign(static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), size);
    }

    [[noreturn]] void pthread_exit(void* value)
    {
        using PthreadExit = void (*)(void*);
        static PthreadExit real = nullptr;
        if (real == nullptr)
        {
            real = reinterpret_cast<PthreadExit>(dlsym(RTLD_NEXT, "pthread_exit"));
        }
        if (IsInitialThread())
        {
            initialEnded.store(true);
        }
        real(value);
        std::abort();
    }
}
