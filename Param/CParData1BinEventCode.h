// Event codes of the parameter data file.
#ifndef PARAM_CPARDATA1BINEVENTCODE_H
#define PARAM_CPARDATA1BINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParData1BinEventCode
{
    enum Enum : std::uint16_t
    {
        OtherReason = ScmParData1BinOtherReason,
    };
};
} // namespace Param

#endif
