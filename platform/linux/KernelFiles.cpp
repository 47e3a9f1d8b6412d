// Paths and small-file helpers of the emulated kernel: root, domain directories, safe opens, atomic replacement.
#include "KernelFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <ftw.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform
{
namespace
{
std::atomic<std::uint16_t> processDomain{0u};
std::atomic<std::uint64_t> fallbackCounter{0u};

std::uint16_t ParseDomainNumber(const char* text)
{
    if ((text == nullptr) || (*text == '\0'))
    {
        return 0u;
    }
    std::uint32_t number = 0u;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if ((*p < '0') || (*p > '9'))
        {
            return 0u;
        }
        number = number * 10u + static_cast<std::uint32_t>(*p - '0');
        if (number > SafetyDomainNumberMax)
        {
            return 0u;
        }
    }
    return static_cast<std::uint16_t>(number);
}

int RemoveEntry(const char* path, const struct stat* /*status*/, int /*flag*/, struct FTW* /*walk*/)
{
    return (remove(path) == 0) ? 0 : -1;
}

int CloseAndFail(int descriptor, int error)
{
    (void)close(descriptor);
    errno = error;
    return -1;
}

std::uint64_t MixBits(std::uint64_t value)
{
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9u;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

// From the kernel's random source; should it ever fail, a mix of the clock, the process and a counter still
// keeps names apart, and O_EXCL keeps a guessed name harmless.
std::uint64_t GetRandomNumber()
{
    std::uint64_t value = 0u;
    if (getrandom(&value, sizeof(value), GRND_NONBLOCK) == static_cast<ssize_t>(sizeof(value)))
    {
        return value;
    }
    timespec now{};
    (void)clock_gettime(CLOCK_MONOTONIC, &now);
    return MixBits(static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 32) ^
                   (static_cast<std::uint64_t>(getpid()) << 48) ^ MixBits(fallbackCounter.fetch_add(1u)));
}

bool WriteAll(int descriptor, const void* data, std::size_t length)
{
    const char* bytes = static_cast<const char*>(data);
    while (length > 0u)
    {
        const ssize_t written = write(descriptor, bytes, length);
        if (written < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return false;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}
} // namespace

bool FormatText(char* buffer, std::size_t length, const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    const int needed = std::vsnprintf(buffer, length, format, arguments);
    va_end(arguments);
    if ((needed < 0) || (static_cast<std::size_t>(needed) >= length))
    {
        errno = ENAMETOOLONG;
        return false;
    }
    return true;
}

bool GetKernelRoot(char* buffer, std::size_t length)
{
    const char* root = std::getenv("SCM_KERNEL_ROOT");
    if ((root == nullptr) || (*root == '\0'))
    {
        root = SCM_KERNEL_DEFAULT_ROOT;
    }
    return FormatText(buffer, length, "%s", root);
}

bool GetDomainPath(std::uint16_t domain, const char* entry, char* buffer, std::size_t length)
{
    if ((domain < 1u) || (domain > SafetyDomainNumberMax))
    {
        errno = EINVAL;
        return false;
    }
    char root[KernelPathLengthMax];
    if (!GetKernelRoot(root, sizeof(root)))
    {
        return false;
    }
    if (entry == nullptr)
    {
        return FormatText(buffer, length, "%s/scm%04u", root, static_cast<unsigned>(domain));
    }
    return FormatText(buffer, length, "%s/scm%04u/%s", root, static_cast<unsigned>(domain), entry);
}

int OpenDomainDirectory(std::uint16_t domain, const char* folder)
{
    char path[KernelPathLengthMax];
    if (!GetDomainPath(domain, nullptr, path, sizeof(path)))
    {
        return -1;
    }
    struct stat status
    {
    };
    const int descriptor = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
    {
        if ((errno == ENOTDIR) && (lstat(path, &status) == 0) && S_ISLNK(status.st_mode))
        {
            errno = ELOOP;
        }
        return -1;
    }
    if (fstat(descriptor, &status) != 0)
    {
        return CloseAndFail(descriptor, errno);
    }
    // Whoever may write this directory decides which file is which: only root and the process's own user.
    if (((status.st_uid != 0u) && (status.st_uid != geteuid())) || ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0u))
    {
        return CloseAndFail(descriptor, EPERM);
    }
    if (folder == nullptr)
    {
        return descriptor;
    }
    const int folderDescriptor = openat(descriptor, folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    int error = errno;
    if ((folderDescriptor < 0) && (error == ENOTDIR) &&
        (fstatat(descriptor, folder, &status, AT_SYMLINK_NOFOLLOW) == 0))
    {
        error = S_ISLNK(status.st_mode) ? ELOOP : ENOTDIR;
    }
    (void)close(descriptor);
    errno = error;
    return folderDescriptor;
}

CDomainDirectory::~CDomainDirectory()
{
    if (m_descriptor >= 0)
    {
        (void)close(m_descriptor);
    }
}

bool CheckDomainExists(std::uint16_t domain)
{
    const CDomainDirectory directory(domain, nullptr);
    return directory.IsOpen();
}

std::uint16_t GetProcessDomain()
{
    const std::uint16_t domain = processDomain.load();
    return (domain != 0u) ? domain : ParseDomainNumber(std::getenv("SafetyDomainNumber"));
}

void SetProcessDomain(std::uint16_t domain)
{
    processDomain.store((domain <= SafetyDomainNumberMax) ? domain : 0u);
}

bool IsValidStorageName(const char* name)
{
    if ((name == nullptr) || (name[0] == '\0') || (name[0] == '.'))
    {
        return false;
    }
    std::size_t length = 0u;
    for (const char* p = name; *p != '\0'; ++p)
    {
        const char c = *p;
        const bool allowed = ((c >= 'a') && (c <= 'z')) || ((c >= 'A') && (c <= 'Z')) || ((c >= '0') && (c <= '9')) ||
                             (c == '.') || (c == '_') || (c == '-');
        ++length;
        if (!allowed || (length > StorageNameLengthMax))
        {
            return false;
        }
    }
    return true;
}

int OpenRegularFileAt(int directory, const char* name, int flags, mode_t mode)
{
    constexpr int SafeFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    if ((flags & O_CREAT) != 0)
    {
        // Created here, the file gets its mode explicitly; one that exists is opened as it is below.
        const int descriptor = openat(directory, name, flags | O_EXCL | SafeFlags, mode);
        if (descriptor >= 0)
        {
            return (fchmod(descriptor, mode) == 0) ? descriptor : CloseAndFail(descriptor, errno);
        }
        if ((errno != EEXIST) || ((flags & O_EXCL) != 0))
        {
            return -1;
        }
    }
    const int descriptor = openat(directory, name, (flags & ~O_CREAT) | SafeFlags);
    if (descriptor < 0)
    {
        // A FIFO without a reader or a device without its driver refuses a non-blocking open for writing: it
        // is no regular file either way.
        errno = (errno == ENXIO) ? EINVAL : errno;
        return -1;
    }
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0)
    {
        return CloseAndFail(descriptor, errno);
    }
    if (!S_ISREG(status.st_mode))
    {
        return CloseAndFail(descriptor, EINVAL);
    }
    return descriptor;
}

mode_t GetStorageMode(const char* name)
{
    constexpr char Suffix[] = ".chk";
    constexpr std::size_t SuffixLength = sizeof(Suffix) - 1u;
    const std::size_t length = std::strlen(name);
    const bool checkerCopy = (length > SuffixLength) && (std::strcmp(name + length - SuffixLength, Suffix) == 0);
    return checkerCopy ? CheckerCopyMode : ScmStorageMode;
}

ssize_t ReadFileAt(int directory, const char* name, void* buffer, std::size_t length, std::size_t* fileLength)
{
    const int descriptor = OpenRegularFileAt(directory, name, O_RDONLY, 0);
    if (descriptor < 0)
    {
        return -1;
    }
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0)
    {
        return CloseAndFail(descriptor, errno);
    }
    std::size_t copied = 0u;
    char* bytes = static_cast<char*>(buffer);
    while (copied < length)
    {
        const ssize_t count = read(descriptor, bytes + copied, length - copied);
        if (count < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return CloseAndFail(descriptor, errno);
        }
        if (count == 0)
        {
            break;
        }
        copied += static_cast<std::size_t>(count);
    }
    (void)close(descriptor);
    if (fileLength != nullptr)
    {
        *fileLength = static_cast<std::size_t>(status.st_size);
    }
    return static_cast<ssize_t>(copied);
}

