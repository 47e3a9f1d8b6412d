// Event codes of the UDID check.
#ifndef CHECK_CUDIDCHECKEVENTCODE_H
#define CHECK_CUDIDCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CUdidCheckEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmUdidCheckInvalidSafetyAddress,
        NoModuleForEncoder = ScmUdidCheckNoModuleForEncoder,
        InvalidUdid = ScmUdidCheckInvalidUdid,
        DuplicateUdid = ScmUdidCheckDuplicateUdid,
        InvalidState = ScmUdidCheckInvalidState,
    };
};
} // namespace Check

#endif
