// Event codes of the command decoder.
#ifndef HMI_CCOMMANDDECODEREVENTCODE_H
#define HMI_CCOMMANDDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Hmi
{
struct CCommandDecoderEventCode
{
    enum Enum : std::uint16_t
    {
        CommandTooShort = ScmCommandDecoderCommandTooShort,
    };
};
} // namespace Hmi

#endif
