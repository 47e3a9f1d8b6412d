// Filter: the required firmware version of each module out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERFIRMWAREVERSIONREADER_H
#define PARAM_CPARAMETERFIRMWAREVERSIONREADER_H

#include <cstdint>

#include "Param/CFirmwareVersionReader.h"
#include "Param/CParameterReader.h"

namespace Param
{
/// One call delivers one module of the indices 0xC400..0xC7FE: its SADR (sub-index 1), vendor id (2), product code
/// (3), read in any order, completed by its revision number (4: minor revision in the low, major in the high 16
/// bits). Other records are skipped. Open() and Close() go to the wrapped stream (owned elsewhere); Open() also
/// forgets the previous index. Before any refusal the stream is closed.
class CParameterFirmwareVersionReader : public CFirmwareVersionReader
{
public:
    static constexpr std::uint16_t ms_InvalidIndex = 0xFFFFu;
    static constexpr std::uint16_t ms_SadrDviIndexMin = 0xC400u;
    static constexpr std::uint16_t ms_SadrDviIndexMax = 0xC7FEu;
    static constexpr std::uint8_t ms_SadrSubIndex = 1u;
    static constexpr std::uint8_t ms_VendorIdSubIndex = 2u;
    static constexpr std::uint8_t ms_ProductCodeSubIndex = 3u;
    static constexpr std::uint8_t ms_RevisionNumberSubIndex = 4u;

    explicit CParameterFirmwareVersionReader(CParameterReader& reader);

    void Open() override;
    /// Raises 0xE2B4 (info0 = sub-index, info1 = length) for an entry of the wrong length (2 bytes for the SADR,
    /// 4 for the others), 0xE2B6 (info1 = SADR) for a SADR of 0 or 1024 and above, and 0xE2B5 (info1 = index) for a
    /// revision number before the SADR, vendor id and product code of its index; the stream's refusals pass unchanged.
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& vendorId, std::uint32_t& productCode,
                     std::uint16_t& majorRevision, std::uint16_t& minorRevision) override;
    void Close() override;

private:
    CParameterReader& m_reader;
    std::uint16_t m_previousIndex;
};
} // namespace Param

#endif
