// Event codes of the runtime file storage.
#ifndef MAIN_CFILESTORAGEEVENTCODE_H
#define MAIN_CFILESTORAGEEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CFileStorageEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort =
            ScmFileStorageBufferTooShort, ///< content longer than the caller's buffer; information1 = content length
        OpenFailed = ScmFileStorageOpenFailed, ///< the storage could not be opened; information1 = mode character (114
                                               ///< read, 119 write)
        GetLengthFailed = ScmFileStorageGetLengthFailed, ///< the length could not be read
        ReadFailed = ScmFileStorageReadFailed,           ///< the read did not return the whole content
        WriteFailed = ScmFileStorageWriteFailed,         ///< the write did not take the whole content
        CloseFailed = ScmFileStorageCloseFailed,         ///< closing reported an error after otherwise successful work
    };
};
} // namespace Main

#endif
