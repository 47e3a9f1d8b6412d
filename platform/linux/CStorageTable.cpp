// Open storages of the emulated kernel: a fixed handle table over files with atomic replacement on close.
#include "CStorageTable.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PlatformErrors.h"
#include "scmKernelEmulation.h"

namespace Platform
{
namespace
{
constexpr std::int32_t ReadMode = 'r';
constexpr std::int32_t WriteMode = 'w';

int FailKernel(int osError)
{
    return Fail(TranslateKernelFileError(osError));
}

void CloseDescriptor(int& descriptor)
{
    if (descriptor >= 0)
    {
        (void)close(descriptor);
        descriptor = -1;
    }
}

// Empties the existing storage name in directory in place, so that its owner, group and mode stay: the
// checker empties a storage of the SCM that it may write but that a file of its own may not replace. ENOENT
// when there is none.
int EmptyInPlace(int directory, const char* name)
{
    const int descriptor = OpenRegularFileAt(directory, name, O_WRONLY, 0);
    if (descriptor < 0)
    {
        return errno;
    }
    int error = 0;
    if ((ftruncate(descriptor, 0) != 0) || (fsync(descriptor) != 0))
    {
        error = errno;
    }
    if ((close(descriptor) != 0) && (error == 0))
    {
        error = errno;
    }
    return error;
}
} // namespace

CStorageTable& CStorageTable::GetInstance()
{
    static CStorageTable instance;
    return instance;
}

CStorageTable::CSlot* CStorageTable::Acquire(std::int32_t handle)
{
    if (handle <= 0)
    {
        errno = EBADF;
        return nullptr;
    }
    const auto number = static_cast<std::uint32_t>(handle - 1);
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot& slot = m_slots[number % ms_SlotCount];
    if ((slot.m_state == EState::Free) || (slot.m_generation != number / ms_SlotCount))
    {
        errno = EBADF;
        return nullptr;
    }
    if (slot.m_state == EState::Busy)
    {
        errno = EBUSY;
        return nullptr;
    }
    slot.m_state = EState::Busy;
    return &slot;
}

void CStorageTable::Release(CSlot& slot)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    slot.m_state = EState::Open;
}

void CStorageTable::Free(CSlot& slot)
{
    CloseDescriptor(slot.m_descriptor);
    CloseDescriptor(slot.m_directory);
    std::lock_guard<std::mutex> lock(m_mutex);
    slot.m_generation = (slot.m_generation + 1u) % ms_GenerationCount;
    slot.m_state = EState::Free;
}

int CStorageTable::Open(std::uint16_t domain, const char* name, std::int32_t mode, std::int32_t* handle)
{
    if ((handle == nullptr) || (name == nullptr))
    {
        return Fail(EFAULT);
    }
    if (((mode != ReadMode) && (mode != WriteMode)) || !IsValidStorageName(name))
    {
        return Fail(EINVAL);
    }
    CSlot* slot = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (CSlot& candidate : m_slots)
        {
            if (candidate.m_state == EState::Free)
            {
                slot = &candidate;
                slot->m_state = EState::Busy;
                break;
            }
        }
    }
    if (slot == nullptr)
    {
        return Fail(EMFILE);
    }
    slot->m_descriptor = -1;
    slot->m_directory = OpenDomainDirectory(domain, "storage");
    slot->m_writing = (mode == WriteMode);
    slot->m_spoiled = false;
    slot->m_written = 0u;
    slot->m_temporaryName[0] = '\0';
    (void)std::strcpy(slot->m_name, name);
    if (slot->m_directory >= 0)
    {
        slot->m_descriptor = slot->m_writing ? CreateTemporaryFileAt(slot->m_directory, name, GetStorageMode(name),
                                                                     slot->m_temporaryName)
                                             : OpenRegularFileAt(slot->m_directory, name, O_RDONLY, 0);
    }
    if (slot->m_descriptor < 0)
    {
        const int error = errno;
        Free(*slot);
        return FailKernel(error);
    }
    const auto index = static_cast<std::uint32_t>(slot - m_slots.data());
    *handle = static_cast<std::int32_t>(index + 1u + ms_SlotCount * slot->m_generation);
    Release(*slot);
    return OK;
}

