// Event codes of the additional-parameter check.
#ifndef CHECK_CADDITIONALPARAMETERCHECKEVENTCODE_H
#define CHECK_CADDITIONALPARAMETERCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CAdditionalParameterCheckEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmAdditionalParameterCheckInvalidSafetyAddress,
        InvalidAdditionalParameterNumber = ScmAdditionalParameterCheckInvalidAdditionalParameterNumber,
        UnknownAdditionalParameter = ScmAdditionalParameterCheckUnknownAdditionalParameter,
        InvalidAdditionalParameter = ScmAdditionalParameterCheckInvalidAdditionalParameter,
    };
};
} // namespace Check

#endif
