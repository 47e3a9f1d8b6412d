// Event codes of the key-medium UDID file.
#ifndef PARAM_CTESSERADATEVENTCODE_H
#define PARAM_CTESSERADATEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CTesseraDatEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = ScmTesseraDatBufferTooShort, ///< content longer than the buffer, or a check-copy buffer shorter than the header; information0 = capacity (low 16 bits), information1 = content length (64 for the buffer)
        InvalidContentLength = ScmTesseraDatInvalidContentLength, ///< content of 1..63 bytes; information1 = content length
        InvalidHeaderLength = ScmTesseraDatInvalidHeaderLength, ///< header length is not 64; information1 = the value
        InvalidVersion = ScmTesseraDatInvalidVersion, ///< version is not 2; information1 = the value
        InvalidTotalLength = ScmTesseraDatInvalidTotalLength, ///< total length differs from the content length; information1 = the value
        InvalidHeaderCrc = ScmTesseraDatInvalidHeaderCrc, ///< header CRC mismatch; information1 = the computed CRC
        InvalidUdidSectionOffset = ScmTesseraDatInvalidUdidSectionOffset, ///< UDID section starts inside the header; information1 = section offset
        InvalidUdidSectionLength = ScmTesseraDatInvalidUdidSectionLength, ///< UDID section runs past the content; information1 = section length
        InvalidUdidCrcOffset = ScmTesseraDatInvalidUdidCrcOffset, ///< section CRCs overlap the section; information1 = CRC offset
        InvalidUdidCrcCount = ScmTesseraDatInvalidUdidCrcCount, ///< CRC count is not one per started 16384-byte block; information1 = CRC count
        InvalidUdidCrcLength = ScmTesseraDatInvalidUdidCrcLength, ///< section CRCs run past the content; information1 = CRC count
        InvalidUdidCrc = ScmTesseraDatInvalidUdidCrc, ///< a block CRC of the UDID section mismatches; information1 = the computed CRC
    };
    // clang-format on
};
} // namespace Param

#endif
