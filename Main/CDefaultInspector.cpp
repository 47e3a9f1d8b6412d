// The default inspector: fans messages out to the four checks and releases the SCM's frames by their check bits.
#include "Main/CDefaultInspector.h"

#include "Check/CAdditionalParameterInspector.h"
#include "Check/CFirmwareInspector.h"
#include "Check/CParameterInspector.h"
#include "Check/CUdidInspector.h"
#include "Epls/CDecodedFrame.h"
#include "Event/CDecodedEvent.h"
#include "Hmi/CDecodedAcknowledgeFirmware.h"
#include "Hmi/CDecodedAcknowledgeModules.h"
#include "Hmi/CDecodedAcknowledgeTessera.h"
#include "Hmi/CDecodedChangePassword.h"
#include "Hmi/CDecodedCommand.h"
#include "Main/CAuthentification.h"
#include "Main/CInspectorEventCode.h"
#include "Main/CTessera.h"
#include "Main/CTesseraCommissioner.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

// Test-only variants of the checker (built by tools/scm-campaign, never installed) set SCM_BLIND_CHECK to 1..4: the
// UDID, firmware, parameter or additional-parameter inspector then releases its bits of the SCM's frames without
// looking, so that a campaign can show what that check alone guards. Every other build has 0.
#ifndef SCM_BLIND_CHECK
#define SCM_BLIND_CHECK 0
#endif

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDefaultInspector.cpp");

using Inspector = Main::CDefaultInspector;
static_assert(((Inspector::ms_UdidCheckBitMask & Inspector::ms_FirmwareCheckBitMask) == 0u) &&
                  ((Inspector::ms_UdidCheckBitMask & Inspector::ms_ParameterCheckBitMask) == 0u) &&
                  ((Inspector::ms_UdidCheckBitMask & Inspector::ms_AdditionalParameterCheckBitMask) == 0u) &&
                  ((Inspector::ms_FirmwareCheckBitMask & Inspector::ms_ParameterCheckBitMask) == 0u) &&
                  ((Inspector::ms_FirmwareCheckBitMask & Inspector::ms_AdditionalParameterCheckBitMask) == 0u) &&
                  ((Inspector::ms_ParameterCheckBitMask & Inspector::ms_AdditionalParameterCheckBitMask) == 0u),
              "no bit is owned by two checks");
static_assert((Inspector::ms_UdidCheckBitMask | Inspector::ms_FirmwareCheckBitMask |
               Inspector::ms_ParameterCheckBitMask | Inspector::ms_AdditionalParameterCheckBitMask) == 0xFFu,
              "the four checks together restore every bit of a byte");
} // namespace

namespace Main
{
CDefaultInspector::CDefaultInspector(CTessera& tessera, CTesseraCommissioner& tesseraCommissioner,
                                     CAuthentification& authentification, Check::CUdidInspector& udidInspector,
                                     Check::CFirmwareInspector& firmwareInspector,
                                     Check::CParameterInspector& parameterInspector,
                                     Check::CAdditionalParameterInspector& additionalParameterInspector)
    : m_tessera(tessera), m_tesseraCommissioner(tesseraCommissioner), m_authentification(authentification),
      m_udidInspector(udidInspector), m_firmwareInspector(firmwareInspector), m_parameterInspector(parameterInspector),
      m_additionalParameterInspector(additionalParameterInspector), m_valid(true)
{
}

void CDefaultInspector::InspectCommand(const Hmi::CDecodedCommand& command)
{
    if (!HasValidPassword(command))
    {
        return;
    }
    command.Accept(*this);
    m_udidInspector.InspectCommand(command);
    m_firmwareInspector.InspectCommand(command);
}

void CDefaultInspector::InspectEvent(const Event::CDecodedEvent& event)
{
    event.Accept(*this);
    m_udidInspector.InspectEvent(event);
    m_firmwareInspector.InspectEvent(event);
}

void CDefaultInspector::InspectReceivedFrame(const Epls::CDecodedFrame& frame)
{
    m_udidInspector.InspectReceivedFrame(frame);
    m_firmwareInspector.InspectReceivedFrame(frame);
    m_parameterInspector.InspectReceivedFrame(frame);
    m_additionalParameterInspector.InspectReceivedFrame(frame);
}

// Each check restores its own bits only after it has accepted: a refusal leaves the bits of that check and of
// every later one complemented, so the frame can no longer equal the session's plain copy.
void CDefaultInspector::InspectSentFrame(const Epls::CDecodedFrame& frame, std::uint16_t checkDataLength,
                                         std::uint8_t* checkData)
{
    frame.Accept(*this);
#if SCM_BLIND_CHECK != 1
    m_udidInspector.InspectSentFrame(frame);
#endif
    InvertCheckBits(checkDataLength, checkData, ms_UdidCheckBitMask);
#if SCM_BLIND_CHECK != 2
    m_firmwareInspector.InspectSentFrame(frame);
#endif
    InvertCheckBits(checkDataLength, checkData, ms_FirmwareCheckBitMask);
#if SCM_BLIND_CHECK != 3
    m_parameterInspector.InspectSentFrame(frame);
#endif
    InvertCheckBits(checkDataLength, checkData, ms_ParameterCheckBitMask);
#if SCM_BLIND_CHECK != 4
    m_additionalParameterInspector.InspectSentFrame(frame);
#endif
    InvertCheckBits(checkDataLength, checkData, ms_AdditionalParameterCheckBitMask);
}

bool CDefaultInspector::IsValid() const
{
    return m_valid && m_udidInspector.IsValid() && m_firmwareInspector.IsValid() && m_parameterInspector.IsValid() &&
           m_additionalParameterInspector.IsValid();
}

void CDefaultInspector::VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame)
{
    (void)frame;
    if (!m_tessera.IsAcknowledged())
    {
        m_valid = false;
        throw Util::CException(CInspectorEventCode::TesseraNotAcknowledged);
    }
}

