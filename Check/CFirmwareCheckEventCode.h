// Event codes of the firmware check.
#ifndef CHECK_CFIRMWARECHECKEVENTCODE_H
#define CHECK_CFIRMWARECHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CFirmwareCheckEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmFirmwareCheckInvalidSafetyAddress, ///< a checker operation gets, or a configured-version or acknowledged record holds, an address 0 or above 1023; information1 = the address
        InvalidParameterLength = ScmFirmwareCheckInvalidParameterLength, ///< an upload answer for 0x1018 sub-index 1, 2 or 3 carries other than 4 data bytes; information0 = the address, information1 = the data length
        InvalidVersion = ScmFirmwareCheckInvalidVersion, ///< a configured, acknowledged or discovered vendor id, product code, major or minor revision of 0; information1 = the address
        InvalidState = ScmFirmwareCheckInvalidState, ///< SN set to operational for a module without vendor information since its last SADR assignment, or not matching; information0 = the address, information1 = the module flags
    };
    // clang-format on
};
} // namespace Check

#endif
