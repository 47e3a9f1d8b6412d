// Event codes of the process image tester.
#ifndef UTIL_CPROCESSIMAGEEVENTCODE_H
#define UTIL_CPROCESSIMAGEEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Util
{
struct CProcessImageEventCode
{
    enum Enum : std::uint16_t
    {
        BlockCrcMismatch = ScmProcessImageBlockCrcMismatch, ///< a block's recomputed CRC differs from its reference;
                                                            ///< information0 = section, information1 = block
    };
};
} // namespace Util

#endif
