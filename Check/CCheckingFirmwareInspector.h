// Firmware inspector: collects each module's device vendor information and releases modules with matching firmware.
#ifndef CHECK_CCHECKINGFIRMWAREINSPECTOR_H
#define CHECK_CCHECKINGFIRMWAREINSPECTOR_H

#include <array>
#include <cstdint>

#include "Check/CFirmwareInspector.h"
#include "Epls/CDecodedFrameVisitor.h"
#include "Event/CDecodedEventVisitor.h"
#include "Hmi/CDecodedCommandVisitor.h"
#include "Param/SafetyAddress.h"

namespace Check
{
class CFirmwareChecker;
class CFirmwareCommissioner;

/// The module's answers to uploads of 0x1018 sub-indices 1 (vendor id), 2 (product code) and 3 (revision number)
/// are collected in any order; the third completes a discovery in the checker. An SN set to operational is refused
/// with 0xE2DF (information0 = the address, information1 = the module flags) unless the module's vendor information
/// was read since its last SADR assignment and the checker finds it matching; IsValid() is false for good from then
/// on. An answer of other than 4 bytes raises 0xE2DD (information0 = the address, information1 = the length). A
/// safety address outside 1..1023 in an answer for 0x1018, a SADR assignment or an SN set to operational raises
/// 0xE200. Exceptions of the checker and the commissioner pass unchanged.
class CCheckingFirmwareInspector : public CFirmwareInspector,
                                   public Epls::CDecodedFrameVisitor,
                                   public Event::CDecodedEventVisitor,
                                   public Hmi::CDecodedCommandVisitor
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint16_t ms_DeviceVendorInformationIndex = 0x1018u;
    static constexpr std::uint8_t ms_VendorIdSubIndex = 1u;
    static constexpr std::uint8_t ms_ProductCodeSubIndex = 2u;
    static constexpr std::uint8_t ms_RevisionNumberSubIndex = 3u;
    static constexpr std::uint32_t ms_RequiredModuleFlag = 1u;
    static constexpr std::uint32_t ms_DiscoveredModuleFlag = 2u;
    static constexpr std::uint32_t ms_AcknowledgedModuleFlag = 4u;
    static constexpr std::uint32_t ms_CompatibleModuleFlag = 8u;
    static constexpr std::uint32_t ms_MatchingModuleFlag = 16u;

    /// Both are kept by reference and must outlive the inspector.
    CCheckingFirmwareInspector(CFirmwareChecker& firmwareChecker, CFirmwareCommissioner& firmwareCommissioner);
    CCheckingFirmwareInspector(const CCheckingFirmwareInspector&) = delete;
    CCheckingFirmwareInspector& operator=(const CCheckingFirmwareInspector&) = delete;

    void InspectCommand(const Hmi::CDecodedCommand& command) override;
    void InspectEvent(const Event::CDecodedEvent& event) override;
    void InspectReceivedFrame(const Epls::CDecodedFrame& frame) override;
    void InspectSentFrame(const Epls::CDecodedFrame& frame) override;
    bool IsValid() const override;

    /// The vendor information must be read again, all three answers, before the module is released.
    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override;
    /// The release decision.
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override;
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override;
    /// When the commissioner allows it: acknowledges the firmware of every compatible module.
    void VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& command) override;
    /// A password change acknowledges the firmware of every compatible module, without asking the commissioner.
    void VisitChangePassword(const Hmi::CDecodedChangePassword& command) override;
    /// When the commissioner allows it: acknowledges the firmware of every compatible module.
    void VisitFirmwareAcknowledged(const Event::CDecodedFirmwareAcknowledged& event) override;

private:
    /// Index of a valid address; 0xE200 otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    std::uint32_t GetModuleFlags(std::uint16_t safetyAddress) const;

    std::array<bool, ms_ModuleCount> m_revisionNumberReceivedFlags;
    std::array<std::uint32_t, ms_ModuleCount> m_invertedVendorIds;
    std::array<std::uint32_t, ms_ModuleCount> m_invertedProductCodes;
    std::array<std::uint32_t, ms_ModuleCount> m_invertedRevisionNumbers;
    CFirmwareChecker& m_firmwareChecker;
    CFirmwareCommissioner& m_firmwareCommissioner;
    bool m_valid;
};
} // namespace Check

#endif
