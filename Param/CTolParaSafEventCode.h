// Event codes of the safety parameter container.
#ifndef PARAM_CTOLPARASAFEVENTCODE_H
#define PARAM_CTOLPARASAFEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTolParaSafEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTolParaSafBufferTooShort,
        InvalidHeaderLength = ScmTolParaSafInvalidHeaderLength,
        InvalidVersion = ScmTolParaSafInvalidVersion,
        InvalidTotalLength = ScmTolParaSafInvalidTotalLength,
        InvalidScmSectionVersion = ScmTolParaSafInvalidScmSectionVersion,
        InvalidHeaderCrc = ScmTolParaSafInvalidHeaderCrc,
        InvalidScmSectionOffset = ScmTolParaSafInvalidScmSectionOffset,
        InvalidScmSectionLength = ScmTolParaSafInvalidScmSectionLength,
        InvalidScmCrcOffset = ScmTolParaSafInvalidScmCrcOffset,
        InvalidScmCrcCount = ScmTolParaSafInvalidScmCrcCount,
        InvalidScmCrcLength = ScmTolParaSafInvalidScmCrcLength,
        InvalidScmCrc = ScmTolParaSafInvalidScmCrc,
    };
};
} // namespace Param

#endif
