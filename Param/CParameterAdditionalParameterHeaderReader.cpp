// Filter: the headers of the application additional parameters of an SOD parameter stream.
#include "Param/CParameterAdditionalParameterHeaderReader.h"

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "Param/ParameterFilterSupport.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"

namespace Param
{
CParameterAdditionalParameterHeaderReader::CParameterAdditionalParameterHeaderReader(CParameterReader& reader)
    : m_reader(reader)
{
}

void CParameterAdditionalParameterHeaderReader::Open()
{
    m_reader.Open();
}

bool CParameterAdditionalParameterHeaderReader::TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                                                            const std::uint8_t*& header)
{
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if ((index < ms_AdditionalParameterIndexMin) || (index > ms_AdditionalParameterIndexMax) ||
            (subIndex < ms_AdditionalParameterSubIndexMin) || (subIndex > ms_AdditionalParameterSubIndexMax))
        {
            continue;
        }
        if (length < ms_HeaderLength)
        {
            CloseAndThrow(m_reader, CAdditionalParameterReaderEventCode::InvalidLength, index, length);
        }
        const std::uint16_t sadr = Util::GetLittleEndianUInt16(data, ms_SafetyAddressOffset);
        if (!IsValidSafetyAddress(sadr))
        {
            CloseAndThrow(m_reader, CAdditionalParameterReaderEventCode::InvalidSafetyAddress, 0u, sadr);
        }
        const std::uint8_t number = data[ms_ParameterNumberOffset];
        if ((number == 0u) || (number > ms_ParameterNumberMax))
        {
            CloseAndThrow(m_reader, CAdditionalParameterReaderEventCode::InvalidParameterNumber, 0u, number);
        }
        safetyAddress = sadr;
        parameterNumber = number;
        header = data;
        return true;
    }
    return false;
}

void CParameterAdditionalParameterHeaderReader::Close()
{
    m_reader.Close();
}
} // namespace Param
