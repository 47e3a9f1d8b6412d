// The domain's named storages in memory.
#include "fuzz/session/CMemoryFileStorage.h"

#include <cstring>

#include "Main/CFileStorageEventCode.h"
#include "Util/CException.h"

namespace Fuzz
{
namespace
{
constexpr std::uint32_t ReadMode = 114u;
constexpr std::uint32_t WriteMode = 119u;
} // namespace

CMemoryFileStorage::CMemoryFileStorage(std::map<std::string, std::vector<std::uint8_t>> storages)
    : m_storages(std::move(storages))
{
}

const std::vector<std::uint8_t>& CMemoryFileStorage::Find(const char* storageName) const
{
    const auto storage = m_storages.find(storageName);
    if (storage == m_storages.end())
    {
        throw Util::CException(Main::CFileStorageEventCode::OpenFailed, ReadMode);
    }
    return storage->second;
}

std::uint32_t CMemoryFileStorage::GetLength(const char* storageName) const
{
    return static_cast<std::uint32_t>(Find(storageName).size());
}

std::uint32_t CMemoryFileStorage::Read(const char* storageName, std::uint32_t contentBufferLength,
                                       void* contentBuffer) const
{
    const std::vector<std::uint8_t>& content = Find(storageName);
    const auto length = static_cast<std::uint32_t>(content.size());
    if (length > contentBufferLength)
    {
        throw Util::CException(Main::CFileStorageEventCode::BufferTooShort, length);
    }
    if (length != 0u)
    {
        std::memcpy(contentBuffer, content.data(), length);
    }
    return length;
}

void CMemoryFileStorage::Write(const char* storageName, std::uint32_t contentLength, const void* content) const
{
    if (m_storages.find(storageName) == m_storages.end())
    {
        throw Util::CException(Main::CFileStorageEventCode::OpenFailed, WriteMode);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(content);
    m_storages[storageName].assign(bytes, bytes + contentLength);
}

void CMemoryFileStorage::Delete(const char* storageName) const
{
    if (m_storages.find(storageName) == m_storages.end())
    {
        throw Util::CException(Main::CFileStorageEventCode::OpenFailed, WriteMode);
    }
    m_storages[storageName].clear();
}
} // namespace Fuzz
