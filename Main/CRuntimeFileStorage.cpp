// The domain's named storages over the kernel's storage services.
#include "Main/CRuntimeFileStorage.h"

#include "Main/CFileStorageEventCode.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CRuntimeFileStorage.cpp");

std::int32_t OpenStorage(const char* storageName, ScmOpenStorageMode mode)
{
    const std::int32_t handle = ScmOpenStorage(GetSafetyDomainNumber(), storageName, mode);
    if (handle == -1)
    {
        throw Util::CException(Main::CFileStorageEventCode::OpenFailed, static_cast<std::uint32_t>(mode));
    }
    return handle;
}

// The operation has already failed: the close result cannot add anything to the exception that follows.
void CloseAfterFailure(std::int32_t handle)
{
    (void)ScmCloseStorage(handle);
}

void CloseStorage(std::int32_t handle)
{
    if (ScmCloseStorage(handle) != 0)
    {
        throw Util::CException(Main::CFileStorageEventCode::CloseFailed);
    }
}

std::uint32_t GetOpenStorageLength(std::int32_t handle)
{
    const std::int32_t length = ScmGetStorageLength(handle);
    if (length < 0)
    {
        CloseAfterFailure(handle);
        throw Util::CException(Main::CFileStorageEventCode::GetLengthFailed);
    }
    return static_cast<std::uint32_t>(length);
}
} // namespace

namespace Main
{
std::uint32_t CRuntimeFileStorage::GetLength(const char* storageName) const
{
    SCM_GUARD(storageName != nullptr);
    const std::int32_t handle = OpenStorage(storageName, ScmReadStorageMode);
    const std::uint32_t length = GetOpenStorageLength(handle);
    CloseStorage(handle);
    return length;
}

std::uint32_t CRuntimeFileStorage::Read(const char* storageName, std::uint32_t contentBufferLength,
                                        void* contentBuffer) const
{
    SCM_GUARD(storageName != nullptr);
    SCM_GUARD(contentBuffer != nullptr);
    const std::int32_t handle = OpenStorage(storageName, ScmReadStorageMode);
    const std::uint32_t length = GetOpenStorageLength(handle);
    if (length > contentBufferLength)
    {
        CloseAfterFailure(handle);
        throw Util::CException(CFileStorageEventCode::BufferTooShort, length);
    }
    const std::int32_t count = ScmReadStorage(handle, length, contentBuffer);
    if ((count < 0) || (static_cast<std::uint32_t>(count) != length))
    {
        CloseAfterFailure(handle);
        throw Util::CException(CFileStorageEventCode::ReadFailed);
    }
    CloseStorage(handle);
    return length;
}

void CRuntimeFileStorage::Write(const char* storageName, std::uint32_t contentLength, const void* content) const
{
    SCM_GUARD(storageName != nullptr);
    SCM_GUARD(content != nullptr);
    const std::int32_t handle = OpenStorage(storageName, ScmWriteStorageMode);
    const std::int32_t count = ScmWriteStorage(handle, contentLength, content);
    if ((count < 0) || (static_cast<std::uint32_t>(count) != contentLength))
    {
        CloseAfterFailure(handle);
        throw Util::CException(CFileStorageEventCode::WriteFailed);
    }
    CloseStorage(handle);
}

void CRuntimeFileStorage::Delete(const char* storageName) const
{
    SCM_GUARD(storageName != nullptr);
    // A storage opened for writing and closed without data is left without content.
    const std::int32_t handle = OpenStorage(storageName, ScmWriteStorageMode);
    CloseStorage(handle);
}
} // namespace Main
