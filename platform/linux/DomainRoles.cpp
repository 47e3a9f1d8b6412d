// The roles of a domain: the "roles" file, and owners, groups and modes given to the domain's objects.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mqueue.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CIpcName.h"
#include "DomainObjects.h"
#include "KernelFiles.h"
#include "PlatformErrors.h"
#include "scmDeployment.h"

namespace Platform
{
namespace
{
constexpr const char* RolesFileName = "roles";
constexpr mode_t IpcMode = 0660;
constexpr mode_t DomainDirectoryMode = 0750;
constexpr mode_t StorageFolderMode = S_ISGID | S_ISVTX | 0770;
constexpr mode_t ConditionFolderMode = S_ISVTX | 0770;
constexpr mode_t FlashFolderMode = 0750;

struct CRoleField
{
    const char* m_key;
    std::uint32_t ScmDomainRoles::*m_field;
};

constexpr CRoleField RoleFields[] = {
    {"runtime-user", &ScmDomainRoles::runtimeUser}, {"scm-user", &ScmDomainRoles::scmUser},
    {"checker-user", &ScmDomainRoles::checkerUser}, {"runtime-group", &ScmDomainRoles::runtimeGroup},
    {"scm-group", &ScmDomainRoles::scmGroup},       {"domain-group", &ScmDomainRoles::domainGroup},
};

// Sets owner, group and mode through a descriptor, so that the object changed is the one opened.
bool SetOwnership(int descriptor, std::uint32_t user, std::uint32_t group, mode_t mode)
{
    const bool done = (fchown(descriptor, user, group) == 0) && (fchmod(descriptor, mode) == 0);
    const int error = errno;
    (void)close(descriptor);
    errno = error;
    return done;
}

// A file or folder of directory; a missing one is skipped when optional.
bool SetOwnershipAt(int directory, const char* name, bool folder, std::uint32_t user, std::uint32_t group, mode_t mode,
                    bool optional)
{
    const int descriptor = folder ? openat(directory, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                                  : OpenRegularFileAt(directory, name, O_RDONLY, 0);
    if (descriptor < 0)
    {
        return optional && (errno == ENOENT);
    }
    return SetOwnership(descriptor, user, group, mode);
}

// Queues and semaphores not created yet are skipped: whoever creates them later owns them.
bool SetQueueOwnership(const char* name, std::uint32_t user, std::uint32_t group)
{
    const CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        errno = posixName.GetError();
        return false;
    }
    const mqd_t queue = mq_open(posixName.Get(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (queue == static_cast<mqd_t>(-1))
    {
        return errno == ENOENT;
    }
    return SetOwnership(queue, user, group, IpcMode);
}

bool SetSemaphoreOwnership(const char* name, std::uint32_t user, std::uint32_t group)
{
    char path[KernelPathLengthMax];
    if (!FormatSemaphorePath(name, path, sizeof(path)))
    {
        return false;
    }
    const int descriptor = OpenRegularFileAt(AT_FDCWD, path, O_RDONLY, 0);
    if (descriptor < 0)
    {
        return errno == ENOENT;
    }
    return SetOwnership(descriptor, user, group, IpcMode);
}

bool SetIpcOwnership(std::uint16_t domain, const ScmDomainRoles& roles)
{
    char name[64];
    for (const char* base : QueueBaseNames)
    {
        if (!FormatQueueName(domain, base, false, name, sizeof(name)) ||
            !SetQueueOwnership(name, roles.runtimeUser, roles.runtimeGroup) ||
            !FormatQueueName(domain, base, true, name, sizeof(name)) ||
            !SetQueueOwnership(name, roles.scmUser, roles.scmGroup))
        {
            return false;
        }
    }
    for (const char* base : SemaphoreBaseNames)
    {
        if (!FormatQueueName(domain, base, true, name, sizeof(name)) ||
            !SetSemaphoreOwnership(name, roles.scmUser, roles.scmGroup))
        {
            return false;
        }
    }
    return true;
}

bool SetFlashOwnership(int flashFolder, std::uint32_t group)
{
    const int descriptor = dup(flashFolder);
    DIR* directory = (descriptor < 0) ? nullptr : fdopendir(descriptor);
    if (directory == nullptr)
    {
        if (descriptor >= 0)
        {
            (void)close(descriptor);
        }
        return false;
    }
    bool done = true;
    for (const dirent* entry = readdir(directory); done && (entry != nullptr); entry = readdir(directory))
    {
        if (entry->d_name[0] != '.')
        {
            done = SetOwnershipAt(flashFolder, entry->d_name, false, 0u, group, KernelFileMode, true);
        }
    }
    (void)closedir(directory);
    return done;
}

bool SetStorageOwnership(int storageFolder, const ScmDomainRoles& roles)
{
    for (const char* name : CheckerCopyNames)
    {
        if (!SetOwnershipAt(storageFolder, name, false, roles.checkerUser, roles.scmGroup, CheckerCopyMode, true))
        {
            return false;
        }
    }
    for (const char* name : ScmStorageNames)
    {
        if (!SetOwnershipAt(storageFolder, name, false, roles.scmUser, roles.scmGroup, ScmStorageMode, true))
        {
            return false;
        }
    }
    return true;
}

// Files that exist before the checker does: it could not create them in a directory it may not write.
bool CreateCheckerFile(int domainDirectory, const char* name, const char* content, const ScmDomainRoles& roles,
                       mode_t mode)
{
    const int descriptor = OpenRegularFileAt(domainDirectory, name, O_WRONLY | O_CREAT, mode);
    if (descriptor < 0)
    {
        return false;
    }
    struct stat status
    {
    };
    const std::size_t length = std::strlen(content);
    const bool written =
        (fstat(descriptor, &status) == 0) &&
        ((status.st_size != 0) || (write(descriptor, content, length) == static_cast<ssize_t>(length)));
    if (!written)
    {
        const int error = errno;
        (void)close(descriptor);
        errno = error;
        return false;
    }
    return SetOwnership(descriptor, roles.checkerUser, roles.domainGroup, mode);
}

bool WriteRolesFile(int domainDirectory, const ScmDomainRoles& roles)
{
    char text[256];
    std::size_t used = 0u;
    for (const CRoleField& field : RoleFields)
    {
        const int length = std::snprintf(text + used, sizeof(text) - used, "%s=%u\n", field.m_key,
                                         static_cast<unsigned>(roles.*field.m_field));
        used += static_cast<std::size_t>(length);
    }
    return WriteFileAtomicallyAt(domainDirectory, RolesFileName, text, used, KernelFileMode) &&
           SetOwnershipAt(domainDirectory, RolesFileName, false, 0u, roles.domainGroup, KernelFileMode, false);
}

bool ParseRoles(char* text, ScmDomainRoles* roles)
{
    unsigned seen = 0u;
    for (char* line = std::strtok(text, "\n"); line != nullptr; line = std::strtok(nullptr, "\n"))
    {
        char* separator = std::strchr(line, '=');
        if (separator == nullptr)
        {
            return false;
        }
        *separator = '\0';
        std::uint64_t value = 0u;
        bool known = false;
        for (std::size_t i = 0u; i < sizeof(RoleFields) / sizeof(RoleFields[0]); ++i)
        {
            if ((std::strcmp(line, RoleFields[i].m_key) == 0) && ParseUnsignedText(separator + 1, UINT32_MAX, &value))
            {
                roles->*RoleFields[i].m_field = static_cast<std::uint32_t>(value);
                seen |= 1u << i;
                known = true;
            }
        }
        if (!known)
        {
            return false;
        }
    }
    return seen == (1u << (sizeof(RoleFields) / sizeof(RoleFields[0]))) - 1u;
}
} // namespace

bool FormatQueueName(std::uint16_t domain, const char* base, bool scmSide, char* buffer, std::size_t length)
{
    return FormatText(buffer, length, "/scm%04u/%s%s", static_cast<unsigned>(domain), scmSide ? "~" : "", base);
}

bool FormatSemaphorePath(const char* name, char* buffer, std::size_t length)
{
    const CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        errno = posixName.GetError();
        return false;
    }
    return FormatText(buffer, length, "/dev/shm/sem.%s", posixName.Get() + 1);
}

int ReadDomainRoles(int domainDirectory, ScmDomainRoles* roles)
{
    const int descriptor = OpenRegularFileAt(domainDirectory, RolesFileName, O_RDONLY, 0);
    if (descriptor < 0)
    {
        if (errno != ENOENT)
        {
            return ERROR;
        }
        const std::uint32_t user = geteuid();
        const std::uint32_t group = getegid();
        *roles = ScmDomainRoles{user, user, user, group, group, group};
        return OK;
    }
    struct stat status
    {
    };
    char text[512];
    const bool trusted = (fstat(descriptor, &status) == 0) && ((status.st_uid == 0u) || (status.st_uid == geteuid())) &&
                         ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0u);
    const ssize_t count = trusted ? read(descriptor, text, sizeof(text) - 1u) : -1;
    (void)close(descriptor);
    if (!trusted)
    {
        return Fail(EPERM);
    }
    if ((count < 0) || (static_cast<std::size_t>(count) == sizeof(text) - 1u))
    {
        return Fail(EINVAL);
    }
    text[count] = '\0';
    return ParseRoles(text, roles) ? OK : Fail(EINVAL);
}
} // namespace Platform

