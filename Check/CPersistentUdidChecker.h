// UDID checker over the configured required addresses and the acknowledged UDIDs, writing acknowledgements back.
#ifndef CHECK_CPERSISTENTUDIDCHECKER_H
#define CHECK_CPERSISTENTUDIDCHECKER_H

#include <array>
#include <cstdint>

#include "Check/CUdidChecker.h"
#include "Param/SafetyAddress.h"
#include "Util/Inversion.h"

namespace Param
{
class CInvertedUdidReader;
class CInvertedUdidWriter;
class CSafetyAddressReader;
} // namespace Param

namespace Check
{
class CPersistentUdidCheckerCallback;

/// Per-module state in fixed tables of 1023 entries (address a at index a - 1), UDIDs held inverted. Operations
/// raise before they change anything. The acknowledgement rewrites the whole record set through the writer, in
/// ascending address order, and then tells the callback.
class CPersistentUdidChecker : public CUdidChecker
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;

    /// The readers, the writer and the callback are kept by reference and must outlive the checker.
    CPersistentUdidChecker(Param::CSafetyAddressReader& requiredSafetyAddressReader,
                           Param::CInvertedUdidReader& acknowledgedInvertedUdidReader,
                           Param::CInvertedUdidWriter& acknowledgedInvertedUdidWriter,
                           CPersistentUdidCheckerCallback& callback);
    CPersistentUdidChecker(const CPersistentUdidChecker&) = delete;
    CPersistentUdidChecker& operator=(const CPersistentUdidChecker&) = delete;

    void AddDiscoveredModule(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid) override;
    void RemoveDiscoveredModule(std::uint16_t safetyAddress) override;
    void AddDiscoveredEncoder(std::uint16_t safetyAddress) override;
    void RemoveDiscoveredEncoder(std::uint16_t safetyAddress) override;
    std::uint32_t GetUnacknowledgedModuleCount() const override;
    bool TryAcknowledgeModules(std::uint32_t moduleCount) override;
    bool IsRequiredModule(std::uint16_t safetyAddress) const override;
    bool IsAcknowledgedModule(std::uint16_t safetyAddress) const override;
    bool IsDiscoveredModule(std::uint16_t safetyAddress) const override;
    bool IsMatchingModule(std::uint16_t safetyAddress) const override;
    bool IsConsistentModule(std::uint16_t safetyAddress) const override;
    bool IsUniqueModule(std::uint16_t safetyAddress) const override;
    bool IsValidModule(std::uint16_t safetyAddress) const override;

    /// Loads the required addresses, then the acknowledged UDIDs. Raises 0xE200 when called twice; 0xE2D4
    /// (information1 = the address) for a record address outside 1..1023, 0xE2D6 (information1 = the address) for
    /// an all-zero acknowledged UDID, 0xE200 for a null UDID from the reader; the reader is closed before this
    /// checker raises, and the checker then stays uninitialised. Exceptions of the readers pass unchanged.
    virtual void Initialize();

private:
    void InitializeRequiredModules();
    void InitializeAcknowledgedModules();
    /// Index of a valid address; 0xE2D4 (information1 = the address) otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    /// 0xE200 unless initialised, then the index of the address (0xE2D4 when invalid).
    std::uint32_t GetCheckedModuleIndex(std::uint16_t safetyAddress) const;
    /// Sets the unique flag of every discovered module with this UDID to whether it is the only one.
    void UpdateDuplicateUdidFlags(const std::uint8_t* invertedUdid);
    /// Whether the module counts as unacknowledged: required, discovered and not both matching and consistent.
    bool IsUnacknowledgedModule(std::uint32_t moduleIndex) const;

    std::array<bool, ms_ModuleCount> m_requiredModules;
    std::array<bool, ms_ModuleCount> m_acknowledgedModules;
    std::array<std::array<std::uint8_t, Util::UdidLength>, ms_ModuleCount> m_acknowledgedInvertedUdids;
    std::uint32_t m_unacknowledgedModuleCount;
    std::array<bool, ms_ModuleCount> m_discoveredModules;
    std::array<std::array<std::uint8_t, Util::UdidLength>, ms_ModuleCount> m_discoveredInvertedUdids;
    std::array<bool, ms_ModuleCount> m_uniqueDiscoveredUdids;
    std::array<bool, ms_ModuleCount> m_discoveredEncoders;
    std::array<bool, ms_ModuleCount> m_matchingModules;
    Param::CSafetyAddressReader& m_requiredSafetyAddressReader;
    Param::CInvertedUdidReader& m_acknowledgedInvertedUdidReader;
    Param::CInvertedUdidWriter& m_acknowledgedInvertedUdidWriter;
    CPersistentUdidCheckerCallback& m_callback;
    bool m_initialized;
};
} // namespace Check

#endif
