// Interface: Per-module parameter checksum state (required, discovered, compatible).
#ifndef CHECK_CPARAMETERCHECKER_H
#define CHECK_CPARAMETERCHECKER_H

#include <cstdint>

namespace Check
{
/// Every operation raises 0xE200 before the implementation is initialised and 0xE2E3 (information1 = the address)
/// for a safety address outside 1..1023. Checksums are passed inverted, at most 256 bytes.
class CParameterChecker
{
public:
    virtual ~CParameterChecker() = default;
    /// A checksum was reported for the module; nothing changes if one is already discovered there. Raises 0xE200
    /// for a null checksum (tested before the address) and 0xE2E5 (information0 = the address, information1 = the
    /// length) for a length above 256 or not a multiple of 4; a length of 0 is accepted.
    virtual void AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t checksumLength,
                                     const std::uint8_t* invertedChecksum) = 0;
    /// Forgets the checksum discovered at the address, if any.
    virtual void RemoveDiscoveredModule(std::uint16_t safetyAddress) = 0;
    /// A checksum is configured for the address.
    virtual bool IsRequiredModule(std::uint16_t safetyAddress) const = 0;
    virtual bool IsDiscoveredModule(std::uint16_t safetyAddress) const = 0;
    /// The discovered checksum equals the configured one in length and content.
    virtual bool IsCompatibleModule(std::uint16_t safetyAddress) const = 0;
    /// Compatible.
    virtual bool IsValidModule(std::uint16_t safetyAddress) const = 0;

protected:
    CParameterChecker() = default;
    CParameterChecker(const CParameterChecker&) = default;
    CParameterChecker& operator=(const CParameterChecker&) = default;
};
} // namespace Check

#endif
