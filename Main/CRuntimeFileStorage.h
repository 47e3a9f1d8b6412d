// The domain's named storages over the kernel's storage services.
#ifndef MAIN_CRUNTIMEFILESTORAGE_H
#define MAIN_CRUNTIMEFILESTORAGE_H

#include <cstdint>

#include "Main/CFileStorage.h"

namespace Main
{
/// Storages of the safety domain given by GetSafetyDomainNumber(), read anew at each call. No handle is kept
/// between calls; after a failure in the middle of an operation the storage is closed before the exception
/// leaves (the result of that closing is ignored). The absent optional files "pardata1.bin" and "emodata1.bin"
/// read as empty. Null storage names, buffers and contents raise 0xE200.
class CRuntimeFileStorage : public CFileStorage
{
public:
    CRuntimeFileStorage() = default;

    std::uint32_t GetLength(const char* storageName) const override;
    std::uint32_t Read(const char* storageName, std::uint32_t contentBufferLength, void* contentBuffer) const override;
    void Write(const char* storageName, std::uint32_t contentLength, const void* content) const override;
    void Delete(const char* storageName) const override;
};
} // namespace Main

#endif
