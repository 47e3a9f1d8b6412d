// Whether the key medium, module UDIDs and module firmware may be acknowledged, manually or automatically.
#include "Main/CDefaultCommissioner.h"

#include "Main/CTessera.h"
#include "Param/CInvertedCommissioningFlagReader.h"

namespace Main
{
CDefaultCommissioner::CDefaultCommissioner(const CTessera& tessera,
                                           Param::CInvertedCommissioningFlagReader& invertedFlagReader)
    : m_tessera(tessera), m_invertedFlagReader(invertedFlagReader)
{
}

bool CDefaultCommissioner::CanManuallyAcknowledgeTessera()
{
    return true;
}

bool CDefaultCommissioner::CanAutomaticallyAcknowledgeTessera()
{
    if (m_tessera.IsSetupModeActive())
    {
        return true;
    }
    bool invertedAcknowledgeTessera = true;
    bool invertedAcknowledgeMinorRevisions = true;
    ReadInvertedFlags(invertedAcknowledgeTessera, invertedAcknowledgeMinorRevisions);
    return !invertedAcknowledgeTessera;
}

bool CDefaultCommissioner::CanManuallyAcknowledgeUdids()
{
    return m_tessera.IsAcknowledged();
}

bool CDefaultCommissioner::CanAutomaticallyAcknowledgeUdids()
{
    return m_tessera.IsSetupModeActive();
}

bool CDefaultCommissioner::CanManuallyAcknowledgeFirmware()
{
    return m_tessera.IsAcknowledged();
}

bool CDefaultCommissioner::CanAutomaticallyAcknowledgeFirmware()
{
    if (m_tessera.IsSetupModeActive())
    {
        return true;
    }
    bool invertedAcknowledgeTessera = true;
    bool invertedAcknowledgeMinorRevisions = true;
    ReadInvertedFlags(invertedAcknowledgeTessera, invertedAcknowledgeMinorRevisions);
    return !invertedAcknowledgeMinorRevisions;
}

void CDefaultCommissioner::ReadInvertedFlags(bool& invertedAcknowledgeTessera, bool& invertedAcknowledgeMinorRevisions)
{
    bool invertedSetupModeActive = true;
    m_invertedFlagReader.Open();
    const bool hasRecord = m_invertedFlagReader.TryReadNext(invertedSetupModeActive, invertedAcknowledgeTessera,
                                                            invertedAcknowledgeMinorRevisions);
    m_invertedFlagReader.Close();
    if (!hasRecord)
    {
        // A missing commissioning object allows nothing, whatever the reader left in the flags.
        invertedAcknowledgeTessera = true;
        invertedAcknowledgeMinorRevisions = true;
    }
}
} // namespace Main
