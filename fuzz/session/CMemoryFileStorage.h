// The domain's named storages in memory, so that every fuzz run starts from the same files.
#ifndef FUZZ_SESSION_CMEMORYFILESTORAGE_H
#define FUZZ_SESSION_CMEMORYFILESTORAGE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Main/CFileStorage.h"

namespace Fuzz
{
/// Behaves as the runtime's storage: a missing storage cannot be opened (OpenFailed, 114 or 119 as the mode),
/// a buffer shorter than the content is refused (BufferTooShort, the content length), a write replaces the content.
class CMemoryFileStorage : public Main::CFileStorage
{
public:
    explicit CMemoryFileStorage(std::map<std::string, std::vector<std::uint8_t>> storages);

    std::uint32_t GetLength(const char* storageName) const override;
    std::uint32_t Read(const char* storageName, std::uint32_t contentBufferLength, void* contentBuffer) const override;
    void Write(const char* storageName, std::uint32_t contentLength, const void* content) const override;
    void Delete(const char* storageName) const override;

private:
    const std::vector<std::uint8_t>& Find(const char* storageName) const;

    // The interface's operations are const, as a storage's content is not the object's state.
    mutable std::map<std::string, std::vector<std::uint8_t>> m_storages;
};
} // namespace Fuzz

#endif
