// Event codes of the byte-array writers.
#ifndef PARAM_CBYTEARRAYWRITEREVENTCODE_H
#define PARAM_CBYTEARRAYWRITEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CByteArrayWriterEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmByteArrayWriterBufferTooShort,
        InvalidSafetyAddress = ScmByteArrayWriterInvalidSafetyAddress,
    };
};
} // namespace Param

#endif
