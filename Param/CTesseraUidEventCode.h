// Event codes of the key-medium identity file.
#ifndef PARAM_CTESSERAUIDEVENTCODE_H
#define PARAM_CTESSERAUIDEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTesseraUidEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTesseraUidBufferTooShort,
        InvalidVersion = ScmTesseraUidInvalidVersion,
    };
};
} // namespace Param

#endif
