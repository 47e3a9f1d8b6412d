// Event codes of the parameter-stream writers.
#ifndef PARAM_CPARAMETERWRITEREVENTCODE_H
#define PARAM_CPARAMETERWRITEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParameterWriterEventCode
{
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmParameterWriterInvalidSafetyAddress,
    };
};
} // namespace Param

#endif
