// Event codes of the UDID check.
#ifndef CHECK_CUDIDCHECKEVENTCODE_H
#define CHECK_CUDIDCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CUdidCheckEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmUdidCheckInvalidSafetyAddress, ///< a checker operation gets, or a required-address or acknowledged-UDID record holds, an address 0 or above 1023; information1 = the address
        NoModuleForEncoder = ScmUdidCheckNoModuleForEncoder, ///< an encoder reported (in)consistent at an address without a discovered module; information1 = the address
        InvalidUdid = ScmUdidCheckInvalidUdid, ///< an acknowledged-UDID record or a discovered module carries the all-zero UDID; information1 = the address
        DuplicateUdid = ScmUdidCheckDuplicateUdid, ///< acknowledgement refused, nothing changed: a required, discovered module shares its UDID; information1 = the lowest such address
        InvalidState = ScmUdidCheckInvalidState, ///< SN set to operational for a module without a UDID report since its last SADR assignment, or not valid; information0 = the address, information1 = the module flags
    };
    // clang-format on
};
} // namespace Check

#endif
