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
using Platform::Fail;
using Platform::KernelPathLengthMax;

constexpr mode_t DirectoryPermissions = 0750;

bool MakeDirectory(const char* path)
{
    return (mkdir(path, DirectoryPermissions) == 0) || (errno == EEXIST);
}

// Creates every missing directory of path, as mkdir -p.
bool MakeDirectories(const char* path)
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
            if (!MakeDirectory(partial))
            {
                return false;
            }
            *p = '/';
        }
    }
    return MakeDirectory(partial);
}

bool GetStoragePath(uint16_t domain, const char* name, char* path, std::size_t length)
{
    if (!Platform::IsValidStorageName(name))
    {
        errno = EINVAL;
        return false;
    }
    char entry[Platform::StorageNameLengthMax + 16u];
    return Platform::FormatText(entry, sizeof(entry), "storage/%s", name) &&
           Platform::GetDomainPath(domain, entry, path, length);
}

int WriteDomainFile(uint16_t domain, const char* entry, const void* data, std::size_t length)
{
    char path[KernelPathLengthMax];
    if (!Platform::CheckDomainExists(domain) || !Platform::GetDomainPath(domain, entry, path, sizeof(path)))
    {
        return ERROR;
    }
    return Platform::WriteFileAtomically(path, data, length) ? OK : ERROR;
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
    char path[KernelPathLengthMax];
    if (!Platform::GetDomainPath(safetyDomainNumber, nullptr, path, sizeof(path)) || !MakeDirectories(path))
    {
        return ERROR;
    }
    for (const char* entry : {"storage", "conditions", "kel-flash"})
    {
        if (!Platform::GetDomainPath(safetyDomainNumber, entry, path, sizeof(path)) || !MakeDirectory(path))
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
    if (WriteDomainFile(safetyDomainNumber, "cpu-product-code", text, static_cast<std::size_t>(length)) != OK)
    {
        return ERROR;
    }
    length = std::snprintf(text, sizeof(text), "%u\n", static_cast<unsigned>(serialNumber));
    return WriteDomainFile(safetyDomainNumber, "cpu-serial-number", text, static_cast<std::size_t>(length));
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
    return WriteDomainFile(safetyDomainNumber, "kel-udid", text, static_cast<std::size_t>(length));
}

extern "C" int scmKernelWriteKelFlashFile(uint16_t safetyDomainNumber, uint32_t fileNumber, const void* data,
                                          size_t length)
{
    char entry[32];
    if (((data == nullptr) && (length != 0u)) ||
        !Platform::FormatText(entry, sizeof(entry), "kel-flash/%u", static_cast<unsigned>(fileNumber)))
    {
        return Fail(EINVAL);
    }
    return WriteDomainFile(safetyDomainNumber, entry, (data == nullptr) ? "" : data, length);
}

extern "C" int scmKernelWriteStorage(uint16_t safetyDomainNumber, const char* storageName, const void* data,
                                     size_t length)
{
    char path[KernelPathLengthMax];
    if ((data == nullptr) && (length != 0u))
    {
        return Fail(EINVAL);
    }
    if (!Platform::CheckDomainExists(safetyDomainNumber) ||
        !GetStoragePath(safetyDomainNumber, storageName, path, sizeof(path)))
    {
        return ERROR;
    }
    return Platform::WriteFileAtomically(path, (data == nullptr) ? "" : data, length) ? OK : ERROR;
}

extern "C" ssize_t scmKernelReadStorage(uint16_t safetyDomainNumber, const char* storageName, void* buffer,
                                        size_t bufferLength)
{
    char path[KernelPathLengthMax];
    if (((buffer == nullptr) && (bufferLength != 0u)) ||
        !GetStoragePath(safetyDomainNumber, storageName, path, sizeof(path)))
    {
        return Fail(EINVAL);
    }
    std::size_t fileLength = 0u;
    if (Platform::ReadFileInto(path, buffer, bufferLength, &fileLength) < 0)
    {
        return ERROR;
    }
    return static_cast<ssize_t>(fileLength);
}

extern "C" int scmKernelRemoveStorage(uint16_t safetyDomainNumber, const char* storageName)
{
    char path[KernelPathLengthMax];
    if (!GetStoragePath(safetyDomainNumber, storageName, path, sizeof(path)))
    {
        return ERROR;
    }
    return ((remove(path) == 0) || (errno == ENOENT)) ? OK : ERROR;
}

extern "C" int scmKernelSetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t information)
{
    return Platform::SetCondition(safetyDomainNumber, condition, information);
}

extern "C" int scmKernelClearCondition(uint16_t safetyDomainNumber, uint32_t condition)
{
    char entry[32];
    char path[KernelPathLengthMax];
    if (!Platform::FormatText(entry, sizeof(entry), "conditions/%u", static_cast<unsigned>(condition)) ||
        !Platform::GetDomainPath(safetyDomainNumber, entry, path, sizeof(path)))
    {
        return ERROR;
    }
    return ((remove(path) == 0) || (errno == ENOENT)) ? OK : ERROR;
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
    char path[KernelPathLengthMax];
    if (((conditions == nullptr) || (informations == nullptr)) && (countMax != 0u))
    {
        return Fail(EINVAL);
    }
    if (!Platform::CheckDomainExists(safetyDomainNumber) ||
        !Platform::GetDomainPath(safetyDomainNumber, "conditions", path, sizeof(path)))
    {
        return ERROR;
    }
    DIR* directory = opendir(path);
    if (directory == nullptr)
    {
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
    char path[KernelPathLengthMax];
    if ((count == nullptr) || (lastMode == nullptr))
    {
        return Fail(EINVAL);
    }
    if (!Platform::CheckDomainExists(safetyDomainNumber) ||
        !Platform::GetDomainPath(safetyDomainNumber, "plc-resets", path, sizeof(path)))
    {
        return ERROR;
    }
    *count = 0u;
    *lastMode = 0u;
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
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
    return WriteDomainFile(safetyDomainNumber, "clock", text, static_cast<std::size_t>(length));
}
