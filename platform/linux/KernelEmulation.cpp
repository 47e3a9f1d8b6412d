// The peer side of the emulated kernel: domains, provisioned identities, observed records, clock control.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

#include "KernelFiles.h"
#include "KernelServices.h"
#include "PlatformErrors.h"
#include "scmKernelEmulation.h"

namespace
{
using Platform::CDomainDirectory;
using Platform::Fail;
using Platform::KernelPathLengthMax;

// The root must be passable by every role; the domain's own directory only by its group.
constexpr mode_t RootDirectoryMode = 0755;
constexpr mode_t DomainDirectoryMode = 0750;

struct CFolder
{
    const char* m_name;
    mode_t m_mode;
};

// storage: the SCM and the checker create files there (set-group-ID: new files take the folder's group), and
// the sticky bit keeps each from replacing or removing the other's. conditions: every role sets its own.
constexpr CFolder DomainFolders[] = {
    {"storage", S_ISGID | S_ISVTX | 0770},
    {"conditions", S_ISVTX | 0770},
    {"kel-flash", 0750},
};

// Creates the directory with mode whatever the umask; an existing one is left as it is.
bool MakeDirectory(const char* path, mode_t mode)
{
    if (mkdir(path, 0700) != 0)
    {
        return errno == EEXIST;
    }
    return chmod(path, mode) == 0;
}

// Creates every missing directory of path, as mkdir -p.
bool MakeDirectories(const char* path, mode_t mode)
{
    char partial[KernelPathLengthMax];
    if (!Platform::FormatText(partial, sizeof(partial), "%s", path))
    {
        return false;
    }
    for (char* p = partial + 1; *p != '\0'; ++p)
    {
        if (*p == '/')
        {
            *p = '\0';
            if (!MakeDirectory(partial, mode))
            {
                return false;
            }
            *p = '/';
        }
    }
    return MakeDirectory(partial, mode);
}

int WriteDomainFile(uint16_t domain, const char* folder, const char* name, const void* data, std::size_t length,
                    mode_t mode)
{
    const CDomainDirectory directory(domain, folder);
    if (!directory.IsOpen())
    {
        return ERROR;
    }
    return Platform::WriteFileAtomicallyAt(directory.Get(), name, data, length, mode) ? OK : ERROR;
}

bool CheckStorageName(const char* name)
{
    if (!Platform::IsValidStorageName(name))
    {
        errno = EINVAL;
        return false;
    }
    return true;
}

// Removes name from the domain's folder; a missing one is no error.
int RemoveDomainFile(uint16_t domain, const char* folder, const char* name)
{
    const CDomainDirectory directory(domain, folder);
    if (!directory.IsOpen())
    {
        return (errno == ENOENT) ? OK : ERROR;
    }
    return ((unlinkat(directory.Get(), name, 0) == 0) || (errno == ENOENT)) ? OK : ERROR;
}
} // namespace

extern "C" int scmKernelGetRoot(char* buffer, size_t length)
{
    if (buffer == nullptr)
    {
        return Fail(EINVAL);
    }
    return Platform::GetKernelRoot(buffer, length) ? OK : ERROR;
}

extern "C" int scmKernelGetDomainPath(uint16_t safetyDomainNumber, const char* entry, char* buffer, size_t length)
{
    if (buffer == nullptr)
    {
        return Fail(EINVAL);
    }
    return Platform::GetDomainPath(safetyDomainNumber, entry, buffer, length) ? OK : ERROR;
}

extern "C" void scmKernelSetProcessDomain(uint16_t safetyDomainNumber)
{
    Platform::SetProcessDomain(safetyDomainNumber);
}

extern "C" uint16_t scmKernelGetProcessDomain(void)
{
    return Platform::GetProcessDomain();
}

extern "C" int scmKernelCreateDomain(uint16_t safetyDomainNumber)
{
    char root[KernelPathLengthMax];
    char path[KernelPathLengthMax];
    if (!Platform::GetKernelRoot(root, sizeof(root)) ||
        !Platform::GetDomainPath(safetyDomainNumber, nullptr, path, sizeof(path)) ||
        !MakeDirectories(root, RootDirectoryMode) || !MakeDirectory(path, DomainDirectoryMode))
    {
        return ERROR;
    }
    const CDomainDirectory directory(safetyDomainNumber, nullptr);
    if (!directory.IsOpen())
    {
        return ERROR;
    }
    for (const CFolder& folder : DomainFolders)
    {
        if (mkdirat(directory.Get(), folder.m_name, 0700) == 0)
        {
            if (fchmodat(directory.Get(), folder.m_name, folder.m_mode, 0) != 0)
            {
                return ERROR;
            }
        }
        else if (errno != EEXIST)
        {
            return ERROR;
        }
    }
    return OK;
}

