// Filter: the required parameter checksum of each module out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERPARAMETERCHECKSUMREADER_H
#define PARAM_CPARAMETERPARAMETERCHECKSUMREADER_H

#include <cstdint>

#include "Param/CParameterChecksumReader.h"
#include "Param/CParameterReader.h"

namespace Param
{
/// One call delivers one module of the indices 0xC400..0xC7FE: its SADR (sub-index 1) with its parameter checksum
/// (sub-index 14, a positive multiple of 4 bytes, handed out in place). Other records are skipped. Open() and Close()
/// go to the wrapped stream (owned elsewhere); Open() also forgets the previous index. Before any refusal the stream
/// is closed.
class CParameterParameterChecksumReader : public CParameterChecksumReader
{
public:
    static constexpr std::uint16_t ms_InvalidIndex = 0xFFFFu;
    static constexpr std::uint16_t ms_SadrDviIndexMin = 0xC400u;
    static constexpr std::uint16_t ms_SadrDviIndexMax = 0xC7FEu;
    static constexpr std::uint8_t ms_SadrSubIndex = 1u;
    static constexpr std::uint8_t ms_ChecksumSubIndex = 14u;

    explicit CParameterParameterChecksumReader(CParameterReader& reader);

    void Open() override;
    /// Raises 0xE2B4 (info0 = sub-index, info1 = length) for a SADR entry that is not 2 bytes long or a checksum that
    /// is not a positive multiple of 4 bytes, 0xE2B6 (info1 = SADR) for a SADR of 0 or 1024 and above, and 0xE2B5
    /// (info1 = index) for a checksum before the SADR of its index; the stream's refusals pass unchanged.
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                     const std::uint8_t*& checksum) override;
    void Close() override;

private:
    CParameterReader& m_reader;
    std::uint16_t m_previousIndex;
};
} // namespace Param

#endif