ssize_t ReadFileInto(const char* path, void* buffer, std::size_t length, std::size_t* fileLength)
{
    return ReadFileAt(AT_FDCWD, path, buffer, length, fileLength);
}

int CreateTemporaryFileAt(int directory, const char* name, mode_t mode, char (&temporaryName)[TemporaryNameLengthMax])
{
    // A name taken by someone else (planted, or a racing writer) is never opened: O_EXCL fails and the next
    // random name is tried.
    constexpr int AttemptsMax = 8;
    for (int attempt = 0; attempt < AttemptsMax; ++attempt)
    {
        if (!FormatText(temporaryName, sizeof(temporaryName), ".%s.%016llx", name,
                        static_cast<unsigned long long>(GetRandomNumber())))
        {
            return -1;
        }
        const int descriptor =
            openat(directory, temporaryName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor >= 0)
        {
            if (fchmod(descriptor, mode) != 0)
            {
                const int error = errno;
                (void)unlinkat(directory, temporaryName, 0);
                return CloseAndFail(descriptor, error);
            }
            return descriptor;
        }
        if (errno != EEXIST)
        {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

bool WriteFileAtomicallyAt(int directory, const char* name, const void* data, std::size_t length, mode_t mode)
{
    char temporary[TemporaryNameLengthMax];
    const int descriptor = CreateTemporaryFileAt(directory, name, mode, temporary);
    if (descriptor < 0)
    {
        return false;
    }
    const bool written = WriteAll(descriptor, data, length) && (fsync(descriptor) == 0);
    int error = errno;
    if ((close(descriptor) != 0) && written)
    {
        error = errno;
    }
    if (!written || (renameat(directory, temporary, directory, name) != 0))
    {
        error = written ? errno : error;
        (void)unlinkat(directory, temporary, 0);
        errno = error;
        return false;
    }
    (void)fsync(directory);
    return true;
}

bool ParseUnsignedText(const char* text, std::uint64_t max, std::uint64_t* value)
{
    const char* p = text;
    while ((*p == ' ') || (*p == '\t') || (*p == '\n') || (*p == '\r'))
    {
        ++p;
    }
    std::uint64_t base = 10u;
    if ((p[0] == '0') && ((p[1] == 'x') || (p[1] == 'X')))
    {
        base = 16u;
        p += 2;
    }
    std::uint64_t result = 0u;
    std::size_t digits = 0u;
    for (; *p != '\0'; ++p)
    {
        std::uint64_t digit = 0u;
        if ((*p >= '0') && (*p <= '9'))
        {
            digit = static_cast<std::uint64_t>(*p - '0');
        }
        else if ((base == 16u) && (*p >= 'a') && (*p <= 'f'))
        {
            digit = static_cast<std::uint64_t>(*p - 'a' + 10);
        }
        else if ((base == 16u) && (*p >= 'A') && (*p <= 'F'))
        {
            digit = static_cast<std::uint64_t>(*p - 'A' + 10);
        }
        else
        {
            break;
        }
        if ((digit > max) || (result > (max - digit) / base))
        {
            return false;
        }
        result = result * base + digit;
        ++digits;
    }
    while ((*p == ' ') || (*p == '\t') || (*p == '\n') || (*p == '\r'))
    {
        ++p;
    }
    if ((digits == 0u) || (*p != '\0'))
    {
        return false;
    }
    *value = result;
    return true;
}

bool ReadUnsignedFileAt(int directory, const char* name, std::uint64_t max, std::uint64_t* value)
{
    char text[64];
    std::size_t fileLength = 0u;
    const ssize_t count = ReadFileAt(directory, name, text, sizeof(text) - 1u, &fileLength);
    if (count < 0)
    {
        return false;
    }
    text[count] = '\0';
    if ((fileLength >= sizeof(text)) || !ParseUnsignedText(text, max, value))
    {
        errno = EINVAL;
        return false;
    }
    return true;
}

bool ReadUnsignedFile(const char* path, std::uint64_t max, std::uint64_t* value)
{
    return ReadUnsignedFileAt(AT_FDCWD, path, max, value);
}

bool RemoveTree(const char* path)
{
    struct stat status
    {
    };
    if (lstat(path, &status) != 0)
    {
        return errno == ENOENT;
    }
    constexpr int OpenDescriptorsMax = 16;
    return nftw(path, RemoveEntry, OpenDescriptorsMax, FTW_DEPTH | FTW_PHYS) == 0;
}
} // namespace Platform
