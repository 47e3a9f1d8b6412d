// Filter: the auto-configuration data out of an SOD parameter stream.
#include "Param/CParameterConfigurationDataReader.h"

#include "Param/ParameterFilterSupport.h"

namespace Param
{
CParameterConfigurationDataReader::CParameterConfigurationDataReader(CParameterReader& reader)
    : m_reader(reader), m_read(0u)
{
}

void CParameterConfigurationDataReader::Open()
{
    m_reader.Open();
    m_read = 0u;
}

bool CParameterConfigurationDataReader::TryReadNext(bool& externalMachineOptionsActive)
{
    externalMachineOptionsActive = false;
    if (m_read != 0u)
    {
        return false;
    }
    bool seen = false;
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if (index != ms_AutoConfigurationParameterIndex)
        {
            continue;
        }
        seen = true;
        if (subIndex == ms_ExternalMachineOptionsActiveSubIndex)
        {
            // An entry without data counts as false rather than reading a byte that is not there.
            externalMachineOptionsActive = (length >= 1u) && (data[0] != 0u);
            break;
        }
    }
    m_read = 1u;
    return seen;
}

void CParameterConfigurationDataReader::Close()
{
    m_reader.Close();
    m_read = 0u;
}
} // namespace Param
