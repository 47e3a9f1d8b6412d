// Interface: The configured additional-parameter headers, up to 16 per module.
#ifndef CHECK_CADDITIONALPARAMETERCATALOG_H
#define CHECK_CADDITIONALPARAMETERCATALOG_H

#include <cstdint>

namespace Check
{
/// Queries raise 0xE200 before the implementation is initialised, then 0xE2EA (information1 = the address) for a
/// safety address outside 1..1023, then 0xE2EB (information1 = the number) for a parameter number outside 1..16.
class CAdditionalParameterCatalog
{
public:
    virtual ~CAdditionalParameterCatalog() = default;
    /// Whether a header is configured for the module and number.
    virtual bool HasAdditionalParameter(std::uint16_t safetyAddress, std::uint8_t parameterNumber) const = 0;
    /// The 16 inverted header bytes, valid for the catalog's life. Raises 0xE2EC (information0 = the address,
    /// information1 = the number) when no header is configured.
    virtual const std::uint8_t* GetInvertedAdditionalParameterHeader(std::uint16_t safetyAddress,
                                                                     std::uint8_t parameterNumber) const = 0;

protected:
    CAdditionalParameterCatalog() = default;
    CAdditionalParameterCatalog(const CAdditionalParameterCatalog&) = default;
    CAdditionalParameterCatalog& operator=(const CAdditionalParameterCatalog&) = default;
};
} // namespace Check

#endif
