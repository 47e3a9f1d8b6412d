// Interface: Per-module UDID state (required, acknowledged, discovered, matching, consistent, unique) and its
// acknowledgement.
#ifndef CHECK_CUDIDCHECKER_H
#define CHECK_CUDIDCHECKER_H

#include <cstdint>

namespace Check
{
/// Every operation raises 0xE200 before the implementation is initialised and 0xE2D4 (information1 = the address)
/// for a safety address outside 1..1023. UDIDs are passed inverted (6 complemented bytes).
class CUdidChecker
{
public:
    virtual ~CUdidChecker() = default;
    /// A module reported a UDID at the address; nothing changes if one is already discovered there. Raises 0xE200
    /// for a null UDID (tested before the address) and 0xE2D6 (information1 = the address) for the all-zero UDID.
    virtual void AddDiscoveredModule(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid) = 0;
    /// Forgets the module discovered at the address, if any.
    virtual void RemoveDiscoveredModule(std::uint16_t safetyAddress) = 0;
    /// The module's encoder is consistent again. Raises 0xE2D5 (information1 = the address) without a discovered
    /// module.
    virtual void AddDiscoveredEncoder(std::uint16_t safetyAddress) = 0;
    /// The module's encoder is inconsistent. Raises 0xE2D5 (information1 = the address) without a discovered module.
    virtual void RemoveDiscoveredEncoder(std::uint16_t safetyAddress) = 0;
    /// Required, discovered modules that are not both matching and consistent.
    virtual std::uint32_t GetUnacknowledgedModuleCount() const = 0;
    /// Acknowledges every required, discovered module with its discovered UDID and writes the whole acknowledged
    /// set, when moduleCount equals GetUnacknowledgedModuleCount(); false (nothing changed) otherwise. Raises
    /// 0xE2D7 (information1 = the lowest such address) if a required, discovered module shares its UDID with
    /// another discovered module; nothing is changed or written then. Exceptions of the writer pass unchanged.
    virtual bool TryAcknowledgeModules(std::uint32_t moduleCount) = 0;
    virtual bool IsRequiredModule(std::uint16_t safetyAddress) const = 0;
    virtual bool IsAcknowledgedModule(std::uint16_t safetyAddress) const = 0;
    virtual bool IsDiscoveredModule(std::uint16_t safetyAddress) const = 0;
    /// Required, and its discovered UDID equals its acknowledged UDID.
    virtual bool IsMatchingModule(std::uint16_t safetyAddress) const = 0;
    /// The module's encoder is consistent.
    virtual bool IsConsistentModule(std::uint16_t safetyAddress) const = 0;
    /// No other discovered module has the same UDID.
    virtual bool IsUniqueModule(std::uint16_t safetyAddress) const = 0;
    /// Matching, consistent and unique.
    virtual bool IsValidModule(std::uint16_t safetyAddress) const = 0;

protected:
    CUdidChecker() = default;
    CUdidChecker(const CUdidChecker&) = default;
    CUdidChecker& operator=(const CUdidChecker&) = default;
};
} // namespace Check

#endif
