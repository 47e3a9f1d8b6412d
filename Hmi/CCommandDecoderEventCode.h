// Event codes of the command decoder.
#ifndef HMI_CCOMMANDDECODEREVENTCODE_H
#define HMI_CCOMMANDDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Hmi
{
struct CCommandDecoderEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        CommandTooShort = ScmCommandDecoderCommandTooShort, ///< a header field read from fewer than 26 bytes, or the new password from fewer than 42; information1 = command length
    };
    // clang-format on
};
} // namespace Hmi

#endif
