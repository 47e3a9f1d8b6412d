// Event codes of the session.
#ifndef MAIN_CSESSIONEVENTCODE_H
#define MAIN_CSESSIONEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CSessionEventCode
{
    enum Enum : std::uint16_t
    {
        TimeoutStartTaskFailed = ScmSessionTimeoutStartTaskFailed, ///< the unlock-timeout task could not be spawned
        CurrentTimestampFailed =
            ScmSessionCurrentTimestampFailed, ///< the timeout task could not read the monotonic clock
        FrameCopiesInconsistent =
            ScmSessionFrameCopiesInconsistent, ///< a frame from the SCM differs from its decoded copy after inspection;
                                               ///< information0/1 = first two bytes of frame/copy
        LockResetFailed = ScmSessionLockResetFailed,     ///< the kernel refused the reset lock
        UnlockResetFailed = ScmSessionUnlockResetFailed, ///< the kernel refused to release the reset lock
        UnlockTimeoutExceeded =
            ScmSessionUnlockTimeoutExceeded, ///< the deadline after an unlock request has passed (PLC reset, fail-safe)
    };
};
} // namespace Main

#endif
