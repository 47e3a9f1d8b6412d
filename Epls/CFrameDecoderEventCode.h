// Event codes of the safety frame decoder.
#ifndef EPLS_CFRAMEDECODEREVENTCODE_H
#define EPLS_CFRAMEDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Epls
{
struct CFrameDecoderEventCode
{
    enum Enum : std::uint16_t
    {
        FrameTooShort = ScmFrameDecoderFrameTooShort,
        InvalidLength = ScmFrameDecoderInvalidLength,
        InvalidCrc = ScmFrameDecoderInvalidCrc,
        InconsistentPayload = ScmFrameDecoderInconsistentPayload,
        SpdoNotAllowed = ScmFrameDecoderSpdoNotAllowed,
        InvalidFrameType = ScmFrameDecoderInvalidFrameType,
    };
};
} // namespace Epls

#endif
