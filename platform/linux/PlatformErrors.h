// errno translation: the one place that decides which errno a platform call reports for what the OS said.
#ifndef SCM_PLATFORM_LINUX_PLATFORMERRORS_H
#define SCM_PLATFORM_LINUX_PLATFORMERRORS_H

#include "vxWorks.h"

namespace Platform
{
/// The errno that a queue or semaphore wait reports: the OS's ETIMEDOUT is EAGAIN for a NO_WAIT call (nothing
/// was there at once) and ETIMEDOUT for a call that waited; everything else passes unchanged.
int TranslateWaitError(int osError, int timeout);

/// The errno that msgQOpen or semOpen reports when the OS refuses to open or create a named object.
int TranslateOpenError(int osError);

/// The errno that a kernel service reports for a failed file operation of the emulated kernel.
int TranslateKernelFileError(int osError);

/// Sets errno and returns ERROR.
int Fail(int error);

/// Sets errno and returns a null handle of the caller's type.
template <typename T> T* FailNull(int error)
{
    (void)Fail(error);
    return nullptr;
}
} // namespace Platform

#endif
