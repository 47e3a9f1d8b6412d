// Event codes of the response decoder.
#ifndef HMI_CRESPONSEDECODEREVENTCODE_H
#define HMI_CRESPONSEDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Hmi
{
struct CResponseDecoderEventCode
{
    enum Enum : std::uint16_t
    {
        ResponseTooShort = ScmResponseDecoderResponseTooShort,
    };
};
} // namespace Hmi

#endif
