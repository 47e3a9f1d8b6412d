// Event codes of the firmware check.
#ifndef CHECK_CFIRMWARECHECKEVENTCODE_H
#define CHECK_CFIRMWARECHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CFirmwareCheckEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmFirmwareCheckInvalidSafetyAddress,
        InvalidParameterLength = ScmFirmwareCheckInvalidParameterLength,
        InvalidVersion = ScmFirmwareCheckInvalidVersion,
        InvalidState = ScmFirmwareCheckInvalidState,
    };
};
} // namespace Check

#endif
