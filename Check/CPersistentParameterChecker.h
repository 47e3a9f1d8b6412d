// Parameter checker over the configured parameter checksums.
#ifndef CHECK_CPERSISTENTPARAMETERCHECKER_H
#define CHECK_CPERSISTENTPARAMETERCHECKER_H

#include <array>
#include <cstdint>

#include "Check/CParameterChecker.h"
#include "Param/SafetyAddress.h"

namespace Param
{
class CInvertedParameterChecksumReader;
}

namespace Check
{
/// Per-module state in fixed tables of 1023 entries (address a at index a - 1), checksums held inverted in 256-byte
/// buffers. Operations raise before they change anything. A module without a configured checksum is never
/// compatible.
class CPersistentParameterChecker : public CParameterChecker
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint32_t ms_ChecksumLengthMax = 256u;
    static constexpr std::uint32_t ms_ChecksumLengthMin = 4u;
    static constexpr std::uint32_t ms_ChecksumLengthGranularity = 4u;

    /// The reader is kept by reference and must outlive the checker.
    explicit CPersistentParameterChecker(
        Param::CInvertedParameterChecksumReader& requiredInvertedParameterChecksumReader);
    CPersistentParameterChecker(const CPersistentParameterChecker&) = delete;
    CPersistentParameterChecker& operator=(const CPersistentParameterChecker&) = delete;

    void AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t checksumLength,
                             const std::uint8_t* invertedChecksum) override;
    void RemoveDiscoveredModule(std::uint16_t safetyAddress) override;
    bool IsRequiredModule(std::uint16_t safetyAddress) const override;
    bool IsDiscoveredModule(std::uint16_t safetyAddress) const override;
    bool IsCompatibleModule(std::uint16_t safetyAddress) const override;
    bool IsValidModule(std::uint16_t safetyAddress) const override;

    /// Loads the configured checksums. Raises 0xE200 when called twice or for a null checksum from the reader;
    /// 0xE2E3 (information1 = the address) for a record address outside 1..1023 and 0xE2E5 (information0 = the
    /// address, information1 = the length) for a length below 4, above 256 or not a multiple of 4; the reader is
    /// closed before this checker raises, and the checker then stays uninitialised. Exceptions of the reader pass
    /// unchanged.
    virtual void Initialize();

private:
    void InitializeRequiredModules();
    /// Index of a valid address; 0xE2E3 (information1 = the address) otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    /// 0xE200 unless initialised, then the index of the address (0xE2E3 when invalid).
    std::uint32_t GetCheckedModuleIndex(std::uint16_t safetyAddress) const;

    std::array<bool, ms_ModuleCount> m_requiredModules;
    std::array<std::uint32_t, ms_ModuleCount> m_requiredChecksumLengths;
    std::array<std::array<std::uint8_t, ms_ChecksumLengthMax>, ms_ModuleCount> m_requiredInvertedChecksums;
    std::array<bool, ms_ModuleCount> m_discoveredModules;
    std::array<bool, ms_ModuleCount> m_compatibleModules;
    Param::CInvertedParameterChecksumReader& m_requiredInvertedParameterChecksumReader;
    bool m_initialized;
};
} // namespace Check

#endif
