// Event codes of the extended machine options file.
#ifndef PARAM_CEMODATA1BINEVENTCODE_H
#define PARAM_CEMODATA1BINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CEmoData1BinEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        OtherReason = ScmEmoData1BinOtherReason, ///< the extended machine options file is refused; information0 = a CEmoData1BinOtherReasonInformation0 reason, information1 per reason
    };
    // clang-format on
};

/// The reasons of CEmoData1BinEventCode::OtherReason, carried in information0.
struct CEmoData1BinOtherReasonInformation0
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = 1u,      ///< content longer than the buffer, of 1..63 bytes, or of 65536 bytes or more; information1 = content length
        InvalidHeaderLength = 2u, ///< header length is not 64; information1 = the value
        InvalidSectionCount = 3u, ///< section count is not 4; information1 = the value
        InvalidVersion = 4u,      ///< version is not 1; information1 = the value
        InvalidHeaderCrc = 5u,    ///< header CRC mismatch; information1 = the computed CRC
    };
    // clang-format on
};
} // namespace Param

#endif
