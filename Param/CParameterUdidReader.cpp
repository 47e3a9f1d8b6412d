// Filter: UDID entries out of an SOD parameter stream.
#include "Param/CParameterUdidReader.h"

#include "Param/CParameterReaderEventCode.h"
#include "Param/ParameterFilterSupport.h"
#include "Util/Inversion.h"

namespace Param
{
CParameterUdidReader::CParameterUdidReader(CParameterReader& reader) : m_reader(reader) {}

void CParameterUdidReader::Open()
{
    m_reader.Open();
}

bool CParameterUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid)
{
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if ((index < ms_SadrUdidIndexMin) || (index > ms_SadrUdidIndexMax) || (subIndex < ms_UdidSubIndexMin) ||
            (subIndex > ms_UdidSubIndexMax))
        {
            continue;
        }
        if (length != Util::UdidLength)
        {
            CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidLength, 0u, length);
        }
        safetyAddress = static_cast<std::uint16_t>(index - (ms_SadrUdidIndexMin - 1u));
        udid = data;
        return true;
    }
    return false;
}

void CParameterUdidReader::Close()
{
    m_reader.Close();
}
} // namespace Param
