// Operations on 6-byte openSAFETY unique device identifiers; the all-zero UDID is invalid.
#ifndef UTIL_CUDID_H
#define UTIL_CUDID_H

#include <cstdint>

namespace Util
{
class CUdid
{
public:
    static const std::uint8_t ms_Zero[6];

    /// Byte comparison of 6 bytes. A null argument raises 0xE200 (the first argument is tested first).
    static bool AreEqual(const std::uint8_t* udidA, const std::uint8_t* udidB);
    static bool AreDifferent(const std::uint8_t* udidA, const std::uint8_t* udidB);
    static bool IsZero(const std::uint8_t* udid);
    static bool IsValid(const std::uint8_t* udid);
    static bool IsInvalid(const std::uint8_t* udid);
};
} // namespace Util

#endif
