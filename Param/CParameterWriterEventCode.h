// Event codes of the parameter-stream writers.
#ifndef PARAM_CPARAMETERWRITEREVENTCODE_H
#define PARAM_CPARAMETERWRITEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParameterWriterEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmParameterWriterInvalidSafetyAddress, ///< the UDID writer is given safety address 0 or >= 1024; information1 = the address
    };
    // clang-format on
};
} // namespace Param

#endif
