// Event codes of the parameter-stream readers.
#ifndef PARAM_CPARAMETERREADEREVENTCODE_H
#define PARAM_CPARAMETERREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParameterReaderEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidLength = ScmParameterReaderInvalidLength,
        WrongOrder = ScmParameterReaderWrongOrder,
        InvalidSafetyAddress = ScmParameterReaderInvalidSafetyAddress,
    };
};
} // namespace Param

#endif
