// Event codes of the process start-up and the check task.
#ifndef MAIN_CSTARTEVENTCODE_H
#define MAIN_CSTARTEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CStartEventCode
{
    enum Enum : std::uint16_t
    {
        ExecutableCorrupted = ScmStartExecutableCorrupted, ///< self-verification of the executable failed; information
                                                           ///< from the verification
        ScmRevisionMismatch = ScmStartScmRevisionMismatch, ///< the SCM's revision number differs from the checker's;
                                                           ///< information1 = the SCM's number
        StartTaskFailed = ScmStartStartTaskFailed,         ///< the check task could not be spawned
        ExcessiveDelay = ScmStartExcessiveDelay, ///< more than 10 s between two cycle starts (warning); information0 =
                                                 ///< domain, information1 = microseconds. Also at start-up when the
                                                 ///< host refused real-time provisions, so cycles may be late
                                                 ///< (warning); information0 = 0 (never a domain), information1 =
                                                 ///< PROCESS_REFUSED_ bits of processLib.h (1 real-time scheduling,
                                                 ///< 2 memory locking)
        SemaphoreFailed = ScmStartSemaphoreFailed, ///< semaphore open/give/take failed; information0 = 0 open to-SCM, 1
                                                   ///< open from-SCM, 2 give, 3 take; information1 = errno
    };
};
} // namespace Main

#endif
