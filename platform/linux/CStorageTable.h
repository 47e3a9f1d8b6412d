// Open storages of the emulated kernel: a fixed handle table over files with atomic replacement on close.
#ifndef SCM_PLATFORM_LINUX_CSTORAGETABLE_H
#define SCM_PLATFORM_LINUX_CSTORAGETABLE_H

#include <array>
#include <cstdint>
#include <mutex>

#include "KernelFiles.h"

namespace Platform
{
/// Handles are 1 + slot + SlotCount * generation: small positive numbers, never the wrapper's 64254, and a
/// closed handle stays invalid until its slot has been reused a thousand times.
class CStorageTable
{
public:
    static constexpr std::size_t ms_SlotCount = 16u;
    static constexpr std::uint32_t ms_GenerationCount = 1000u;

    static CStorageTable& GetInstance();

    /// Opens storage name of the domain for reading ('r') or writing ('w'). Reading fails with ENOENT only for a
    /// missing storage or domain; a storage that is no regular file (a symbolic link, a FIFO, a directory) fails
    /// with ELOOP or EINVAL and never blocks. Writing starts an empty temporary file under an unpredictable name
    /// that replaces the storage on close.
    int Open(std::uint16_t domain, const char* name, std::int32_t mode, std::int32_t* handle);
    /// Ends the handle. A write handle replaces the storage atomically with what was written, or, when a write
    /// failed, discards it and fails (the old content stays). A write handle that wrote nothing empties an
    /// existing storage in place (its owner, group and mode stay) and creates a missing one empty.
    int Close(std::int32_t handle);
    /// The length of a read handle's storage, or the bytes written so far through a write handle.
    int GetLength(std::int32_t handle, std::int32_t* length);
    int Read(std::int32_t handle, std::uint32_t length, void* buffer, std::int32_t* count);
    int Write(std::int32_t handle, std::uint32_t length, const void* data, std::int32_t* count);
    /// Marks a write handle as failed, so that its close discards what was written.
    void Spoil(std::int32_t handle);

private:
    // The table's mutex guards only the slots' states; file operations run outside it on a slot marked busy,
    // so that a slow or stuck file never holds up another task's storage call. A handle in use by one task
    // is refused to another with EBUSY.
    enum class EState : std::uint8_t
    {
        Free,
        Busy,
        Open
    };

    struct CSlot
    {
        EState m_state;
        bool m_writing;
        bool m_spoiled;
        int m_descriptor;
        int m_directory;
        std::uint32_t m_generation;
        std::uint64_t m_written;
        char m_name[StorageNameLengthMax + 1u];
        char m_temporaryName[TemporaryNameLengthMax];
    };

    CStorageTable() = default;
    /// The slot of an open handle, marked busy; null with errno EBADF or EBUSY.
    CSlot* Acquire(std::int32_t handle);
    void Release(CSlot& slot);
    void Free(CSlot& slot);
    int CloseWriting(CSlot& slot);

    std::mutex m_mutex;
    std::array<CSlot, ms_SlotCount> m_slots{};
};

static_assert(CStorageTable::ms_SlotCount * CStorageTable::ms_GenerationCount < 64254u,
              "storage handles never meet the absent-optional-storage handle");
} // namespace Platform

#endif
