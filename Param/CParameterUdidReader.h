// Filter: UDID entries (index 0xCC00 + SADR) out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERUDIDREADER_H
#define PARAM_CPARAMETERUDIDREADER_H

#include <cstdint>

#include "Param/CParameterReader.h"
#include "Param/CUdidReader.h"

namespace Param
{
/// Delivers every entry of an index 0xCC01..0xCFFF with sub-index 1..254 as (index - 0xCC00, the 6 data bytes);
/// other records are skipped. Open() and Close() go to the wrapped stream (owned elsewhere). Before any refusal the
/// stream is closed.
class CParameterUdidReader : public CUdidReader
{
public:
    static constexpr std::uint16_t ms_SadrUdidIndexMin = 0xCC01u;
    static constexpr std::uint16_t ms_SadrUdidIndexMax = 0xCFFFu;
    static constexpr std::uint8_t ms_UdidSubIndexMin = 1u;
    static constexpr std::uint8_t ms_UdidSubIndexMax = 254u;

    explicit CParameterUdidReader(CParameterReader& reader);

    void Open() override;
    /// Raises 0xE2B4 (info0 = 0, info1 = length) for an entry that is not 6 bytes long; the stream's own refusals
    /// pass unchanged. The UDID pointer points into the stream's buffer.
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid) override;
    void Close() override;

private:
    CParameterReader& m_reader;
};
} // namespace Param

#endif