extern "C" int scmKernelDestroyDomain(uint16_t safetyDomainNumber)
{
    char path[KernelPathLengthMax];
    if (!Platform::GetDomainPath(safetyDomainNumber, nullptr, path, sizeof(path)))
    {
        return ERROR;
    }
    return Platform::RemoveTree(path) ? OK : ERROR;
}

extern "C" int scmKernelDomainExists(uint16_t safetyDomainNumber)
{
    return Platform::CheckDomainExists(safetyDomainNumber) ? 1 : 0;
}

extern "C" int scmKernelSetCpuIdentity(uint16_t safetyDomainNumber, uint32_t productCode, uint32_t serialNumber)
{
    char text[16];
    int length = std::snprintf(text, sizeof(text), "%u\n", static_cast<unsigned>(productCode));
    if (WriteDomainFile(safetyDomainNumber, nullptr, "cpu-product-code", text, static_cast<std::size_t>(length),
                        Platform::KernelFileMode) != OK)
    {
        return ERROR;
    }
    length = std::snprintf(text, sizeof(text), "%u\n", static_cast<unsigned>(serialNumber));
    return WriteDomainFile(safetyDomainNumber, nullptr, "cpu-serial-number", text, static_cast<std::size_t>(length),
                           Platform::KernelFileMode);
}

extern "C" int scmKernelSetKelUdid(uint16_t safetyDomainNumber, const uint8_t* udid)
{
    if (udid == nullptr)
    {
        return Fail(EINVAL);
    }
    char text[16];
    const int length = std::snprintf(text, sizeof(text), "%02x%02x%02x%02x%02x%02x\n", udid[0], udid[1], udid[2],
                                     udid[3], udid[4], udid[5]);
    return WriteDomainFile(safetyDomainNumber, nullptr, "kel-udid", text, static_cast<std::size_t>(length),
                           Platform::KernelFileMode);
}

extern "C" int scmKernelWriteKelFlashFile(uint16_t safetyDomainNumber, uint32_t fileNumber, const void* data,
                                          size_t length)
{
    char name[16];
    if (((data == nullptr) && (length != 0u)) ||
        !Platform::FormatText(name, sizeof(name), "%u", static_cast<unsigned>(fileNumber)))
    {
        return Fail(EINVAL);
    }
    return WriteDomainFile(safetyDomainNumber, "kel-flash", name, (data == nullptr) ? "" : data, length,
                           Platform::KernelFileMode);
}

extern "C" int scmKernelWriteStorage(uint16_t safetyDomainNumber, const char* storageName, const void* data,
                                     size_t length)
{
    if (((data == nullptr) && (length != 0u)) || !CheckStorageName(storageName))
    {
        return Fail(EINVAL);
    }
    return WriteDomainFile(safetyDomainNumber, "storage", storageName, (data == nullptr) ? "" : data, length,
                           Platform::GetStorageMode(storageName));
}

extern "C" ssize_t scmKernelReadStorage(uint16_t safetyDomainNumber, const char* storageName, void* buffer,
                                        size_t bufferLength)
{
    if (((buffer == nullptr) && (bufferLength != 0u)) || !CheckStorageName(storageName))
    {
        return Fail(EINVAL);
    }
    const CDomainDirectory directory(safetyDomainNumber, "storage");
    std::size_t fileLength = 0u;
    if (!directory.IsOpen() ||
        (Platform::ReadFileAt(directory.Get(), storageName, buffer, bufferLength, &fileLength) < 0))
    {
        return ERROR;
    }
    return static_cast<ssize_t>(fileLength);
}

extern "C" int scmKernelRemoveStorage(uint16_t safetyDomainNumber, const char* storageName)
{
    if (!CheckStorageName(storageName))
    {
        return ERROR;
    }
    return RemoveDomainFile(safetyDomainNumber, "storage", storageName);
}

extern "C" int scmKernelSetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t information)
{
    return Platform::SetCondition(safetyDomainNumber, condition, information);
}

extern "C" int scmKernelClearCondition(uint16_t safetyDomainNumber, uint32_t condition)
{
    char name[16];
    if (!Platform::FormatText(name, sizeof(name), "%u", static_cast<unsigned>(condition)))
    {
        return ERROR;
    }
    return RemoveDomainFile(safetyDomainNumber, "conditions", name);
}

