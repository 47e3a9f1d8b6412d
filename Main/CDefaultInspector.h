// The default inspector: fans messages out to the four checks and releases the SCM's frames by their check bits.
#ifndef MAIN_CDEFAULTINSPECTOR_H
#define MAIN_CDEFAULTINSPECTOR_H

#include <cstdint>

#include "Epls/CDecodedFrameVisitor.h"
#include "Event/CDecodedEventVisitor.h"
#include "Hmi/CDecodedCommandVisitor.h"
#include "Main/CInspector.h"

namespace Check
{
class CUdidInspector;
class CFirmwareInspector;
class CParameterInspector;
class CAdditionalParameterInspector;
} // namespace Check

namespace Main
{
class CTessera;
class CTesseraCommissioner;
class CAuthentification;

/// Handles itself what concerns the key medium, the operator password and the setup mode, and hands every message
/// to the UDID, firmware, parameter and additional-parameter checks in this order. Exceptions of the checks and
/// the collaborators pass through unchanged. Used by the check task only.
class CDefaultInspector : public CInspector,
                          public Epls::CDecodedFrameVisitor,
                          public Event::CDecodedEventVisitor,
                          public Hmi::CDecodedCommandVisitor
{
public:
    /// The two check bits of every byte that each check releases; together they cover each bit once.
    static constexpr std::uint8_t ms_UdidCheckBitMask = 0x03u;
    static constexpr std::uint8_t ms_FirmwareCheckBitMask = 0x0Cu;
    static constexpr std::uint8_t ms_ParameterCheckBitMask = 0x30u;
    static constexpr std::uint8_t ms_AdditionalParameterCheckBitMask = 0xC0u;

    CDefaultInspector(CTessera& tessera, CTesseraCommissioner& tesseraCommissioner, CAuthentification& authentification,
                      Check::CUdidInspector& udidInspector, Check::CFirmwareInspector& firmwareInspector,
                      Check::CParameterInspector& parameterInspector,
                      Check::CAdditionalParameterInspector& additionalParameterInspector);
    CDefaultInspector(const CDefaultInspector&) = delete;
    CDefaultInspector& operator=(const CDefaultInspector&) = delete;
    ~CDefaultInspector() override = default;

    /// A command whose password is not valid has no effect and reaches no check. Otherwise the command visits
    /// this inspector (password change, key-medium acknowledgement, setup mode), then the UDID and firmware checks
    /// see it. Reading the password of a command shorter than its header raises 0xE2C6.
    void InspectCommand(const Hmi::CDecodedCommand& command) override;
    /// A key-medium acknowledgement by the SCM is taken over when the commissioner allows it automatically; then
    /// the UDID and firmware checks see the event.
    void InspectEvent(const Event::CDecodedEvent& event) override;
    /// The four checks in turn; no check bits.
    void InspectReceivedFrame(const Epls::CDecodedFrame& frame) override;
    /// Requires an acknowledged key medium for a set-to-operational frame (else 0xE249, TesseraNotAcknowledged,
    /// and the inspector is invalid for good), then asks the four checks in turn and, after each one accepts,
    /// flips its two bits in each of the checkDataLength bytes of checkData. The first objection ends the
    /// operation: no later bits are flipped. A null checkData raises 0xE200 when the first check has accepted.
    void InspectSentFrame(const Epls::CDecodedFrame& frame, std::uint16_t checkDataLength,
                          std::uint8_t* checkData) override;
    /// This inspector's own state, then the four checks', in order.
    bool IsValid() const override;

    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override;

    void VisitTesseraAcknowledged(const Event::CDecodedTesseraAcknowledged& event) override;

    void VisitChangePassword(const Hmi::CDecodedChangePassword& command) override;
    void VisitAcknowledgeTessera(const Hmi::CDecodedAcknowledgeTessera& command) override;
    void VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command) override;
    void VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& command) override;
    void VisitActivateSetupMode(const Hmi::CDecodedActivateSetupMode& command) override;
    void VisitDeactivateSetupMode(const Hmi::CDecodedDeactivateSetupMode& command) override;

private:
    static void InvertCheckBits(std::uint16_t checkDataLength, std::uint8_t* checkData, std::uint8_t bitMask);
    bool HasValidPassword(const Hmi::CDecodedCommand& command) const;
    void UpdateAuthentification(const Hmi::CDecodedCommand& command);

    CTessera& m_tessera;
    CTesseraCommissioner& m_tesseraCommissioner;
    CAuthentification& m_authentification;
    Check::CUdidInspector& m_udidInspector;
    Check::CFirmwareInspector& m_firmwareInspector;
    Check::CParameterInspector& m_parameterInspector;
    Check::CAdditionalParameterInspector& m_additionalParameterInspector;
    bool m_valid;
};
} // namespace Main

#endif
