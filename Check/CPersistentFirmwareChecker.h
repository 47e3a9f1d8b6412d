// Firmware checker over the configured versions and the acknowledged minor revisions, writing acknowledgements back.
#ifndef CHECK_CPERSISTENTFIRMWARECHECKER_H
#define CHECK_CPERSISTENTFIRMWARECHECKER_H

#include <array>
#include <cstdint>

#include "Check/CFirmwareChecker.h"
#include "Param/SafetyAddress.h"

namespace Param
{
class CInvertedFirmwareVersionReader;
class CInvertedMinorRevisionReader;
class CInvertedMinorRevisionWriter;
} // namespace Param

namespace Check
{
class CPersistentFirmwareCheckerCallback;

/// Per-module state in fixed tables of 1023 entries (address a at index a - 1), versions held inverted. Operations
/// raise before they change anything. The acknowledgement rewrites the whole record set through the writer, in
/// ascending address order, and then tells the callback.
class CPersistentFirmwareChecker : public CFirmwareChecker
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;

    /// The readers, the writer and the callback are kept by reference and must outlive the checker.
    CPersistentFirmwareChecker(Param::CInvertedFirmwareVersionReader& requiredInvertedVersionReader,
                               Param::CInvertedMinorRevisionReader& acknowledgedInvertedMinorRevisionReader,
                               Param::CInvertedMinorRevisionWriter& acknowledgedInvertedMinorRevisionWriter,
                               CPersistentFirmwareCheckerCallback& callback);
    CPersistentFirmwareChecker(const CPersistentFirmwareChecker&) = delete;
    CPersistentFirmwareChecker& operator=(const CPersistentFirmwareChecker&) = delete;

    void AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t invertedVendorId,
                             std::uint32_t invertedProductCode, std::uint16_t invertedMajorRevision,
                             std::uint16_t invertedMinorRevision) override;
    void RemoveDiscoveredModule(std::uint16_t safetyAddress) override;
    bool TryAcknowledgeModules() override;
    bool IsRequiredModule(std::uint16_t safetyAddress) const override;
    bool IsAcknowledgedModule(std::uint16_t safetyAddress) const override;
    bool IsDiscoveredModule(std::uint16_t safetyAddress) const override;
    bool IsCompatibleModule(std::uint16_t safetyAddress) const override;
    bool IsMatchingModule(std::uint16_t safetyAddress) const override;
    bool IsValidModule(std::uint16_t safetyAddress) const override;

    /// Loads the configured versions, then the acknowledged minor revisions. Raises 0xE200 when called twice;
    /// 0xE2DC (information1 = the address) for a record address outside 1..1023 and 0xE2DE (information1 = the
    /// address) for a zero value; the reader is closed before this checker raises, and the checker then stays
    /// uninitialised. Exceptions of the readers pass unchanged.
    virtual void Initialize();

private:
    void InitializeRequiredModules();
    void InitializeAcknowledgedModules();
    /// Index of a valid address; 0xE2DC (information1 = the address) otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    /// 0xE200 unless initialised, then the index of the address (0xE2DC when invalid).
    std::uint32_t GetCheckedModuleIndex(std::uint16_t safetyAddress) const;

    std::array<bool, ms_ModuleCount> m_requiredModules;
    std::array<std::uint32_t, ms_ModuleCount> m_requiredInvertedVendorIds;
    std::array<std::uint32_t, ms_ModuleCount> m_requiredInvertedProductCodes;
    std::array<std::uint16_t, ms_ModuleCount> m_requiredInvertedMajorRevisions;
    std::array<std::uint16_t, ms_ModuleCount> m_requiredInvertedMinorRevisions;
    std::array<bool, ms_ModuleCount> m_acknowledgedModules;
    std::array<std::uint16_t, ms_ModuleCount> m_acknowledgedInvertedMinorRevisions;
    std::array<bool, ms_ModuleCount> m_discoveredModules;
    std::array<bool, ms_ModuleCount> m_compatibleModules;
    std::array<bool, ms_ModuleCount> m_matchingModules;
    std::array<std::uint16_t, ms_ModuleCount> m_discoveredInvertedMinorRevisions;
    Param::CInvertedFirmwareVersionReader& m_requiredInvertedVersionReader;
    Param::CInvertedMinorRevisionReader& m_acknowledgedInvertedMinorRevisionReader;
    Param::CInvertedMinorRevisionWriter& m_acknowledgedInvertedMinorRevisionWriter;
    CPersistentFirmwareCheckerCallback& m_callback;
    bool m_initialized;
};
} // namespace Check

#endif