extern "C" int scmKernelGetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t* information)
{
    return Platform::GetCondition(safetyDomainNumber, condition, information);
}

extern "C" int scmKernelWaitForCondition(uint16_t safetyDomainNumber, uint32_t condition, int timeoutMilliseconds,
                                         uint32_t* information)
{
    return Platform::WaitForCondition(safetyDomainNumber, condition, timeoutMilliseconds, information);
}

extern "C" int scmKernelListConditions(uint16_t safetyDomainNumber, uint32_t* conditions, uint32_t* informations,
                                       size_t countMax)
{
    if (((conditions == nullptr) || (informations == nullptr)) && (countMax != 0u))
    {
        return Fail(EINVAL);
    }
    const int descriptor = Platform::OpenDomainDirectory(safetyDomainNumber, "conditions");
    DIR* directory = (descriptor < 0) ? nullptr : fdopendir(descriptor);
    if (directory == nullptr)
    {
        if (descriptor >= 0)
        {
            (void)close(descriptor);
        }
        return ERROR;
    }
    std::size_t count = 0u;
    for (const dirent* entry = readdir(directory); (entry != nullptr) && (count < countMax); entry = readdir(directory))
    {
        std::uint64_t number = 0u;
        std::uint32_t information = 0u;
        // Temporary files of a set in progress start with '.', and ParseUnsignedText refuses them.
        if ((entry->d_name[0] == '.') || !Platform::ParseUnsignedText(entry->d_name, UINT32_MAX, &number) ||
            (Platform::GetCondition(safetyDomainNumber, static_cast<std::uint32_t>(number), &information) != OK))
        {
            continue;
        }
        conditions[count] = static_cast<std::uint32_t>(number);
        informations[count] = information;
        ++count;
    }
    (void)closedir(directory);
    return static_cast<int>(count);
}

extern "C" int scmKernelGetResetLockCount(uint16_t safetyDomainNumber, uint32_t* count)
{
    return Platform::GetResetLockCount(safetyDomainNumber, count);
}

extern "C" int scmKernelGetPlcResets(uint16_t safetyDomainNumber, uint32_t* count, uint32_t* lastMode)
{
    if ((count == nullptr) || (lastMode == nullptr))
    {
        return Fail(EINVAL);
    }
    const CDomainDirectory domainDirectory(safetyDomainNumber, nullptr);
    if (!domainDirectory.IsOpen())
    {
        return ERROR;
    }
    *count = 0u;
    *lastMode = 0u;
    const int descriptor = Platform::OpenRegularFileAt(domainDirectory.Get(), "plc-resets", O_RDONLY, 0);
    if (descriptor < 0)
    {
        return (errno == ENOENT) ? OK : ERROR;
    }
    // One line "mode=<m> reset-lock=<c>" per reset: count the lines and keep the mode of the last.
    char chunk[512];
    char line[64];
    std::size_t lineLength = 0u;
    ssize_t received = 0;
    while ((received = read(descriptor, chunk, sizeof(chunk))) > 0)
    {
        for (ssize_t i = 0; i < received; ++i)
        {
            if (chunk[i] != '\n')
            {
                if (lineLength < sizeof(line) - 1u)
                {
                    line[lineLength] = chunk[i];
                    ++lineLength;
                }
                continue;
            }
            line[lineLength] = '\0';
            lineLength = 0u;
            unsigned mode = 0u;
            unsigned lockCount = 0u;
            if (std::sscanf(line, "mode=%u reset-lock=%u", &mode, &lockCount) == 2)
            {
                ++*count;
                *lastMode = mode;
            }
        }
    }
    (void)close(descriptor);
    return OK;
}

extern "C" int scmKernelSetClockControl(uint16_t safetyDomainNumber, int64_t shiftMicroseconds,
                                        int64_t realtimeShiftMicroseconds, int frozen)
{
    if (shiftMicroseconds < 0)
    {
        return Fail(EINVAL);
    }
    char text[128];
    const int length = std::snprintf(text, sizeof(text), "shift=%" PRId64 " realtime-shift=%" PRId64 "%s\n",
                                     shiftMicroseconds, realtimeShiftMicroseconds, (frozen != 0) ? " frozen" : "");
    return WriteDomainFile(safetyDomainNumber, nullptr, "clock", text, static_cast<std::size_t>(length),
                           Platform::KernelFileMode);
}
