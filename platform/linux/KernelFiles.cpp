// Paths and small-file helpers of the emulated kernel: root, domain directories, atomic replacement.
#include "KernelFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform
{
namespace
{
std::atomic<std::uint16_t> processDomain{0u};
std::atomic<unsigned> temporaryCounter{0u};

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

bool CheckDomainExists(std::uint16_t domain)
{
    char path[KernelPathLengthMax];
    if (!GetDomainPath(domain, nullptr, path, sizeof(path)))
    {
        return false;
    }
    struct stat status
    {
    };
    if ((stat(path, &status) != 0) || !S_ISDIR(status.st_mode))
    {
        errno = ENOENT;
        return false;
    }
    return true;
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

ssize_t ReadFileInto(const char* path, void* buffer, std::size_t length, std::size_t* fileLength)
{
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        return -1;
    }
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0)
    {
        const int error = errno;
        (void)close(descriptor);
        errno = error;
        return -1;
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
            const int error = errno;
            (void)close(descriptor);
            errno = error;
            return -1;
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

bool GetTemporaryPath(const char* path, char* buffer, std::size_t length)
{
    const char* slash = std::strrchr(path, '/');
    const int directoryLength = (slash == nullptr) ? 0 : static_cast<int>(slash - path + 1);
    const char* base = (slash == nullptr) ? path : (slash + 1);
    return FormatText(buffer, length, "%.*s.%s.tmp.%ld.%u", directoryLength, path, base, static_cast<long>(getpid()),
                      temporaryCounter.fetch_add(1u));
}

void SyncParentDirectory(const char* path)
{
    char directory[KernelPathLengthMax];
    const char* slash = std::strrchr(path, '/');
    if ((slash == nullptr) ||
        !FormatText(directory, sizeof(directory), "%.*s", static_cast<int>(slash - path + 1), path))
    {
        return;
    }
    const int descriptor = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0)
    {
        (void)fsync(descriptor);
        (void)close(descriptor);
    }
}

bool WriteFileAtomically(const char* path, const void* data, std::size_t length)
{
    char temporary[KernelPathLengthMax];
    if (!GetTemporaryPath(path, temporary, sizeof(temporary)))
    {
        return false;
    }
    const int descriptor = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
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
    if (!written || (rename(temporary, path) != 0))
    {
        error = written ? errno : error;
        (void)unlink(temporary);
        errno = error;
        return false;
    }
    SyncParentDirectory(path);
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

bool ReadUnsignedFile(const char* path, std::uint64_t max, std::uint64_t* value)
{
    char text[64];
    std::size_t fileLength = 0u;
    const ssize_t count = ReadFileInto(path, text, sizeof(text) - 1u, &fileLength);
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
