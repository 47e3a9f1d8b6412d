// Decorator: the configuration data flag, negated.
#include "Param/CInvertingConfigurationDataReader.h"

namespace Param
{
CInvertingConfigurationDataReader::CInvertingConfigurationDataReader(CConfigurationDataReader& dataReader)
    : m_dataReader(dataReader)
{
}

void CInvertingConfigurationDataReader::Open()
{
    m_dataReader.Open();
}

bool CInvertingConfigurationDataReader::TryReadNext(bool& invertedExternalMachineOptionsActive)
{
    bool externalMachineOptionsActive = false;
    if (!m_dataReader.TryReadNext(externalMachineOptionsActive))
    {
        return false;
    }
    invertedExternalMachineOptionsActive = !externalMachineOptionsActive;
    return true;
}

void CInvertingConfigurationDataReader::Close()
{
    m_dataReader.Close();
}
} // namespace Param