void CDefaultInspector::VisitTesseraAcknowledged(const Event::CDecodedTesseraAcknowledged& event)
{
    (void)event;
    if (m_tesseraCommissioner.CanAutomaticallyAcknowledgeTessera())
    {
        m_tessera.Acknowledge();
    }
}

void CDefaultInspector::VisitChangePassword(const Hmi::CDecodedChangePassword& command)
{
    std::uint8_t invertedPassword[Util::PasswordLength] = {};
    Util::GetInvertedPassword(command.GetChangedPassword(), invertedPassword);
    m_authentification.SetInvertedPassword(invertedPassword);
}

void CDefaultInspector::VisitAcknowledgeTessera(const Hmi::CDecodedAcknowledgeTessera& command)
{
    if (m_tesseraCommissioner.CanManuallyAcknowledgeTessera())
    {
        m_tessera.Acknowledge();
        UpdateAuthentification(command);
    }
}

// The UDID check acknowledges the modules themselves; here the operator's password becomes the stored one.
void CDefaultInspector::VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command)
{
    UpdateAuthentification(command);
}

// The firmware check acknowledges the firmware itself; here the operator's password becomes the stored one.
void CDefaultInspector::VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& command)
{
    UpdateAuthentification(command);
}

void CDefaultInspector::VisitActivateSetupMode(const Hmi::CDecodedActivateSetupMode& command)
{
    (void)command;
    m_tessera.SetSetupModeActive(true);
}

void CDefaultInspector::VisitDeactivateSetupMode(const Hmi::CDecodedDeactivateSetupMode& command)
{
    (void)command;
    m_tessera.SetSetupModeActive(false);
}

void CDefaultInspector::InvertCheckBits(std::uint16_t checkDataLength, std::uint8_t* checkData, std::uint8_t bitMask)
{
    SCM_GUARD(checkData != nullptr);
    for (std::uint16_t i = 0u; i < checkDataLength; ++i)
    {
        checkData[i] = static_cast<std::uint8_t>(checkData[i] ^ bitMask);
    }
}

bool CDefaultInspector::HasValidPassword(const Hmi::CDecodedCommand& command) const
{
    std::uint8_t invertedPassword[Util::PasswordLength] = {};
    Util::GetInvertedPassword(command.GetPassword(), invertedPassword);
    return m_authentification.IsValidInvertedPassword(invertedPassword);
}

void CDefaultInspector::UpdateAuthentification(const Hmi::CDecodedCommand& command)
{
    std::uint8_t invertedPassword[Util::PasswordLength] = {};
    Util::GetInvertedPassword(command.GetPassword(), invertedPassword);
    m_authentification.SetInvertedPassword(invertedPassword);
}
} // namespace Main
