// Filter: the safety addresses of the required modules out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERSAFETYADDRESSREADER_H
#define PARAM_CPARAMETERSAFETYADDRESSREADER_H

#include <cstdint>

#include "Param/CParameterReader.h"
#include "Param/CSafetyAddressReader.h"

namespace Param
{
/// Delivers sub-index 1 (the SADR, 2 bytes) of every module index 0xC400..0xC7FE; other records are skipped.
/// Open() and Close() go to the wrapped stream (owned elsewhere). Before any refusal the stream is closed.
class CParameterSafetyAddressReader : public CSafetyAddressReader
{
public:
    static constexpr std::uint16_t ms_SadrDviIndexMin = 0xC400u;
    static constexpr std::uint16_t ms_SadrDviIndexMax = 0xC7FEu;
    static constexpr std::uint8_t ms_SadrSubIndex = 1u;

    explicit CParameterSafetyAddressReader(CParameterReader& reader);

    void Open() override;
    /// Raises 0xE2B4 (info0 = 1, info1 = length) for a SADR entry that is not 2 bytes long and 0xE2B6 (info1 = SADR)
    /// for a SADR of 0 or 1024 and above; the stream's own refusals pass unchanged.
    bool TryReadNext(std::uint16_t& safetyAddress) override;
    void Close() override;

private:
    CParameterReader& m_reader;
};
} // namespace Param

#endif