extern "C" int scmKernelSetDomainRoles(uint16_t safetyDomainNumber, const ScmDomainRoles* roles)
{
    using namespace Platform;
    if (roles == nullptr)
    {
        return Fail(EINVAL);
    }
    const CDomainDirectory directory(safetyDomainNumber, nullptr);
    if (!directory.IsOpen())
    {
        return ERROR;
    }
    const int domain = directory.Get();
    const CDomainDirectory storage(safetyDomainNumber, "storage");
    const CDomainDirectory flash(safetyDomainNumber, "kel-flash");
    const bool done =
        storage.IsOpen() && flash.IsOpen() && WriteRolesFile(domain, *roles) &&
        CreateCheckerFile(domain, "reset-lock", "0\n", *roles, KernelFileMode) &&
        CreateCheckerFile(domain, "plc-resets", "", *roles, KernelFileMode) &&
        CreateCheckerFile(domain, "event-log", "", *roles, CheckerCopyMode) &&
        // The checker owns the folder, so that a starting checker can clear the handshake of its predecessor.
        SetOwnershipAt(domain, "conditions", true, roles->checkerUser, roles->domainGroup, ConditionFolderMode,
                       false) &&
        SetOwnershipAt(domain, "storage", true, 0u, roles->scmGroup, StorageFolderMode, false) &&
        SetOwnershipAt(domain, "kel-flash", true, 0u, roles->domainGroup, FlashFolderMode, false) &&
        SetFlashOwnership(flash.Get(), roles->domainGroup) &&
        SetOwnershipAt(domain, "cpu-product-code", false, 0u, roles->domainGroup, KernelFileMode, true) &&
        SetOwnershipAt(domain, "cpu-serial-number", false, 0u, roles->domainGroup, KernelFileMode, true) &&
        SetOwnershipAt(domain, "kel-udid", false, 0u, roles->domainGroup, KernelFileMode, true) &&
        SetOwnershipAt(domain, "clock", false, 0u, roles->domainGroup, KernelFileMode, true) &&
        SetStorageOwnership(storage.Get(), *roles) && SetIpcOwnership(safetyDomainNumber, *roles) &&
        (fchown(domain, 0u, roles->domainGroup) == 0) && (fchmod(domain, DomainDirectoryMode) == 0);
    return done ? OK : ERROR;
}

extern "C" int scmKernelGetDomainRoles(uint16_t safetyDomainNumber, ScmDomainRoles* roles)
{
    if (roles == nullptr)
    {
        return Platform::Fail(EINVAL);
    }
    const Platform::CDomainDirectory directory(safetyDomainNumber, nullptr);
    return directory.IsOpen() ? Platform::ReadDomainRoles(directory.Get(), roles) : ERROR;
}
