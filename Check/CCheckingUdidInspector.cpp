// UDID inspector: follows UDID reports, SADR assignments and encoder reports, and releases modules with a valid UDID.
#include "Check/CCheckingUdidInspector.h"

#include <algorithm>

#include "Check/CUdidCheckEventCode.h"
#include "Check/CUdidChecker.h"
#include "Check/CUdidCommissioner.h"
#include "Epls/CDecodedFrame.h"
#include "Epls/CDecodedSnmtAssignSadr.h"
#include "Epls/CDecodedSnmtResponseUdid.h"
#include "Epls/CDecodedSnmtSadrAssigned.h"
#include "Epls/CDecodedSnmtSnAck.h"
#include "Epls/CDecodedSnmtSnFail.h"
#include "Epls/CDecodedSnmtSnSetToOp.h"
#include "Event/CDecodedEvent.h"
#include "Event/CDecodedModulesAcknowledged.h"
#include "Hmi/CDecodedAcknowledgeModules.h"
#include "Hmi/CDecodedCommand.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CCheckingUdidInspector.cpp");
}

namespace Check
{
CCheckingUdidInspector::CCheckingUdidInspector(CUdidChecker& udidChecker, CUdidCommissioner& udidCommissioner)
    : m_udidReceivedFlags{}, m_probablyRemovedFlags{}, m_invertedUdids{}, m_udidChecker(udidChecker),
      m_udidCommissioner(udidCommissioner), m_valid(true)
{
    for (auto& invertedUdid : m_invertedUdids)
    {
        Util::ClearInvertedUdid(invertedUdid.data());
    }
}

void CCheckingUdidInspector::InspectCommand(const Hmi::CDecodedCommand& command)
{
    command.Accept(static_cast<Hmi::CDecodedCommandVisitor&>(*this));
}

void CCheckingUdidInspector::InspectEvent(const Event::CDecodedEvent& event)
{
    event.Accept(static_cast<Event::CDecodedEventVisitor&>(*this));
}

void CCheckingUdidInspector::InspectReceivedFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(static_cast<Epls::CDecodedFrameVisitor&>(*this));
}

void CCheckingUdidInspector::InspectSentFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(static_cast<Epls::CDecodedFrameVisitor&>(*this));
}

bool CCheckingUdidInspector::IsValid() const
{
    return m_valid;
}

void CCheckingUdidInspector::VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    m_udidReceivedFlags[i] = false;
    if (m_probablyRemovedFlags[i])
    {
        m_probablyRemovedFlags[i] = false;
        Util::ClearInvertedUdid(m_invertedUdids[i].data());
        m_udidChecker.RemoveDiscoveredModule(safetyAddress);
    }
}

void CCheckingUdidInspector::VisitSnmtSadrAssigned(const Epls::CDecodedSnmtSadrAssigned& frame)
{
    UpdateModuleUdid(frame.GetSafetyAddress(), frame.GetUdid());
}

void CCheckingUdidInspector::VisitSnmtResponseUdid(const Epls::CDecodedSnmtResponseUdid& frame)
{
    UpdateModuleUdid(frame.GetSafetyAddress(), frame.GetUdid());
}

void CCheckingUdidInspector::VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_udidReceivedFlags[i] && m_udidChecker.IsValidModule(safetyAddress))
    {
        return;
    }
    m_valid = false;
    throw Util::CException(CUdidCheckEventCode::InvalidState, safetyAddress, GetModuleFlags(safetyAddress));
}

void CCheckingUdidInspector::VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame)
{
    if ((frame.GetErrorGroup() == ms_VendorSpecificErrorGroup) && (frame.GetErrorCode() == ms_EncoderMismatchErrorCode))
    {
        m_udidChecker.RemoveDiscoveredEncoder(frame.GetSafetyAddress());
    }
}

void CCheckingUdidInspector::VisitSnmtSnAck(const Epls::CDecodedSnmtSnAck& frame)
{
    if ((frame.GetErrorGroup() == ms_VendorSpecificErrorGroup) && (frame.GetErrorCode() == ms_EncoderMismatchErrorCode))
    {
        m_udidChecker.AddDiscoveredEncoder(frame.GetSafetyAddress());
    }
}

