// Event codes of the key-medium UDID file.
#ifndef PARAM_CTESSERADATEVENTCODE_H
#define PARAM_CTESSERADATEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTesseraDatEventCode
{
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTesseraDatBufferTooShort,
        InvalidContentLength = ScmTesseraDatInvalidContentLength,
        InvalidHeaderLength = ScmTesseraDatInvalidHeaderLength,
        InvalidVersion = ScmTesseraDatInvalidVersion,
        InvalidTotalLength = ScmTesseraDatInvalidTotalLength,
        InvalidHeaderCrc = ScmTesseraDatInvalidHeaderCrc,
        InvalidUdidSectionOffset = ScmTesseraDatInvalidUdidSectionOffset,
        InvalidUdidSectionLength = ScmTesseraDatInvalidUdidSectionLength,
        InvalidUdidCrcOffset = ScmTesseraDatInvalidUdidCrcOffset,
        InvalidUdidCrcCount = ScmTesseraDatInvalidUdidCrcCount,
        InvalidUdidCrcLength = ScmTesseraDatInvalidUdidCrcLength,
        InvalidUdidCrc = ScmTesseraDatInvalidUdidCrc,
    };
};
} // namespace Param

#endif
