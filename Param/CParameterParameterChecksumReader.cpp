// Filter: the required parameter checksum of each module out of an SOD parameter stream.
#include "Param/CParameterParameterChecksumReader.h"

#include "Param/CParameterReaderEventCode.h"
#include "Param/ParameterFilterSupport.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"

namespace Param
{
CParameterParameterChecksumReader::CParameterParameterChecksumReader(CParameterReader& reader)
    : m_reader(reader), m_previousIndex(ms_InvalidIndex)
{
}

void CParameterParameterChecksumReader::Open()
{
    m_reader.Open();
    m_previousIndex = ms_InvalidIndex;
}

bool CParameterParameterChecksumReader::TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                                                    const std::uint8_t*& checksum)
{
    bool sadrRead = false;
    std::uint16_t sadr = 0u;
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if ((index < ms_SadrDviIndexMin) || (index > ms_SadrDviIndexMax))
        {
            continue;
        }
        if (index != m_previousIndex)
        {
            sadrRead = false;
            m_previousIndex = index;
        }
        if (subIndex == ms_SadrSubIndex)
        {
            if (length != 2u)
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidLength, ms_SadrSubIndex, length);
            }
            sadr = Util::GetLittleEndianUInt16(data, 0u);
            if (!IsValidSafetyAddress(sadr))
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidSafetyAddress, 0u, sadr);
            }
            sadrRead = true;
        }
        else if (subIndex == ms_ChecksumSubIndex)
        {
            if ((length < 4u) || ((length % 4u) != 0u))
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidLength, ms_ChecksumSubIndex, length);
            }
            if (!sadrRead)
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::WrongOrder, 0u, index);
            }
            safetyAddress = sadr;
            checksumLength = length;
            checksum = data;
            return true;
        }
    }
    return false;
}

void CParameterParameterChecksumReader::Close()
{
    m_reader.Close();
}
} // namespace Param
