// The range of valid safety addresses, shared by every record reader and writer.
#ifndef PARAM_SAFETYADDRESS_H
#define PARAM_SAFETYADDRESS_H

#include <cstdint>

namespace Param
{
constexpr std::uint16_t SafetyAddressMin = 1u;
constexpr std::uint16_t SafetyAddressMax = 1023u;

/// 1..1023; 0 and anything from 1024 up are invalid.
constexpr bool IsValidSafetyAddress(std::uint16_t safetyAddress)
{
    return (safetyAddress >= SafetyAddressMin) && (safetyAddress <= SafetyAddressMax);
}
} // namespace Param

#endif
