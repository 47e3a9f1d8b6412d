// errno translation: the one place that decides which errno a platform call reports for what the OS said.
#include "PlatformErrors.h"

#include <cerrno>

namespace Platform
{
int TranslateWaitError(int osError, int timeout)
{
    if ((osError == ETIMEDOUT) && (timeout == NO_WAIT))
    {
        return EAGAIN;
    }
    return osError;
}

int TranslateOpenError(int osError)
{
    switch (osError)
    {
    case ENFILE:
        // The system-wide limit of open files behaves for the caller like the layer's own handle table.
        return EMFILE;
    default:
        // EMFILE here also means that the user's queue memory (RLIMIT_MSGQUEUE) is used up; EINVAL that the
        // capacity or message length exceeds what the system allows; ENOENT that the object does not exist.
        return osError;
    }
}

int TranslateKernelFileError(int osError)
{
    // Only a missing file or domain is ENOENT: a file or link where a folder belongs is no absence.
    return (osError == 0) ? EIO : osError;
}

int Fail(int error)
{
    errno = error;
    return ERROR;
}
} // namespace Platform
