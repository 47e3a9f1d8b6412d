// Open storages of the emulated kernel: a fixed handle table over files with atomic replacement on close.
#include "CStorageTable.h"

#include <cerrno>
#include <climits>
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
constexpr mode_t StoragePermissions = 0640;

int FailKernel(int osError)
{
    return Fail(TranslateKernelFileError(osError));
}
} // namespace

CStorageTable& CStorageTable::GetInstance()
{
    static CStorageTable instance;
    return instance;
}

CStorageTable::CSlot* CStorageTable::Find(std::int32_t handle)
{
    if (handle <= 0)
    {
        return nullptr;
    }
    const auto number = static_cast<std::uint32_t>(handle - 1);
    CSlot& slot = m_slots[number % ms_SlotCount];
    return (slot.m_inUse && (slot.m_generation == number / ms_SlotCount)) ? &slot : nullptr;
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
    if (!CheckDomainExists(domain))
    {
        return ERROR;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t index = 0u;
    while ((index < ms_SlotCount) && m_slots[index].m_inUse)
    {
        ++index;
    }
    if (index == ms_SlotCount)
    {
        return Fail(EMFILE);
    }
    CSlot& slot = m_slots[index];
    char entry[StorageNameLengthMax + 16u];
    if (!FormatText(entry, sizeof(entry), "storage/%s", name) ||
        !GetDomainPath(domain, entry, slot.m_path, sizeof(slot.m_path)))
    {
        return ERROR;
    }
    if (mode == ReadMode)
    {
        slot.m_descriptor = open(slot.m_path, O_RDONLY | O_CLOEXEC);
        slot.m_temporaryPath[0] = '\0';
    }
    else
    {
        if (!GetTemporaryPath(slot.m_path, slot.m_temporaryPath, sizeof(slot.m_temporaryPath)))
        {
            return ERROR;
        }
        slot.m_descriptor = open(slot.m_temporaryPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, StoragePermissions);
    }
    if (slot.m_descriptor < 0)
    {
        return FailKernel(errno);
    }
    slot.m_inUse = true;
    slot.m_writing = (mode == WriteMode);
    slot.m_spoiled = false;
    slot.m_written = 0u;
    *handle = static_cast<std::int32_t>(index + 1u + ms_SlotCount * slot.m_generation);
    return OK;
}

int CStorageTable::Close(std::int32_t handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot* slot = Find(handle);
    if (slot == nullptr)
    {
        return Fail(EBADF);
    }
    slot->m_inUse = false;
    slot->m_generation = (slot->m_generation + 1u) % ms_GenerationCount;
    if (!slot->m_writing)
    {
        (void)close(slot->m_descriptor);
        return OK;
    }
    // Flushed before the rename: after a crash the storage holds the old or the new content, never a part.
    int error = slot->m_spoiled ? EIO : 0;
    if ((error == 0) && (fsync(slot->m_descriptor) != 0))
    {
        error = errno;
    }
    if ((close(slot->m_descriptor) != 0) && (error == 0))
    {
        error = errno;
    }
    if ((error == 0) && (rename(slot->m_temporaryPath, slot->m_path) != 0))
    {
        error = errno;
    }
    if (error != 0)
    {
        (void)unlink(slot->m_temporaryPath);
        return FailKernel(error);
    }
    SyncParentDirectory(slot->m_path);
    return OK;
}

int CStorageTable::GetLength(std::int32_t handle, std::int32_t* length)
{
    if (length == nullptr)
    {
        return Fail(EFAULT);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot* slot = Find(handle);
    if (slot == nullptr)
    {
        return Fail(EBADF);
    }
    std::uint64_t value = slot->m_written;
    if (!slot->m_writing)
    {
        struct stat status
        {
        };
        if (fstat(slot->m_descriptor, &status) != 0)
        {
            return FailKernel(errno);
        }
        value = static_cast<std::uint64_t>(status.st_size);
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
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot* slot = Find(handle);
    if ((slot == nullptr) || slot->m_writing)
    {
        return Fail(EBADF);
    }
    const std::uint32_t wanted = (length > static_cast<std::uint32_t>(INT32_MAX)) ? INT32_MAX : length;
    std::uint32_t done = 0u;
    char* bytes = static_cast<char*>(buffer);
    while (done < wanted)
    {
        const ssize_t part = read(slot->m_descriptor, bytes + done, wanted - done);
        if (part < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return FailKernel(errno);
        }
        if (part == 0)
        {
            break;
        }
        done += static_cast<std::uint32_t>(part);
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
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot* slot = Find(handle);
    if ((slot == nullptr) || !slot->m_writing)
    {
        return Fail(EBADF);
    }
    if ((length > static_cast<std::uint32_t>(INT32_MAX)) ||
        (slot->m_written + length > static_cast<std::uint64_t>(INT32_MAX)))
    {
        slot->m_spoiled = true;
        return Fail(EFBIG);
    }
    std::uint32_t done = 0u;
    const char* bytes = static_cast<const char*>(data);
    while (done < length)
    {
        const ssize_t part = write(slot->m_descriptor, bytes + done, length - done);
        if (part < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            slot->m_spoiled = true;
            return FailKernel(errno);
        }
        done += static_cast<std::uint32_t>(part);
    }
    slot->m_written += done;
    *count = static_cast<std::int32_t>(done);
    return OK;
}

void CStorageTable::Spoil(std::int32_t handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CSlot* slot = Find(handle);
    if ((slot != nullptr) && slot->m_writing)
    {
        slot->m_spoiled = true;
    }
}
} // namespace Platform