void CCheckingUdidInspector::VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command)
{
    if (!m_udidCommissioner.CanManuallyAcknowledgeUdids())
    {
        return;
    }
    switch (command.GetAcknowledgedModuleCount())
    {
    case Hmi::CDecodedAcknowledgeModules::One:
    case Hmi::CDecodedAcknowledgeModules::Two:
    case Hmi::CDecodedAcknowledgeModules::Three:
    case Hmi::CDecodedAcknowledgeModules::Four:
        // A count that does not match the pending modules acknowledges nothing, silently.
        (void)m_udidChecker.TryAcknowledgeModules(static_cast<std::uint32_t>(command.GetAcknowledgedModuleCount()));
        break;
    case Hmi::CDecodedAcknowledgeModules::FiveOrMore:
        (void)m_udidChecker.TryAcknowledgeModules(m_udidChecker.GetUnacknowledgedModuleCount());
        break;
    default:
        SCM_GUARD(false);
    }
}

void CCheckingUdidInspector::VisitModulesAcknowledged(const Event::CDecodedModulesAcknowledged& event)
{
    if (!m_udidCommissioner.CanAutomaticallyAcknowledgeUdids())
    {
        return;
    }
    (void)m_udidChecker.TryAcknowledgeModules(event.GetAcknowledgedModuleCount());
}

void CCheckingUdidInspector::UpdateModuleUdid(std::uint16_t safetyAddress, const std::uint8_t* udid)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    SCM_GUARD(udid != nullptr);
    std::array<std::uint8_t, Util::UdidLength> invertedUdid{};
    Util::GetInvertedUdid(udid, invertedUdid.data());
    UpdatePreviousModuleUdid(safetyAddress, invertedUdid.data());
    m_udidReceivedFlags[i] = true;
    m_invertedUdids[i] = invertedUdid;
    // Removing first makes every report a fresh discovery: consistency, matching and uniqueness are re-evaluated.
    m_udidChecker.RemoveDiscoveredModule(safetyAddress);
    m_udidChecker.AddDiscoveredModule(safetyAddress, invertedUdid.data());
}

void CCheckingUdidInspector::UpdatePreviousModuleUdid(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid)
{
    std::array<std::uint8_t, Util::UdidLength> udid{};
    std::copy_n(invertedUdid, Util::UdidLength, udid.data());
    const std::uint32_t reportingIndex = GetModuleIndex(safetyAddress);
    for (std::uint32_t p = 0u; p < ms_ModuleCount; ++p)
    {
        if ((p == reportingIndex) || (m_invertedUdids[p] != udid))
        {
            continue;
        }
        // The module moved. Without a report at its old address since that address was last assigned, the old
        // entry is stale now; otherwise it goes at the next SADR assignment of the old address.
        m_probablyRemovedFlags[p] = m_udidReceivedFlags[p];
        if (!m_udidReceivedFlags[p])
        {
            Util::ClearInvertedUdid(m_invertedUdids[p].data());
            m_udidChecker.RemoveDiscoveredModule(static_cast<std::uint16_t>(p + 1u));
        }
    }
}

std::uint32_t CCheckingUdidInspector::GetModuleIndex(std::uint16_t safetyAddress)
{
    SCM_GUARD(Param::IsValidSafetyAddress(safetyAddress));
    return safetyAddress - 1u;
}

std::uint32_t CCheckingUdidInspector::GetModuleFlags(std::uint16_t safetyAddress) const
{
    std::uint32_t flags = 0u;
    flags |= m_udidChecker.IsRequiredModule(safetyAddress) ? ms_RequiredModuleFlag : 0u;
    flags |= m_udidChecker.IsDiscoveredModule(safetyAddress) ? ms_DiscoveredModuleFlag : 0u;
    flags |= m_udidChecker.IsAcknowledgedModule(safetyAddress) ? ms_AcknowledgedModuleFlag : 0u;
    flags |= m_udidChecker.IsMatchingModule(safetyAddress) ? ms_MatchingModuleFlag : 0u;
    flags |= m_udidChecker.IsConsistentModule(safetyAddress) ? ms_ConsistentModuleFlag : 0u;
    flags |= m_udidChecker.IsUniqueModule(safetyAddress) ? ms_UniqueModuleFlag : 0u;
    return flags;
}
} // namespace Check
