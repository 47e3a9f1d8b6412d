// Decorator: a plain parameter checksum stream seen as an inverted one.
#include "Param/CInvertingParameterChecksumReader.h"

#include "Param/CParameterReaderEventCode.h"
#include "Util/CException.h"
#include "Util/Inversion.h"

namespace Param
{
CInvertingParameterChecksumReader::CInvertingParameterChecksumReader(CParameterChecksumReader& checksumReader)
    : m_checksumReader(checksumReader), m_invertedChecksum{}
{
    Util::ClearInvertedMemory(ms_ChecksumLengthMax, m_invertedChecksum);
}

void CInvertingParameterChecksumReader::Open()
{
    m_checksumReader.Open();
}

bool CInvertingParameterChecksumReader::TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                                                    const std::uint8_t*& invertedChecksum)
{
    std::uint16_t recordSafetyAddress = 0u;
    std::uint32_t recordChecksumLength = 0u;
    const std::uint8_t* checksum = nullptr;
    if (!m_checksumReader.TryReadNext(recordSafetyAddress, recordChecksumLength, checksum))
    {
        return false;
    }
    if (recordChecksumLength > ms_ChecksumLengthMax)
    {
        // Refused like the filter's own length errors: the stream is left closed.
        m_checksumReader.Close();
        throw Util::CException(CParameterReaderEventCode::InvalidLength, ms_ChecksumSubIndex, recordChecksumLength);
    }
    Util::CopyInvertedMemory(recordChecksumLength, checksum, m_invertedChecksum);
    safetyAddress = recordSafetyAddress;
    checksumLength = recordChecksumLength;
    invertedChecksum = m_invertedChecksum;
    return true;
}

void CInvertingParameterChecksumReader::Close()
{
    m_checksumReader.Close();
}
} // namespace Param
