// Interface of the domain's named storages: whole-file length, read, write and delete.
#ifndef MAIN_CFILESTORAGE_H
#define MAIN_CFILESTORAGE_H

#include <cstdint>

namespace Main
{
/// Named storages of the process's safety domain ("tessera.dat", "fwrevcnf.bin.chk", ...). Every operation opens
/// the storage, does its work and closes it again; failures raise Util::CException with a code of
/// Main::CFileStorageEventCode, null pointers raise 0xE200.
class CFileStorage
{
public:
    virtual ~CFileStorage() = default;

    /// The content length in bytes. Raises OpenFailed (information1 = 114), GetLengthFailed, CloseFailed.
    virtual std::uint32_t GetLength(const char* storageName) const = 0;

    /// Reads the whole content into contentBuffer and returns its length; a buffer larger than the content is
    /// fine. Raises OpenFailed (information1 = 114), GetLengthFailed, BufferTooShort (information1 = the content
    /// length; nothing is read), ReadFailed, CloseFailed.
    virtual std::uint32_t Read(const char* storageName, std::uint32_t contentBufferLength,
                               void* contentBuffer) const = 0;

    /// Replaces the content with contentLength bytes. Raises OpenFailed (information1 = 119), WriteFailed,
    /// CloseFailed.
    virtual void Write(const char* storageName, std::uint32_t contentLength, const void* content) const = 0;

    /// Leaves the storage without content. Raises OpenFailed (information1 = 119), CloseFailed.
    virtual void Delete(const char* storageName) const = 0;

protected:
    CFileStorage() = default;
    CFileStorage(const CFileStorage&) = default;
    CFileStorage& operator=(const CFileStorage&) = default;
};
} // namespace Main

#endif
