// Event codes of the key-medium identity file.
#ifndef PARAM_CTESSERAUIDEVENTCODE_H
#define PARAM_CTESSERAUIDEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTesseraUidEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTesseraUidBufferTooShort, ///< content of 1..17 bytes (information1 = content length), longer than the buffer (information0 = capacity, low 16 bits; information1 = content length), or a check-copy buffer below 18 bytes (information1 = capacity)
        InvalidVersion = ScmTesseraUidInvalidVersion, ///< version is not 0x100; information1 = the value
    };
    // clang-format on
};
} // namespace Param

#endif
