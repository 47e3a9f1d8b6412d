// Event codes of the safety frame decoder.
#ifndef EPLS_CFRAMEDECODEREVENTCODE_H
#define EPLS_CFRAMEDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Epls
{
struct CFrameDecoderEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        FrameTooShort = ScmFrameDecoderFrameTooShort, ///< a frame or a predicate's frame shorter than 11 bytes; information1 = frame length
        InvalidLength = ScmFrameDecoderInvalidLength, ///< frame longer or shorter than its LE requires, or LE too short for what the frame's class reads
        InvalidCrc = ScmFrameDecoderInvalidCrc, ///< CRC 1, or CRC 2 over the UDID-decoded sub-frame 2, mismatches
        InconsistentPayload = ScmFrameDecoderInconsistentPayload, ///< the two payload copies of a basic frame differ
        SpdoNotAllowed = ScmFrameDecoderSpdoNotAllowed, ///< the frame is an SPDO (identifier 0x30 to 0x37)
        InvalidFrameType = ScmFrameDecoderInvalidFrameType, ///< identifier outside the SNMT, SSDO and SPDO groups; information1 = the identifier
    };
    // clang-format on
};
} // namespace Epls

#endif
