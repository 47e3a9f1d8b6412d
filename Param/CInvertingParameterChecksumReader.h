// Decorator: a plain parameter checksum stream seen as an inverted one.
#ifndef PARAM_CINVERTINGPARAMETERCHECKSUMREADER_H
#define PARAM_CINVERTINGPARAMETERCHECKSUMREADER_H

#include <cstdint>

#include "Param/CInvertedParameterChecksumReader.h"
#include "Param/CParameterChecksumReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere). Each record keeps its safety address and
/// checksum length; the checksum bytes are complemented into a 256-byte member buffer whose pointer is handed out.
/// A checksum longer than that buffer raises 0xE2B4 (info0 = 14, info1 = the length) after closing the wrapped
/// reader, and nothing is copied. Exceptions of the wrapped reader pass unchanged.
class CInvertingParameterChecksumReader : public CInvertedParameterChecksumReader
{
public:
    static constexpr std::uint32_t ms_ChecksumLengthMax = 256u;

    explicit CInvertingParameterChecksumReader(CParameterChecksumReader& checksumReader);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                     const std::uint8_t*& invertedChecksum) override;
    void Close() override;

private:
    static constexpr std::uint16_t ms_ChecksumSubIndex = 14u;

    CParameterChecksumReader& m_checksumReader;
    std::uint8_t m_invertedChecksum[ms_ChecksumLengthMax];
};
} // namespace Param

#endif
