// UDID inspector: follows UDID reports, SADR assignments and encoder reports, and releases modules with a valid UDID.
#ifndef CHECK_CCHECKINGUDIDINSPECTOR_H
#define CHECK_CCHECKINGUDIDINSPECTOR_H

#include <array>
#include <cstdint>

#include "Check/CUdidInspector.h"
#include "Epls/CDecodedFrameVisitor.h"
#include "Event/CDecodedEventVisitor.h"
#include "Hmi/CDecodedCommandVisitor.h"
#include "Param/SafetyAddress.h"
#include "Util/Inversion.h"

namespace Check
{
class CUdidChecker;
class CUdidCommissioner;

/// Frames of both directions feed the checker; commands and events acknowledge. Direction plays no part: the
/// message type alone selects the visit. An SN set to operational is refused with 0xE2D8 (information0 = the
/// address, information1 = the module flags) unless the module reported its UDID since its last SADR assignment
/// and the checker finds it valid; IsValid() is false for good from then on. A safety address outside 1..1023 in a
/// SADR assignment, a UDID report or an SN set to operational raises 0xE200. Exceptions of the checker and the
/// commissioner pass unchanged.
class CCheckingUdidInspector : public CUdidInspector,
                               public Epls::CDecodedFrameVisitor,
                               public Event::CDecodedEventVisitor,
                               public Hmi::CDecodedCommandVisitor
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint8_t ms_VendorSpecificErrorGroup = 3u;
    static constexpr std::uint8_t ms_EncoderMismatchErrorCode = 2u;
    static constexpr std::uint32_t ms_RequiredModuleFlag = 1u;
    static constexpr std::uint32_t ms_DiscoveredModuleFlag = 2u;
    static constexpr std::uint32_t ms_AcknowledgedModuleFlag = 4u;
    static constexpr std::uint32_t ms_MatchingModuleFlag = 8u;
    static constexpr std::uint32_t ms_ConsistentModuleFlag = 16u;
    static constexpr std::uint32_t ms_UniqueModuleFlag = 32u;

    /// Both are kept by reference and must outlive the inspector.
    CCheckingUdidInspector(CUdidChecker& udidChecker, CUdidCommissioner& udidCommissioner);
    CCheckingUdidInspector(const CCheckingUdidInspector&) = delete;
    CCheckingUdidInspector& operator=(const CCheckingUdidInspector&) = delete;

    void InspectCommand(const Hmi::CDecodedCommand& command) override;
    void InspectEvent(const Event::CDecodedEvent& event) override;
    void InspectReceivedFrame(const Epls::CDecodedFrame& frame) override;
    void InspectSentFrame(const Epls::CDecodedFrame& frame) override;
    bool IsValid() const override;

    /// Forgets the reported UDID; drops the module from the checker if its UDID meanwhile turned up elsewhere.
    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override;
    void VisitSnmtSadrAssigned(const Epls::CDecodedSnmtSadrAssigned& frame) override;
    void VisitSnmtResponseUdid(const Epls::CDecodedSnmtResponseUdid& frame) override;
    /// The release decision.
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override;
    /// Group 3, code 2: the module's encoder is inconsistent.
    void VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame) override;
    /// Group 3, code 2: the module's encoder is consistent again.
    void VisitSnmtSnAck(const Epls::CDecodedSnmtSnAck& frame) override;
    /// When the commissioner allows it: acknowledges 1 to 4 modules, or every pending one for FiveOrMore.
    void VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command) override;
    /// When the commissioner allows it: acknowledges the event's number of modules.
    void VisitModulesAcknowledged(const Event::CDecodedModulesAcknowledged& event) override;

private:
    /// A UDID reported for the address: drops it from other addresses, then re-adds the module in the checker.
    void UpdateModuleUdid(std::uint16_t safetyAddress, const std::uint8_t* udid);
    void UpdatePreviousModuleUdid(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid);
    /// Index of a valid address; 0xE200 otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    std::uint32_t GetModuleFlags(std::uint16_t safetyAddress) const;

    std::array<bool, ms_ModuleCount> m_udidReceivedFlags;
    std::array<bool, ms_ModuleCount> m_probablyRemovedFlags;
    std::array<std::array<std::uint8_t, Util::UdidLength>, ms_ModuleCount> m_invertedUdids;
    CUdidChecker& m_udidChecker;
    CUdidCommissioner& m_udidCommissioner;
    bool m_valid;
};
} // namespace Check

#endif
