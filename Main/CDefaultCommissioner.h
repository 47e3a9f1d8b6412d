// Whether the key medium, module UDIDs and module firmware may be acknowledged, manually or automatically.
#ifndef MAIN_CDEFAULTCOMMISSIONER_H
#define MAIN_CDEFAULTCOMMISSIONER_H

#include "Check/CFirmwareCommissioner.h"
#include "Check/CUdidCommissioner.h"
#include "Main/CTesseraCommissioner.h"

namespace Param
{
class CInvertedCommissioningFlagReader;
}

namespace Main
{
class CTessera;

/// Answers from the key-medium state and, for the two automatic answers that the setup mode does not settle, from
/// the commissioning flags of the safety parameters, read anew on every question. Asking before the persistence
/// manager is initialised raises its 0xE200 (IsSetupModeActive); exceptions of the flag reader pass unchanged.
class CDefaultCommissioner : public CTesseraCommissioner,
                             public Check::CUdidCommissioner,
                             public Check::CFirmwareCommissioner
{
public:
    /// Both are kept by reference and must outlive the commissioner.
    CDefaultCommissioner(const CTessera& tessera, Param::CInvertedCommissioningFlagReader& invertedFlagReader);
    CDefaultCommissioner(const CDefaultCommissioner&) = delete;
    CDefaultCommissioner& operator=(const CDefaultCommissioner&) = delete;

    /// Always true: the operator may always acknowledge the key medium.
    bool CanManuallyAcknowledgeTessera() override;
    /// True in setup mode; otherwise whether the commissioning parameters let the key medium be confirmed
    /// automatically (false without a commissioning object).
    bool CanAutomaticallyAcknowledgeTessera() override;
    /// Whether the key medium is acknowledged.
    bool CanManuallyAcknowledgeUdids() override;
    /// Whether the setup mode is active.
    bool CanAutomaticallyAcknowledgeUdids() override;
    /// Whether the key medium is acknowledged.
    bool CanManuallyAcknowledgeFirmware() override;
    /// True in setup mode; otherwise whether the commissioning parameters let the firmware be confirmed
    /// automatically (false without a commissioning object).
    bool CanAutomaticallyAcknowledgeFirmware() override;

private:
    /// One pass over the flag reader. Without a record both inverted flags stay set: nothing is allowed.
    void ReadInvertedFlags(bool& invertedAcknowledgeTessera, bool& invertedAcknowledgeMinorRevisions);

    const CTessera& m_tessera;
    Param::CInvertedCommissioningFlagReader& m_invertedFlagReader;
};
} // namespace Main

#endif
