// Additional-parameter catalog loaded once from the configured headers.
#ifndef CHECK_CPERSISTENTADDITIONALPARAMETERCATALOG_H
#define CHECK_CPERSISTENTADDITIONALPARAMETERCATALOG_H

#include <array>
#include <cstdint>

#include "Check/CAdditionalParameterCatalog.h"
#include "Param/SafetyAddress.h"

namespace Param
{
class CInvertedAdditionalParameterHeaderReader;
}

namespace Check
{
/// All 1023 x 16 headers in one fixed table (address a, number n at [a - 1][n - 1]), held inverted; an absent
/// header is 16 bytes 0xFF, and a stored one whose plain first byte is 0 counts as absent.
class CPersistentAdditionalParameterCatalog : public CAdditionalParameterCatalog
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint32_t ms_ParameterCount = 16u;
    static constexpr std::uint32_t ms_HeaderLength = 16u;

    /// The reader is kept by reference and must outlive the catalog.
    explicit CPersistentAdditionalParameterCatalog(
        Param::CInvertedAdditionalParameterHeaderReader& requiredInvertedAdditionalParameterHeaderReader);
    CPersistentAdditionalParameterCatalog(const CPersistentAdditionalParameterCatalog&) = delete;
    CPersistentAdditionalParameterCatalog& operator=(const CPersistentAdditionalParameterCatalog&) = delete;

    bool HasAdditionalParameter(std::uint16_t safetyAddress, std::uint8_t parameterNumber) const override;
    const std::uint8_t* GetInvertedAdditionalParameterHeader(std::uint16_t safetyAddress,
                                                             std::uint8_t parameterNumber) const override;

    /// Loads every configured header; a later record for the same module and number replaces an earlier one.
    /// Raises 0xE200 when called twice or for a null header from the reader; 0xE2EA (information1 = the address)
    /// and 0xE2EB (information1 = the number) for a record out of range; the reader is closed before this catalog
    /// raises, and the catalog then stays uninitialised. Exceptions of the reader pass unchanged.
    virtual void Initialize();

private:
    void InitializeHeaders();
    /// Index of a valid address; 0xE2EA (information1 = the address) otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    /// Index of a valid number; 0xE2EB (information1 = the number) otherwise.
    static std::uint32_t GetParameterIndex(std::uint8_t parameterNumber);
    static bool IsValidHeader(const std::uint8_t* invertedHeader);
    /// 0xE200 unless initialised, then the slot of the module and number (0xE2EA, 0xE2EB when invalid).
    const std::uint8_t* GetCheckedSlot(std::uint16_t safetyAddress, std::uint8_t parameterNumber) const;

    std::array<std::array<std::array<std::uint8_t, ms_HeaderLength>, ms_ParameterCount>, ms_ModuleCount>
        m_invertedAdditionalParameterHeader;
    Param::CInvertedAdditionalParameterHeaderReader& m_requiredInvertedAdditionalParameterHeaderReader;
    bool m_initialized;
};
} // namespace Check

#endif
