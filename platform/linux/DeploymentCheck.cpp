// The checker's start-up check: every object it opens is protected from the roles that must not write it.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
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
/// Who besides root and the checker may own an object, and which group may write it.
struct CExpectation
{
    std::uint32_t m_owner;
    bool m_groupMayWrite;
    std::uint32_t m_group;
    bool m_stickyWhenGroupWrites;
};

class CDeploymentCheck
{
public:
    CDeploymentCheck(std::uint16_t domain, char* object, std::size_t objectLength)
        : m_domain(domain), m_object(object), m_objectLength(objectLength), m_roles{}, m_checker(geteuid())
    {
    }

    int Run();

private:
    int Refuse(int error, const char* kind, const char* name);
    bool IsAllowed(const struct stat& status, const CExpectation& expectation) const;
    int CheckFolders(int domainDirectory);
    int CheckKernelFiles(int domainDirectory);
    int CheckQueues();
    int CheckSemaphores();
    int CheckStorages();
    /// Opens name in directory as the kind expected and checks it; a missing one passes when optional.
    int CheckEntry(int directory, const char* name, bool folder, const CExpectation& expectation, bool optional,
                   const char* kind);
    int CheckDescriptor(int descriptor, const CExpectation& expectation, const char* kind, const char* name);

    std::uint16_t m_domain;
    char* m_object;
    std::size_t m_objectLength;
    ScmDomainRoles m_roles;
    std::uint32_t m_checker;
};

int CDeploymentCheck::Refuse(int error, const char* kind, const char* name)
{
    if ((m_object != nullptr) && (m_objectLength > 0u))
    {
        (void)std::snprintf(m_object, m_objectLength, "%s %s", kind, name);
    }
    return Fail(error);
}

bool CDeploymentCheck::IsAllowed(const struct stat& status, const CExpectation& expectation) const
{
    if ((status.st_uid != 0u) && (status.st_uid != m_checker) && (status.st_uid != expectation.m_owner))
    {
        return false;
    }
    if ((status.st_mode & S_IWOTH) != 0u)
    {
        return false;
    }
    if ((status.st_mode & S_IWGRP) == 0u)
    {
        return true;
    }
    return expectation.m_groupMayWrite && (status.st_gid == expectation.m_group) &&
           (!expectation.m_stickyWhenGroupWrites || ((status.st_mode & S_ISVTX) != 0u));
}

int CDeploymentCheck::CheckDescriptor(int descriptor, const CExpectation& expectation, const char* kind,
                                      const char* name)
{
    struct stat status
    {
    };
    const bool known = fstat(descriptor, &status) == 0;
    const int error = errno;
    (void)close(descriptor);
    if (!known)
    {
        return Refuse(error, kind, name);
    }
    return IsAllowed(status, expectation) ? OK : Refuse(EPERM, kind, name);
}

