// The headers of the loadable additional parameters in the data area of "pardata1.bin".
#ifndef PARAM_CPARDATA1BINADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CPARDATA1BINADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

#include "Param/CAdditionalParameterHeaderReader.h"
#include "Param/CParData1Bin.h"

namespace Param
{
/// Walks the data area of a read CParData1Bin (owned elsewhere) between Open() and Close() and delivers each entry's
/// 16-byte header in place. Entries of a version 0x200 file at safety addresses from 2000 up are validated and
/// skipped. A trailing fragment shorter than a header ends the stream. Before a refusal the reader stops reading
/// the data area and counts as closed.
class CParData1BinAdditionalParameterHeaderReader : public CAdditionalParameterHeaderReader
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 16u;
    static constexpr std::uint8_t ms_Version = 1u;
    static constexpr std::uint32_t ms_TimestampLength = 4u;

    explicit CParData1BinAdditionalParameterHeaderReader(CParData1Bin& parData1Bin);

    /// Starts reading the data area; refused (0xE200) while open or before the file was read.
    void Open() override;
    /// Refused (0xE200) when not open. Raises 0xE2BC with a CAdditionalParameterReaderOtherReasonInformation0
    /// reason: 1 version not 1 (info1 = version), 2 safety address neither 1..1023 nor an accepted blob address
    /// (info1 = address), 3 data beyond the data area (info1 = declared length), 4 data CRC (info1 = stored CRC).
    /// The parameter number is not range-checked here.
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber, const std::uint8_t*& header) override;
    /// Stops reading the data area; refused (0xE200) when not open.
    void Close() override;

private:
    [[noreturn]] void CloseAndRefuse(std::uint16_t reason, std::uint32_t information1);

    CParData1Bin& m_parData1Bin;
    std::uint16_t m_fileVersion;
    std::uint32_t m_parameterCount;
    std::uint32_t m_contentLength;
    const std::uint8_t* m_content;
    std::uint32_t m_contentOffset;
    bool m_open;
};
} // namespace Param

#endif
