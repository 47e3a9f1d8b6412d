// Interface: Per-module firmware state (required, acknowledged, discovered, compatible, matching) and its
// acknowledgement.
#ifndef CHECK_CFIRMWARECHECKER_H
#define CHECK_CFIRMWARECHECKER_H

#include <cstdint>

namespace Check
{
/// Every operation raises 0xE200 before the implementation is initialised and 0xE2DC (information1 = the address)
/// for a safety address outside 1..1023. Version values are passed inverted; the inverted 0 marks an absent value.
class CFirmwareChecker
{
public:
    virtual ~CFirmwareChecker() = default;
    /// A module reported its device vendor information; nothing changes if one is already discovered there.
    /// Raises 0xE2DE (information1 = the address) if any value is 0.
    virtual void AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t invertedVendorId,
                                     std::uint32_t invertedProductCode, std::uint16_t invertedMajorRevision,
                                     std::uint16_t invertedMinorRevision) = 0;
    /// Forgets the module discovered at the address, if any.
    virtual void RemoveDiscoveredModule(std::uint16_t safetyAddress) = 0;
    /// Acknowledges the current minor revision of every compatible module and writes every acknowledged record;
    /// always true. Exceptions of the writer pass unchanged.
    virtual bool TryAcknowledgeModules() = 0;
    /// A firmware version is configured for the address.
    virtual bool IsRequiredModule(std::uint16_t safetyAddress) const = 0;
    virtual bool IsAcknowledgedModule(std::uint16_t safetyAddress) const = 0;
    virtual bool IsDiscoveredModule(std::uint16_t safetyAddress) const = 0;
    /// Vendor id, product code and major revision as configured, minor revision at least the configured one.
    virtual bool IsCompatibleModule(std::uint16_t safetyAddress) const = 0;
    /// Compatible, and its minor revision equals the acknowledged one.
    virtual bool IsMatchingModule(std::uint16_t safetyAddress) const = 0;
    /// Matching.
    virtual bool IsValidModule(std::uint16_t safetyAddress) const = 0;

protected:
    CFirmwareChecker() = default;
    CFirmwareChecker(const CFirmwareChecker&) = default;
    CFirmwareChecker& operator=(const CFirmwareChecker&) = default;
};
} // namespace Check

#endif
