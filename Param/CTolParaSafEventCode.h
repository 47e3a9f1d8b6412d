// Event codes of the safety parameter container.
#ifndef PARAM_CTOLPARASAFEVENTCODE_H
#define PARAM_CTOLPARASAFEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTolParaSafEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTolParaSafBufferTooShort, ///< content longer than the buffer (information0 = capacity, low 16 bits) or of 1..63 bytes (information0 = 0); information1 = content length
        InvalidHeaderLength = ScmTolParaSafInvalidHeaderLength, ///< header length is not 64; information1 = the value
        InvalidVersion = ScmTolParaSafInvalidVersion, ///< version is not 0x200; information1 = the value
        InvalidTotalLength = ScmTolParaSafInvalidTotalLength, ///< total length differs from the content length; information1 = the value
        InvalidScmSectionVersion = ScmTolParaSafInvalidScmSectionVersion, ///< SCM section version is not 0x101; information1 = the value
        InvalidHeaderCrc = ScmTolParaSafInvalidHeaderCrc, ///< header CRC mismatch; information1 = the stored CRC
        InvalidScmSectionOffset = ScmTolParaSafInvalidScmSectionOffset, ///< SCM section offset below 64; information1 = the offset
        InvalidScmSectionLength = ScmTolParaSafInvalidScmSectionLength, ///< SCM section runs past the content; information1 = the section length
        InvalidScmCrcOffset = ScmTolParaSafInvalidScmCrcOffset, ///< SCM CRCs overlap the section; information1 = the CRC offset
        InvalidScmCrcCount = ScmTolParaSafInvalidScmCrcCount, ///< CRC count differs from the number of 16384-byte blocks; information1 = the CRC count
        InvalidScmCrcLength = ScmTolParaSafInvalidScmCrcLength, ///< SCM CRCs run past the content; information1 = the CRC count
        InvalidScmCrc = ScmTolParaSafInvalidScmCrc, ///< a block CRC of the SCM section mismatches; information1 = the computed CRC
    };
    // clang-format on
};
} // namespace Param

#endif
