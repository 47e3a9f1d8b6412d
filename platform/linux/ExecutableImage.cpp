// Reading the running executable's own file for the start-up self-verification.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "PlatformErrors.h"
#include "imageLib.h"

namespace
{
// Opened on first use and kept: the verification reads the file once, chunk by chunk, at start-up.
std::atomic<int> executableDescriptor{-1};

int GetExecutableDescriptor()
{
    int descriptor = executableDescriptor.load();
    if (descriptor >= 0)
    {
        return descriptor;
    }
    descriptor = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        return -1;
    }
    int expected = -1;
    if (!executableDescriptor.compare_exchange_strong(expected, descriptor))
    {
        (void)close(descriptor);
        return expected;
    }
    return descriptor;
}
} // namespace

extern "C" ssize_t imageReadExecutable(uint64_t offset, void* buffer, size_t length)
{
    if (buffer == nullptr)
    {
        return Platform::Fail(EINVAL);
    }
    const int descriptor = GetExecutableDescriptor();
    if (descriptor < 0)
    {
        return Platform::Fail(errno);
    }
    ssize_t count = -1;
    do
    {
        count = pread(descriptor, buffer, length, static_cast<off_t>(offset));
    } while ((count < 0) && (errno == EINTR));
    return (count < 0) ? Platform::Fail(errno) : count;
}
