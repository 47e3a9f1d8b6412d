// Event codes of the additional-parameter header readers.
#ifndef PARAM_CADDITIONALPARAMETERREADEREVENTCODE_H
#define PARAM_CADDITIONALPARAMETERREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CAdditionalParameterReaderEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidLength = ScmAdditionalParameterReaderInvalidLength,
        InvalidSafetyAddress = ScmAdditionalParameterReaderInvalidSafetyAddress,
        InvalidParameterNumber = ScmAdditionalParameterReaderInvalidParameterNumber,
        OtherReason = ScmAdditionalParameterReaderOtherReason,
    };
};
} // namespace Param

#endif
