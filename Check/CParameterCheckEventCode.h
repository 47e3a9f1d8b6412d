// Event codes of the parameter check.
#ifndef CHECK_CPARAMETERCHECKEVENTCODE_H
#define CHECK_CPARAMETERCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CParameterCheckEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmParameterCheckInvalidSafetyAddress, ///< a checker operation gets, or a configured-checksum record holds, an address 0 or above 1023; information1 = the address
        InvalidParameterLength = ScmParameterCheckInvalidParameterLength, ///< an upload segment would take the checksum past 256 bytes (information1 = the segment length), or a downloaded checksum entry declares more than 256 bytes (information1 = the declared length); information0 = the address
        InvalidChecksum = ScmParameterCheckInvalidChecksum, ///< a configured checksum below 4 or above 256 bytes or not a multiple of 4, or a reported one above 256 bytes or not a multiple of 4; information0 = the address, information1 = the length
        InvalidState = ScmParameterCheckInvalidState, ///< SN set to operational for a module without a checksum since its last SADR assignment, or whose checksum differs; information0 = the address, information1 = the module flags
    };
    // clang-format on
};
} // namespace Check

#endif