int CDeploymentCheck::CheckEntry(int directory, const char* name, bool folder, const CExpectation& expectation,
                                 bool optional, const char* kind)
{
    const int descriptor = folder ? openat(directory, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                                  : OpenRegularFileAt(directory, name, O_RDONLY, 0);
    if (descriptor < 0)
    {
        return (optional && (errno == ENOENT)) ? OK : Refuse(errno, kind, name);
    }
    return CheckDescriptor(descriptor, expectation, kind, name);
}

int CDeploymentCheck::CheckFolders(int domainDirectory)
{
    const CExpectation trusted{m_checker, false, 0u, false};
    if ((CheckEntry(domainDirectory, "storage", true, {m_checker, true, m_roles.scmGroup, true}, false, "folder") !=
         OK) ||
        (CheckEntry(domainDirectory, "conditions", true, {m_checker, true, m_roles.domainGroup, true}, false,
                    "folder") != OK) ||
        (CheckEntry(domainDirectory, "kel-flash", true, trusted, false, "folder") != OK))
    {
        return ERROR;
    }
    const CDomainDirectory flash(m_domain, "kel-flash");
    return flash.IsOpen() ? CheckEntry(flash.Get(), "16", false, trusted, true, "flash file")
                          : Refuse(errno, "folder", "kel-flash");
}

int CDeploymentCheck::CheckKernelFiles(int domainDirectory)
{
    const CExpectation trusted{m_checker, false, 0u, false};
    for (const char* name : TrustedKernelFiles)
    {
        if (CheckEntry(domainDirectory, name, false, trusted, true, "kernel file") != OK)
        {
            return ERROR;
        }
    }
    return OK;
}

int CDeploymentCheck::CheckQueues()
{
    char name[64];
    for (const bool scmSide : {false, true})
    {
        const CExpectation expectation = scmSide ? CExpectation{m_roles.scmUser, true, m_roles.scmGroup, false}
                                                 : CExpectation{m_roles.runtimeUser, true, m_roles.runtimeGroup, false};
        for (const char* base : QueueBaseNames)
        {
            if (!FormatQueueName(m_domain, base, scmSide, name, sizeof(name)))
            {
                return ERROR;
            }
            const CIpcName posixName(name);
            const mqd_t queue = (posixName.GetError() == 0)
                                    ? mq_open(posixName.Get(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)
                                    : static_cast<mqd_t>(-1);
            if (queue == static_cast<mqd_t>(-1))
            {
                return Refuse((posixName.GetError() != 0) ? posixName.GetError() : errno, "queue", name);
            }
            if (CheckDescriptor(queue, expectation, "queue", name) != OK)
            {
                return ERROR;
            }
        }
    }
    return OK;
}

int CDeploymentCheck::CheckSemaphores()
{
    const CExpectation expectation{m_roles.scmUser, true, m_roles.scmGroup, false};
    char name[64];
    char path[KernelPathLengthMax];
    for (const char* base : SemaphoreBaseNames)
    {
        if (!FormatQueueName(m_domain, base, true, name, sizeof(name)) ||
            !FormatSemaphorePath(name, path, sizeof(path)))
        {
            return Refuse(errno, "semaphore", base);
        }
        const int descriptor = OpenRegularFileAt(AT_FDCWD, path, O_RDONLY, 0);
        if (descriptor < 0)
        {
            return Refuse(errno, "semaphore", name);
        }
        if (CheckDescriptor(descriptor, expectation, "semaphore", name) != OK)
        {
            return ERROR;
        }
    }
    return OK;
}

int CDeploymentCheck::CheckStorages()
{
    const CDomainDirectory storage(m_domain, "storage");
    if (!storage.IsOpen())
    {
        return Refuse(errno, "folder", "storage");
    }
    const CExpectation scmStorage{m_roles.scmUser, true, m_roles.scmGroup, false};
    for (const char* name : ScmStorageNames)
    {
        if (CheckEntry(storage.Get(), name, false, scmStorage, true, "storage") != OK)
        {
            return ERROR;
        }
    }
    // The checker's copies are its memory across restarts: nobody else may read or write them.
    for (const char* name : CheckerCopyNames)
    {
        const int descriptor = OpenRegularFileAt(storage.Get(), name, O_RDONLY, 0);
        if (descriptor < 0)
        {
            if (errno == ENOENT)
            {
                continue;
            }
            return Refuse(errno, "storage", name);
        }
        struct stat status
        {
        };
        const bool known = fstat(descriptor, &status) == 0;
        (void)close(descriptor);
        if (!known || (status.st_uid != m_checker) || ((status.st_mode & 0077u) != 0u))
        {
            return Refuse(known ? EPERM : errno, "storage", name);
        }
    }
    return OK;
}

int CDeploymentCheck::Run()
{
    const CDomainDirectory domain(m_domain, nullptr);
    char path[KernelPathLengthMax];
    if (!domain.IsOpen())
    {
        const int error = errno;
        (void)GetDomainPath(m_domain, nullptr, path, sizeof(path));
        return Refuse(error, "domain directory", path);
    }
    if (ReadDomainRoles(domain.Get(), &m_roles) != OK)
    {
        return Refuse(errno, "kernel file", "roles");
    }
    // Roles recorded for another user than the one running: this process is not the domain's checker.
    if (m_roles.checkerUser != m_checker)
    {
        return Refuse(EPERM, "kernel file", "roles");
    }
    if ((CheckFolders(domain.Get()) != OK) || (CheckKernelFiles(domain.Get()) != OK) || (CheckQueues() != OK) ||
        (CheckSemaphores() != OK) || (CheckStorages() != OK))
    {
        return ERROR;
    }
    return OK;
}
} // namespace
} // namespace Platform

extern "C" int scmCheckDeployment(uint16_t safetyDomainNumber, char* object, size_t objectLength)
{
    Platform::CDeploymentCheck check(safetyDomainNumber, object, objectLength);
    return check.Run();
}
