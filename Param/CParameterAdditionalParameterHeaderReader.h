// Filter: the headers of the application additional parameters (indices 0xE400..0xE7FE) of an SOD parameter stream.
#ifndef PARAM_CPARAMETERADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CPARAMETERADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

#include "Param/CAdditionalParameterHeaderReader.h"
#include "Param/CParameterReader.h"

namespace Param
{
/// Delivers the 16-byte header at the start of every entry of an index 0xE400..0xE7FE with sub-index 1..17 (in place,
/// with its SADR and parameter number); other records are skipped. Version, length, CRC and timestamp of the header
/// are not examined here. Open() and Close() go to the wrapped stream (owned elsewhere). Before any refusal the stream
/// is closed.
class CParameterAdditionalParameterHeaderReader : public CAdditionalParameterHeaderReader
{
public:
    static constexpr std::uint16_t ms_AdditionalParameterIndexMin = 0xE400u;
    static constexpr std::uint16_t ms_AdditionalParameterIndexMax = 0xE7FEu;
    static constexpr std::uint8_t ms_AdditionalParameterSubIndexMin = 1u;
    static constexpr std::uint8_t ms_AdditionalParameterSubIndexMax = 17u;
    static constexpr std::uint32_t ms_ParameterNumberOffset = 0u;
    static constexpr std::uint32_t ms_SafetyAddressOffset = 2u;

    explicit CParameterAdditionalParameterHeaderReader(CParameterReader& reader);

    void Open() override;
    /// Raises 0xE2B9 (info0 = index, info1 = length) for an entry shorter than 16 bytes, 0xE2BA (info1 = SADR) for a
    /// header SADR of 0 or 1024 and above, 0xE2BB (info1 = number) for a parameter number of 0 or above 16; the
    /// stream's refusals pass unchanged.
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber, const std::uint8_t*& header) override;
    void Close() override;

private:
    static constexpr std::uint32_t ms_HeaderLength = 16u;
    static constexpr std::uint8_t ms_ParameterNumberMax = 16u;

    CParameterReader& m_reader;
};
} // namespace Param

#endif
