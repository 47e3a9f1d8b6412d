// Event codes of the parameter-stream readers.
#ifndef PARAM_CPARAMETERREADEREVENTCODE_H
#define PARAM_CPARAMETERREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParameterReaderEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidLength = ScmParameterReaderInvalidLength, ///< a module or UDID entry of the wrong length, or a checksum longer than 256 bytes; information0 = sub-index (1, 2, 3, 4, 14; 0 for UDID entries), information1 = length
        WrongOrder = ScmParameterReaderWrongOrder, ///< a revision or checksum entry before the safety address (and, for revisions, vendor id and product code) of its index; information1 = the index
        InvalidSafetyAddress = ScmParameterReaderInvalidSafetyAddress, ///< sub-index 1 of a module entry holds safety address 0 or >= 1024; information1 = the address
    };
    // clang-format on
};
} // namespace Param

#endif
