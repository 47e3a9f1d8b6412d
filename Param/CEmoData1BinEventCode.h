// Event codes of the extended machine options file.
#ifndef PARAM_CEMODATA1BINEVENTCODE_H
#define PARAM_CEMODATA1BINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CEmoData1BinEventCode
{
    enum Enum : std::uint16_t
    {
        OtherReason = ScmEmoData1BinOtherReason,
    };
};
} // namespace Param

#endif
