// The emulated kernel's services other than storage: identity, conditions, reset lock, PLC reset, flash.
#include "KernelServices.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "CCancellationPoint.h"
#include "KernelFiles.h"
#include "PlatformErrors.h"

namespace Platform
{
namespace
{
constexpr long ConditionPollNanoseconds = 2000000;
constexpr std::size_t UdidLength = 6u;

int FailKernel(int osError)
{
    return Fail(TranslateKernelFileError(osError));
}

int GetHexDigitValue(char c)
{
    if ((c >= '0') && (c <= '9'))
    {
        return c - '0';
    }
    if ((c >= 'a') && (c <= 'f'))
    {
        return c - 'a' + 10;
    }
    if ((c >= 'A') && (c <= 'F'))
    {
        return c - 'A' + 10;
    }
    return -1;
}

int ReadProcessDomainNumber(const char* entry, std::uint32_t* value)
{
    if (value == nullptr)
    {
        return Fail(EFAULT);
    }
    const std::uint16_t domain = GetProcessDomain();
    if (domain == 0u)
    {
        return Fail(ESRCH);
    }
    const CDomainDirectory directory(domain, nullptr);
    std::uint64_t number = 0u;
    if (!directory.IsOpen() || !ReadUnsignedFileAt(directory.Get(), entry, UINT32_MAX, &number))
    {
        return FailKernel(errno);
    }
    *value = static_cast<std::uint32_t>(number);
    return OK;
}

bool FormatConditionName(std::uint32_t condition, char (&name)[16])
{
    return FormatText(name, sizeof(name), "%u", static_cast<unsigned>(condition));
}

// Takes the lock without blocking: only the checker changes the count, so a lock held for longer than a few
// polls is held by someone who should not, and must not stall the check task.
bool LockFileBriefly(int descriptor)
{
    constexpr int AttemptsMax = 50;
    constexpr long PauseNanoseconds = 100000;
    for (int attempt = 0; attempt < AttemptsMax; ++attempt)
    {
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        {
            return true;
        }
        if ((errno != EWOULDBLOCK) && (errno != EINTR))
        {
            return false;
        }
        const timespec pause{0, PauseNanoseconds};
        (void)nanosleep(&pause, nullptr);
    }
    errno = EWOULDBLOCK;
    return false;
}

// Runs change(count) on the domain's reset lock count under an exclusive lock of its file, so that the
// processes of a domain count together.
template <typename Change> int ChangeResetLock(std::uint16_t domain, Change change)
{
    const CDomainDirectory directory(domain, nullptr);
    if (!directory.IsOpen())
    {
        return FailKernel(errno);
    }
    // The count's file exists from the domain's first lock on: opened as it is, created only when missing.
    int descriptor = OpenRegularFileAt(directory.Get(), "reset-lock", O_RDWR, 0);
    if ((descriptor < 0) && (errno == ENOENT))
    {
        descriptor = OpenRegularFileAt(directory.Get(), "reset-lock", O_RDWR | O_CREAT, KernelFileMode);
    }
    if (descriptor < 0)
    {
        return FailKernel(errno);
    }
    int result = ERROR;
    if (LockFileBriefly(descriptor))
    {
        char text[32] = {};
        const ssize_t count = pread(descriptor, text, sizeof(text) - 1u, 0);
        std::uint64_t value = 0u;
        if ((count > 0) && !ParseUnsignedText(text, UINT32_MAX, &value))
        {
            value = 0u;
        }
        std::uint32_t lockCount = static_cast<std::uint32_t>(value);
        if (change(lockCount))
        {
            // Written before the cut, so that a reader without the lock never meets an empty file; cut only
            // when the text became shorter than what the file held.
            const int length = std::snprintf(text, sizeof(text), "%u\n", static_cast<unsigned>(lockCount));
            const bool cut = (count < 0) || (count > static_cast<ssize_t>(length));
            result = ((pwrite(descriptor, text, static_cast<std::size_t>(length), 0) == length) &&
                      (!cut || (ftruncate(descriptor, length) == 0)))
                         ? OK
                         : FailKernel(errno);
        }
    }
    else
    {
        (void)FailKernel(errno);
    }
    const int error = errno;
    (void)close(descriptor);
    errno = error;
    return result;
}
} // namespace

int GetCpuProductCode(std::uint32_t* value)
{
    return ReadProcessDomainNumber("cpu-product-code", value);
}

int GetCpuSerialNumber(std::uint32_t* value)
{
    return ReadProcessDomainNumber("cpu-serial-number", value);
}

int RequestKelUdid(std::uint16_t domain, std::uint8_t* udid)
{
    if (udid == nullptr)
    {
        return Fail(EFAULT);
    }
    const CDomainDirectory directory(domain, nullptr);
    if (!directory.IsOpen())
    {
        return FailKernel(errno);
    }
    char text[40];
    std::size_t fileLength = 0u;
    const ssize_t count = ReadFileAt(directory.Get(), "kel-udid", text, sizeof(text) - 1u, &fileLength);
    if (count < 0)
    {
        return FailKernel(errno);
    }
    text[count] = '\0';
    std::uint8_t bytes[UdidLength] = {};
    std::size_t digits = 0u;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if ((*p == ' ') || (*p == '\n') || (*p == '\r') || (*p == '\t'))
        {
            continue;
        }
        const int digit = GetHexDigitValue(*p);
        if ((digits == 2u * UdidLength) || (digit < 0))
        {
            return Fail(EINVAL);
        }
        bytes[digits / 2u] = static_cast<std::uint8_t>((bytes[digits / 2u] << 4) | digit);
        ++digits;
    }
    if (digits != 2u * UdidLength)
    {
        return Fail(EINVAL);
    }
    for (std::size_t i = 0u; i < UdidLength; ++i)
    {
        udid[i] = bytes[i];
    }
    return OK;
}

