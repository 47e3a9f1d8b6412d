// Event codes of the byte-array readers.
#ifndef PARAM_CBYTEARRAYREADEREVENTCODE_H
#define PARAM_CBYTEARRAYREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CByteArrayReaderEventCode
{
    enum Enum : std::uint16_t
    {
        IncompleteDescription = ScmByteArrayReaderIncompleteDescription,
        IncompleteParameter = ScmByteArrayReaderIncompleteParameter,
        InvalidSafetyAddress = ScmByteArrayReaderInvalidSafetyAddress,
    };
};
} // namespace Param

#endif
