// Filter: the commissioning flags out of an SOD parameter stream.
#include "Param/CParameterCommissioningFlagReader.h"

#include "Param/ParameterFilterSupport.h"

namespace Param
{
CParameterCommissioningFlagReader::CParameterCommissioningFlagReader(CParameterReader& reader)
    : m_reader(reader), m_read(0u)
{
}

void CParameterCommissioningFlagReader::Open()
{
    m_reader.Open();
    m_read = 0u;
}

bool CParameterCommissioningFlagReader::TryReadNext(bool& setupModeActive, bool& acknowledgeTessera,
                                                    bool& acknowledgeMinorRevisions)
{
    setupModeActive = false;
    acknowledgeTessera = false;
    acknowledgeMinorRevisions = false;
    if (m_read != 0u)
    {
        return false;
    }
    bool seen = false;
    bool setupModeSeen = false;
    bool firmwareSeen = false;
    bool tesseraSeen = false;
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (!(setupModeSeen && firmwareSeen && tesseraSeen) &&
           TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if (index != ms_CommissioningParameterIndex)
        {
            continue;
        }
        seen = true;
        // An entry without data counts as false rather than reading a byte that is not there.
        const bool value = (length >= 1u) && (data[0] != 0u);
        if ((subIndex == ms_SetupModeActiveSubIndex) && !setupModeSeen)
        {
            setupModeActive = value;
            setupModeSeen = true;
        }
        else if ((subIndex == ms_AutoConfirmFirmwareSubIndex) && !firmwareSeen)
        {
            acknowledgeMinorRevisions = value;
            firmwareSeen = true;
        }
        else if ((subIndex == ms_AutoConfirmTesseraSubIndex) && !tesseraSeen)
        {
            acknowledgeTessera = value;
            tesseraSeen = true;
        }
    }
    m_read = 1u;
    return seen;
}

void CParameterCommissioningFlagReader::Close()
{
    m_reader.Close();
    m_read = 0u;
}
} // namespace Param
