// semLib over POSIX named semaphores, kept binary: a fixed handle table.
#include <array>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <semaphore.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CCancellationPoint.h"
#include "CIpcName.h"
#include "IpcRegistry.h"
#include "KernelFiles.h"
#include "PlatformErrors.h"
#include "PlatformHooks.h"
#include "Ticks.h"
#include "scmKernelEmulation.h"
#include "semLib.h"

struct ScmPlatformSemaphore
{
    bool m_inUse;
    sem_t* m_semaphore;
};

namespace
{
using Platform::Fail;
using Platform::FailNull;

static_assert(SEM_MAX_OPEN >= 2, "the checker holds its two hand-over semaphores at once");

constexpr mode_t SemaphorePermissions = 0660;

std::mutex tableMutex;
// Gives of this process are serialised, so that two of its tasks never make a binary semaphore count two.
std::mutex giveMutex;
std::array<ScmPlatformSemaphore, SEM_MAX_OPEN> semaphoreTable;

ScmPlatformSemaphore* FindSemaphore(SEM_ID id)
{
    const auto address = reinterpret_cast<std::uintptr_t>(id);
    const auto first = reinterpret_cast<std::uintptr_t>(semaphoreTable.data());
    if ((address < first) || ((address - first) % sizeof(ScmPlatformSemaphore) != 0u))
    {
        return nullptr;
    }
    const std::size_t index = (address - first) / sizeof(ScmPlatformSemaphore);
    if ((index >= semaphoreTable.size()) || !semaphoreTable[index].m_inUse)
    {
        return nullptr;
    }
    return &semaphoreTable[index];
}

bool IsFailure(const sem_t* semaphore)
{
    return semaphore == SEM_FAILED;
}

bool SetCreatedMode(const char* posixName)
{
    char path[Platform::KernelPathLengthMax];
    if (!Platform::FormatText(path, sizeof(path), "/dev/shm/sem.%s", posixName + 1))
    {
        return false;
    }
    const int descriptor = Platform::OpenRegularFileAt(AT_FDCWD, path, O_RDONLY, 0);
    if (descriptor < 0)
    {
        return false;
    }
    const bool done = fchmod(descriptor, SemaphorePermissions) == 0;
    const int error = errno;
    (void)close(descriptor);
    errno = error;
    return done;
}

sem_t* CreateSemaphore(const char* posixName, unsigned initialValue, bool exclusive)
{
    sem_t* semaphore = sem_open(posixName, O_CREAT | O_EXCL, SemaphorePermissions, initialValue);
    if (!IsFailure(semaphore))
    {
        Platform::RegisterCreatedIpcObject(Platform::RegistrySemaphore, posixName);
        // The mode given to sem_open passes through the umask: set it as meant on the semaphore's file.
        if (!SetCreatedMode(posixName))
        {
            const int error = errno;
            (void)sem_close(semaphore);
            (void)sem_unlink(posixName);
            errno = error;
            return SEM_FAILED;
        }
        return semaphore;
    }
    if ((errno == EEXIST) && !exclusive)
    {
        return sem_open(posixName, 0);
    }
    return semaphore;
}
} // namespace

extern "C" SEM_ID semOpen(const char* name, SEM_TYPE type, int initState, int options, int mode, void* context)
{
    (void)options;
    (void)context;
    if (Platform::TryFail(Platform::FaultSemOpen))
    {
        return nullptr;
    }
    const Platform::CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        return FailNull<ScmPlatformSemaphore>(posixName.GetError());
    }
    const bool create = (static_cast<unsigned>(mode) & OM_CREATE) != 0u;
    if ((type != SEM_TYPE_BINARY) || (create && (initState != SEM_EMPTY) && (initState != SEM_FULL)))
    {
        return FailNull<ScmPlatformSemaphore>(EINVAL);
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    ScmPlatformSemaphore* slot = nullptr;
    for (ScmPlatformSemaphore& entry : semaphoreTable)
    {
        if (!entry.m_inUse)
        {
            slot = &entry;
            break;
        }
    }
    if (slot == nullptr)
    {
        return FailNull<ScmPlatformSemaphore>(EMFILE);
    }
    sem_t* semaphore = create ? CreateSemaphore(posixName.Get(), static_cast<unsigned>(initState),
                                                (static_cast<unsigned>(mode) & OM_EXCL) != 0u)
                              : sem_open(posixName.Get(), 0);
    if (IsFailure(semaphore))
    {
        return FailNull<ScmPlatformSemaphore>(Platform::TranslateOpenError(errno));
    }
    slot->m_semaphore = semaphore;
    slot->m_inUse = true;
    return slot;
}

