// Event codes of the byte-array writers.
#ifndef PARAM_CBYTEARRAYWRITEREVENTCODE_H
#define PARAM_CBYTEARRAYWRITEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CByteArrayWriterEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmByteArrayWriterBufferTooShort, ///< a record does not fit the writer's buffer; information0 = write position (low 16 bits), information1 = buffer length
        InvalidSafetyAddress = ScmByteArrayWriterInvalidSafetyAddress, ///< a minor revision record with safety address 0 or >= 1024; information1 = the address
    };
    // clang-format on
};
} // namespace Param

#endif
