// UDID comparison and validity.
#include "Util/CUdid.h"

#include <cstring>

#include "Util/FileIdentifier.h"

namespace
{
// Fixed identifier of the UDID helpers in the field's event maps.
constexpr std::uint32_t FileIdentifier = 0x0D0702F8u;
} // namespace

namespace Util
{
const std::uint8_t CUdid::ms_Zero[6] = {0u, 0u, 0u, 0u, 0u, 0u};

bool CUdid::AreEqual(const std::uint8_t* udidA, const std::uint8_t* udidB)
{
    SCM_GUARD(udidA != nullptr);
    SCM_GUARD(udidB != nullptr);
    return std::memcmp(udidA, udidB, sizeof(ms_Zero)) == 0;
}

bool CUdid::AreDifferent(const std::uint8_t* udidA, const std::uint8_t* udidB)
{
    return !AreEqual(udidA, udidB);
}

bool CUdid::IsZero(const std::uint8_t* udid)
{
    return AreEqual(udid, ms_Zero);
}

bool CUdid::IsValid(const std::uint8_t* udid)
{
    return !IsZero(udid);
}

bool CUdid::IsInvalid(const std::uint8_t* udid)
{
    return !IsValid(udid);
}
} // namespace Util
