// Event codes of the parameter check.
#ifndef CHECK_CPARAMETERCHECKEVENTCODE_H
#define CHECK_CPARAMETERCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CParameterCheckEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmParameterCheckInvalidSafetyAddress,
        InvalidParameterLength = ScmParameterCheckInvalidParameterLength,
        InvalidChecksum = ScmParameterCheckInvalidChecksum,
        InvalidState = ScmParameterCheckInvalidState,
    };
};
} // namespace Check

#endif