int LockReset(std::uint16_t domain)
{
    return ChangeResetLock(domain,
                           [](std::uint32_t& count)
                           {
                               if (count == UINT32_MAX)
                               {
                                   errno = EOVERFLOW;
                                   return false;
                               }
                               ++count;
                               return true;
                           });
}

int UnlockReset(std::uint16_t domain)
{
    return ChangeResetLock(domain,
                           [](std::uint32_t& count)
                           {
                               if (count == 0u)
                               {
                                   // Releasing a lock that nobody holds is the caller's fault, not a no-op.
                                   errno = EPERM;
                                   return false;
                               }
                               --count;
                               return true;
                           });
}

int GetResetLockCount(std::uint16_t domain, std::uint32_t* count)
{
    if (count == nullptr)
    {
        return Fail(EFAULT);
    }
    const CDomainDirectory directory(domain, nullptr);
    if (!directory.IsOpen())
    {
        return FailKernel(errno);
    }
    std::uint64_t value = 0u;
    if (!ReadUnsignedFileAt(directory.Get(), "reset-lock", UINT32_MAX, &value))
    {
        if (errno != ENOENT)
        {
            return FailKernel(errno);
        }
        value = 0u;
    }
    *count = static_cast<std::uint32_t>(value);
    return OK;
}

int SetCondition(std::uint16_t domain, std::uint32_t condition, std::uint32_t information)
{
    const CDomainDirectory directory(domain, "conditions");
    char name[16];
    if (!directory.IsOpen() || !FormatConditionName(condition, name))
    {
        return FailKernel(errno);
    }
    char text[16];
    const int length = std::snprintf(text, sizeof(text), "%u\n", static_cast<unsigned>(information));
    // Replaced atomically: a waiter in another process reads the whole value or finds no file.
    return WriteFileAtomicallyAt(directory.Get(), name, text, static_cast<std::size_t>(length), KernelFileMode)
               ? OK
               : FailKernel(errno);
}