int CStorageTable::CloseWriting(CSlot& slot)
{
    // Flushed before the rename: after a crash the storage holds the old or the new content, never a part.
    int error = slot.m_spoiled ? EIO : 0;
    if ((error == 0) && (fsync(slot.m_descriptor) != 0))
    {
        error = errno;
    }
    if ((close(slot.m_descriptor) != 0) && (error == 0))
    {
        error = errno;
    }
    slot.m_descriptor = -1;
    bool replace = (error == 0);
    if ((error == 0) && (slot.m_written == 0u))
    {
        error = EmptyInPlace(slot.m_directory, slot.m_name);
        replace = (error == ENOENT);
        error = replace ? 0 : error;
    }
    if (replace && (renameat(slot.m_directory, slot.m_temporaryName, slot.m_directory, slot.m_name) != 0))
    {
        error = errno;
    }
    if (!replace || (error != 0))
    {
        (void)unlinkat(slot.m_directory, slot.m_temporaryName, 0);
    }
    if (error == 0)
    {
        (void)fsync(slot.m_directory);
    }
    return error;
}

int CStorageTable::Close(std::int32_t handle)
{
    CSlot* slot = Acquire(handle);
    if (slot == nullptr)
    {
        return ERROR;
    }
    const int error = slot->m_writing ? CloseWriting(*slot) : 0;
    Free(*slot);
    return (error == 0) ? OK : FailKernel(error);
}

int CStorageTable::GetLength(std::int32_t handle, std::int32_t* length)
{
    if (length == nullptr)
    {
        return Fail(EFAULT);
    }
    CSlot* slot = Acquire(handle);
    if (slot == nullptr)
    {
        return ERROR;
    }
    std::uint64_t value = slot->m_written;
    int error = 0;
    if (!slot->m_writing)
    {
        struct stat status
        {
        };
        error = (fstat(slot->m_descriptor, &status) == 0) ? 0 : errno;
        value = static_cast<std::uint64_t>(status.st_size);
    }
    Release(*slot);
    if (error != 0)
    {
        return FailKernel(error);
    }
    if (value > static_cast<std::uint64_t>(INT32_MAX))
    {
        return Fail(EFBIG);
    }
    *length = static_cast<std::int32_t>(value);
    return OK;
}

int CStorageTable::Read(std::int32_t handle, std::uint32_t length, void* buffer, std::int32_t* count)
{
    if ((count == nullptr) || ((buffer == nullptr) && (length != 0u)))
    {
        return Fail(EFAULT);
    }
    CSlot* slot = Acquire(handle);
    if (slot == nullptr)
    {
        return ERROR;
    }
    if (slot->m_writing)
    {
        Release(*slot);
        return Fail(EBADF);
    }
    const std::uint32_t wanted = (length > static_cast<std::uint32_t>(INT32_MAX)) ? INT32_MAX : length;
    std::uint32_t done = 0u;
    int error = 0;
    char* bytes = static_cast<char*>(buffer);
    while ((done < wanted) && (error == 0))
    {
        const ssize_t part = read(slot->m_descriptor, bytes + done, wanted - done);
        if (part > 0)
        {
            done += static_cast<std::uint32_t>(part);
        }
        else if (part == 0)
        {
            break;
        }
        else if (errno != EINTR)
        {
            error = errno;
        }
    }
    Release(*slot);
    if (error != 0)
    {
        return FailKernel(error);
    }
    *count = static_cast<std::int32_t>(done);
    return OK;
}

int CStorageTable::Write(std::int32_t handle, std::uint32_t length, const void* data, std::int32_t* count)
{
    if ((count == nullptr) || ((data == nullptr) && (length != 0u)))
    {
        return Fail(EFAULT);
    }
    CSlot* slot = Acquire(handle);
    if (slot == nullptr)
    {
        return ERROR;
    }
    if (!slot->m_writing)
    {
        Release(*slot);
        return Fail(EBADF);
    }
    int error = 0;
    if ((length > static_cast<std::uint32_t>(INT32_MAX)) ||
        (slot->m_written + length > static_cast<std::uint64_t>(INT32_MAX)))
    {
        error = EFBIG;
    }
    std::uint32_t done = 0u;
    const char* bytes = static_cast<const char*>(data);
    while ((done < length) && (error == 0))
    {
        const ssize_t part = write(slot->m_descriptor, bytes + done, length - done);
        if (part >= 0)
        {
            done += static_cast<std::uint32_t>(part);
        }
        else if (errno != EINTR)
        {
            error = errno;
        }
    }
    slot->m_written += done;
    slot->m_spoiled = slot->m_spoiled || (error != 0);
    Release(*slot);
    if (error != 0)
    {
        return (error == EFBIG) ? Fail(EFBIG) : FailKernel(error);
    }
    *count = static_cast<std::int32_t>(done);
    return OK;
}

void CStorageTable::Spoil(std::int32_t handle)
{
    CSlot* slot = Acquire(handle);
    if (slot == nullptr)
    {
        return;
    }
    slot->m_spoiled = slot->m_spoiled || slot->m_writing;
    Release(*slot);
}
} // namespace Platform
