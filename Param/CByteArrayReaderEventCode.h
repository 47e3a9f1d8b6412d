// Event codes of the byte-array readers.
#ifndef PARAM_CBYTEARRAYREADEREVENTCODE_H
#define PARAM_CBYTEARRAYREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CByteArrayReaderEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        IncompleteDescription = ScmByteArrayReaderIncompleteDescription, ///< a parameter stream ends inside a 7-byte record head; information1 = position of the record
        IncompleteParameter = ScmByteArrayReaderIncompleteParameter, ///< parameter data runs past the end of the buffer; information0 = position after the record head (low 16 bits), information1 = declared length
        InvalidSafetyAddress = ScmByteArrayReaderInvalidSafetyAddress, ///< a UDID or minor revision record with safety address 0 or >= 1024; information1 = the address
    };
    // clang-format on
};
} // namespace Param

#endif