int ClearCondition(std::uint16_t domain, std::uint32_t condition)
{
    const CDomainDirectory directory(domain, "conditions");
    char name[16];
    if (!directory.IsOpen() || !FormatConditionName(condition, name))
    {
        return FailKernel(errno);
    }
    return ((unlinkat(directory.Get(), name, 0) == 0) || (errno == ENOENT)) ? OK : FailKernel(errno);
}

int GetCondition(std::uint16_t domain, std::uint32_t condition, std::uint32_t* information)
{
    const CDomainDirectory directory(domain, "conditions");
    char name[16];
    std::uint64_t value = 0u;
    if (!directory.IsOpen() || !FormatConditionName(condition, name) ||
        !ReadUnsignedFileAt(directory.Get(), name, UINT32_MAX, &value))
    {
        return FailKernel(errno);
    }
    if (information != nullptr)
    {
        *information = static_cast<std::uint32_t>(value);
    }
    return OK;
}

int WaitForCondition(std::uint16_t domain, std::uint32_t condition, int timeoutMilliseconds, std::uint32_t* information)
{
    if (information == nullptr)
    {
        return Fail(EFAULT);
    }
    timespec start{};
    (void)clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;)
    {
        if (GetCondition(domain, condition, information) == OK)
        {
            return OK;
        }
        if (errno != ENOENT)
        {
            return ERROR;
        }
        // A domain torn down while we wait ends the wait.
        if (!CheckDomainExists(domain))
        {
            return ERROR;
        }
        if (timeoutMilliseconds >= 0)
        {
            timespec now{};
            (void)clock_gettime(CLOCK_MONOTONIC, &now);
            const long long elapsed =
                (static_cast<long long>(now.tv_sec) - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
            if (elapsed >= timeoutMilliseconds)
            {
                return Fail(ETIMEDOUT);
            }
        }
        const timespec pause{0, ConditionPollNanoseconds};
        const CCancellationPoint cancellationPoint;
        (void)nanosleep(&pause, nullptr);
    }
}

int ResetPlc(std::uint32_t mode)
{
    const std::uint16_t domain = GetProcessDomain();
    if (domain == 0u)
    {
        return Fail(ESRCH);
    }
    std::uint32_t lockCount = 0u;
    (void)GetResetLockCount(domain, &lockCount);
    const CDomainDirectory directory(domain, nullptr);
    if (!directory.IsOpen())
    {
        return FailKernel(errno);
    }
    char line[64];
    const int length = std::snprintf(line, sizeof(line), "mode=%u reset-lock=%u\n", static_cast<unsigned>(mode),
                                     static_cast<unsigned>(lockCount));
    const int descriptor =
        OpenRegularFileAt(directory.Get(), "plc-resets", O_WRONLY | O_APPEND | O_CREAT, KernelFileMode);
    if (descriptor < 0)
    {
        return FailKernel(errno);
    }
    const bool written = write(descriptor, line, static_cast<std::size_t>(length)) == length;
    const int error = errno;
    (void)close(descriptor);
    return written ? OK : FailKernel(error);
}

int ReadKelFlashFile(std::uint16_t domain, std::uint32_t fileNumber, std::uint32_t dataLengthMax, void* data,
                     std::int32_t* result)
{
    if ((result == nullptr) || ((data == nullptr) && (dataLengthMax != 0u)))
    {
        return Fail(EFAULT);
    }
    const CDomainDirectory directory(domain, "kel-flash");
    char name[16];
    if (!directory.IsOpen() || !FormatText(name, sizeof(name), "%u", static_cast<unsigned>(fileNumber)))
    {
        return FailKernel(errno);
    }
    std::size_t fileLength = 0u;
    if (ReadFileAt(directory.Get(), name, data, dataLengthMax, &fileLength) < 0)
    {
        return FailKernel(errno);
    }
    if (fileLength > static_cast<std::size_t>(INT32_MAX))
    {
        return Fail(EFBIG);
    }
    // The whole file's length, also when only a part fitted: the caller sees that the file was longer.
    *result = static_cast<std::int32_t>(fileLength);
    return OK;
}
} // namespace Platform
