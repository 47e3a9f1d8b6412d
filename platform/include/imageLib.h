/* Read access to this process's own executable file, for the start-up self-verification. */
#ifndef SCM_PLATFORM_IMAGELIB_H
#define SCM_PLATFORM_IMAGELIB_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

    /**
     * Reads up to length bytes of the running executable's file, starting at offset. Returns the number of bytes
     * read (0 at the end of the file), or ERROR with errno. Does not block beyond the file read itself.
     */
    ssize_t imageReadExecutable(uint64_t offset, void* buffer, size_t length);

#ifdef __cplusplus
}
#endif

#endif
