// Decorator: the commissioning flags, each negated.
#include "Param/CInvertingCommissioningFlagReader.h"

namespace Param
{
CInvertingCommissioningFlagReader::CInvertingCommissioningFlagReader(CCommissioningFlagReader& flagReader)
    : m_flagReader(flagReader)
{
}

void CInvertingCommissioningFlagReader::Open()
{
    m_flagReader.Open();
}

bool CInvertingCommissioningFlagReader::TryReadNext(bool& invertedSetupModeActive, bool& invertedAcknowledgeTessera,
                                                    bool& invertedAcknowledgeMinorRevisions)
{
    bool setupModeActive = false;
    bool acknowledgeTessera = false;
    bool acknowledgeMinorRevisions = false;
    if (!m_flagReader.TryReadNext(setupModeActive, acknowledgeTessera, acknowledgeMinorRevisions))
    {
        return false;
    }
    invertedSetupModeActive = !setupModeActive;
    invertedAcknowledgeTessera = !acknowledgeTessera;
    invertedAcknowledgeMinorRevisions = !acknowledgeMinorRevisions;
    return true;
}

void CInvertingCommissioningFlagReader::Close()
{
    m_flagReader.Close();
}
} // namespace Param