extern "C" STATUS semGive(SEM_ID semId)
{
    if (Platform::TryFail(Platform::FaultSemGive))
    {
        return ERROR;
    }
    ScmPlatformSemaphore* semaphore = FindSemaphore(semId);
    if (semaphore == nullptr)
    {
        return Fail(EBADF);
    }
    std::lock_guard<std::mutex> lock(giveMutex);
    int value = 0;
    if (sem_getvalue(semaphore->m_semaphore, &value) != 0)
    {
        return Fail(errno);
    }
    if (value > 0)
    {
        // Binary: a full semaphore stays full. Two processes that give at the same instant could still make
        // it count two; in the hand-over each semaphore has a single giver.
        return OK;
    }
    return (sem_post(semaphore->m_semaphore) == 0) ? OK : Fail(errno);
}

extern "C" STATUS semTake(SEM_ID semId, int timeout)
{
    if (Platform::TryFail(Platform::FaultSemTake))
    {
        return ERROR;
    }
    ScmPlatformSemaphore* semaphore = FindSemaphore(semId);
    if (semaphore == nullptr)
    {
        return Fail(EBADF);
    }
    if (timeout < WAIT_FOREVER)
    {
        return Fail(EINVAL);
    }
    int result = 0;
    if (timeout == NO_WAIT)
    {
        result = sem_trywait(semaphore->m_semaphore);
    }
    else if (timeout == WAIT_FOREVER)
    {
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            result = sem_wait(semaphore->m_semaphore);
        } while ((result != 0) && (errno == EINTR));
    }
    else
    {
        const timespec deadline = Platform::GetDeadline(CLOCK_MONOTONIC, timeout);
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            result = sem_clockwait(semaphore->m_semaphore, CLOCK_MONOTONIC, &deadline);
        } while ((result != 0) && (errno == EINTR));
    }
    if (result != 0)
    {
        return Fail(Platform::TranslateWaitError(errno, timeout));
    }
    // Binary for the taker whatever the givers did: gives that raced past the full check, or posts made around
    // this layer, collapse into the one just taken instead of letting later takes pass without a give.
    while (sem_trywait(semaphore->m_semaphore) == 0)
    {
    }
    return OK;
}

extern "C" STATUS semClose(SEM_ID semId)
{
    if (Platform::TryFail(Platform::FaultSemClose))
    {
        return ERROR;
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    ScmPlatformSemaphore* semaphore = FindSemaphore(semId);
    if (semaphore == nullptr)
    {
        return Fail(EBADF);
    }
    (void)sem_close(semaphore->m_semaphore);
    semaphore->m_semaphore = nullptr;
    semaphore->m_inUse = false;
    return OK;
}

extern "C" STATUS semUnlink(const char* name)
{
    if (Platform::TryFail(Platform::FaultSemUnlink))
    {
        return ERROR;
    }
    const Platform::CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        return Fail(posixName.GetError());
    }
    return (sem_unlink(posixName.Get()) == 0) ? OK : Fail(errno);
}

extern "C" int scmKernelGetSemaphoreValue(SEM_ID semId, int* value)
{
    ScmPlatformSemaphore* semaphore = FindSemaphore(semId);
    if ((semaphore == nullptr) || (value == nullptr))
    {
        return Fail((semaphore == nullptr) ? EBADF : EINVAL);
    }
    return (sem_getvalue(semaphore->m_semaphore, value) == 0) ? OK : Fail(errno);
}
