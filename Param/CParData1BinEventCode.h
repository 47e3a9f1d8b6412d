// Event codes of the parameter data file.
#ifndef PARAM_CPARDATA1BINEVENTCODE_H
#define PARAM_CPARDATA1BINEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CParData1BinEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        OtherReason = ScmParData1BinOtherReason, ///< the parameter data file is refused; information0 = a CParData1BinOtherReasonInformation0 reason, information1 per reason
    };
    // clang-format on
};

/// The reasons of CParData1BinEventCode::OtherReason, carried in information0.
struct CParData1BinOtherReasonInformation0
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        BufferTooShort = 1u,      ///< content longer than the buffer or of 1..63 bytes; information1 = content length
        InvalidHeaderLength = 2u, ///< header length is not 64; information1 = the value
        InvalidVersion = 3u,      ///< version neither 0x100 nor 0x200; information1 = the value
        InvalidOffset = 4u,       ///< offset field is not 64; information1 = the value
        InvalidDataOffset = 5u,   ///< data offset below 64; information1 = the data offset
        InvalidDataLength = 6u,   ///< data area runs past the content; information1 = the data length
        InvalidCrcOffset = 7u,    ///< data CRCs overlap the data area; information1 = the CRC offset
        InvalidCrcCount = 8u,     ///< CRC count differs from the number of 16384-byte blocks; information1 = the CRC count
        InvalidCrcLength = 9u,    ///< data CRCs run past the content; information1 = the CRC count
        InvalidHeaderCrc = 10u,   ///< header CRC mismatch; information1 = the stored CRC
        InvalidDataCrc = 11u,     ///< a block CRC of the data area mismatches; information1 = the computed CRC
    };
    // clang-format on
};
} // namespace Param

#endif
