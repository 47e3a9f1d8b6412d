// Event codes of the response decoder.
#ifndef HMI_CRESPONSEDECODEREVENTCODE_H
#define HMI_CRESPONSEDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Hmi
{
struct CResponseDecoderEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        ResponseTooShort = ScmResponseDecoderResponseTooShort, ///< selector or command read from fewer than 13 bytes, a status field from fewer than 280 (older) or 52 (newer) bytes, a diagnosis field from fewer than 18; information1 = response length
    };
    // clang-format on
};
} // namespace Hmi

#endif
