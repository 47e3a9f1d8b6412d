// Filter: the safety addresses of the required modules out of an SOD parameter stream.
#include "Param/CParameterSafetyAddressReader.h"

#include "Param/CParameterReaderEventCode.h"
#include "Param/ParameterFilterSupport.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"

namespace Param
{
CParameterSafetyAddressReader::CParameterSafetyAddressReader(CParameterReader& reader) : m_reader(reader) {}

void CParameterSafetyAddressReader::Open()
{
    m_reader.Open();
}

bool CParameterSafetyAddressReader::TryReadNext(std::uint16_t& safetyAddress)
{
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if ((index < ms_SadrDviIndexMin) || (index > ms_SadrDviIndexMax) || (subIndex != ms_SadrSubIndex))
        {
            continue;
        }
        if (length != 2u)
        {
            CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidLength, ms_SadrSubIndex, length);
        }
        const std::uint16_t sadr = Util::GetLittleEndianUInt16(data, 0u);
        if (!IsValidSafetyAddress(sadr))
        {
            CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidSafetyAddress, 0u, sadr);
        }
        safetyAddress = sadr;
        return true;
    }
    return false;
}

void CParameterSafetyAddressReader::Close()
{
    m_reader.Close();
}
} // namespace Param
