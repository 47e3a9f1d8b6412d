// Firmware inspector: collects each module's device vendor information and releases modules with matching firmware.
#include "Check/CCheckingFirmwareInspector.h"

#include "Check/CFirmwareCheckEventCode.h"
#include "Check/CFirmwareChecker.h"
#include "Check/CFirmwareCommissioner.h"
#include "Epls/CDecodedFrame.h"
#include "Epls/CDecodedSnmtAssignSadr.h"
#include "Epls/CDecodedSnmtSnSetToOp.h"
#include "Epls/CDecodedSsdoUploadInitiateExpeditedResponse.h"
#include "Event/CDecodedEvent.h"
#include "Hmi/CDecodedCommand.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CCheckingFirmwareInspector.cpp");

constexpr std::uint32_t AbsentInvertedUInt32 = Util::GetInvertedUInt32(0u);
constexpr std::uint8_t VersionValueLength = 4u;
} // namespace

namespace Check
{
CCheckingFirmwareInspector::CCheckingFirmwareInspector(CFirmwareChecker& firmwareChecker,
                                                       CFirmwareCommissioner& firmwareCommissioner)
    : m_revisionNumberReceivedFlags{}, m_invertedVendorIds{}, m_invertedProductCodes{}, m_invertedRevisionNumbers{},
      m_firmwareChecker(firmwareChecker), m_firmwareCommissioner(firmwareCommissioner), m_valid(true)
{
    m_invertedVendorIds.fill(AbsentInvertedUInt32);
    m_invertedProductCodes.fill(AbsentInvertedUInt32);
    m_invertedRevisionNumbers.fill(AbsentInvertedUInt32);
}

void CCheckingFirmwareInspector::InspectCommand(const Hmi::CDecodedCommand& command)
{
    command.Accept(static_cast<Hmi::CDecodedCommandVisitor&>(*this));
}

void CCheckingFirmwareInspector::InspectEvent(const Event::CDecodedEvent& event)
{
    event.Accept(static_cast<Event::CDecodedEventVisitor&>(*this));
}

void CCheckingFirmwareInspector::InspectReceivedFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(static_cast<Epls::CDecodedFrameVisitor&>(*this));
}

void CCheckingFirmwareInspector::InspectSentFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(static_cast<Epls::CDecodedFrameVisitor&>(*this));
}

bool CCheckingFirmwareInspector::IsValid() const
{
    return m_valid;
}

void CCheckingFirmwareInspector::VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame)
{
    const std::uint32_t i = GetModuleIndex(frame.GetSafetyAddress());
    m_revisionNumberReceivedFlags[i] = false;
    // The address may now belong to another device: answers of an unfinished set came from the previous one and
    // must not complete a set together with the new device's answers.
    m_invertedVendorIds[i] = AbsentInvertedUInt32;
    m_invertedProductCodes[i] = AbsentInvertedUInt32;
    m_invertedRevisionNumbers[i] = AbsentInvertedUInt32;
}

void CCheckingFirmwareInspector::VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_revisionNumberReceivedFlags[i] && m_firmwareChecker.IsValidModule(safetyAddress))
    {
        return;
    }
    m_valid = false;
    throw Util::CException(CFirmwareCheckEventCode::InvalidState, safetyAddress, GetModuleFlags(safetyAddress));
}

void CCheckingFirmwareInspector::VisitSsdoUploadInitiateExpeditedResponse(
    const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame)
{
    if (frame.GetIndex() != ms_DeviceVendorInformationIndex)
    {
        return;
    }
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    std::uint32_t* slot = nullptr;
    switch (frame.GetSubIndex())
    {
    case ms_VendorIdSubIndex:
        slot = &m_invertedVendorIds[i];
        break;
    case ms_ProductCodeSubIndex:
        slot = &m_invertedProductCodes[i];
        break;
    case ms_RevisionNumberSubIndex:
        slot = &m_invertedRevisionNumbers[i];
        break;
    default:
        return;
    }
    if (frame.GetParameterDataLength() != VersionValueLength)
    {
        throw Util::CException(CFirmwareCheckEventCode::InvalidParameterLength, safetyAddress,
                               frame.GetParameterDataLength());
    }
    *slot = Util::GetInvertedUInt32(Util::GetLittleEndianUInt32(frame.GetParameterData(), 0u));
    if ((m_invertedVendorIds[i] == AbsentInvertedUInt32) || (m_invertedProductCodes[i] == AbsentInvertedUInt32) ||
        (m_invertedRevisionNumbers[i] == AbsentInvertedUInt32))
    {
        return;
    }
    const std::uint32_t invertedVendorId = m_invertedVendorIds[i];
    const std::uint32_t invertedProductCode = m_invertedProductCodes[i];
    const std::uint32_t invertedRevisionNumber = m_invertedRevisionNumbers[i];
    // Cleared before the checker may refuse the set, so that every discovery needs three fresh answers.
    m_invertedVendorIds[i] = AbsentInvertedUInt32;
    m_invertedProductCodes[i] = AbsentInvertedUInt32;
    m_invertedRevisionNumbers[i] = AbsentInvertedUInt32;
    m_revisionNumberReceivedFlags[i] = true;
    m_firmwareChecker.RemoveDiscoveredModule(safetyAddress);
    m_firmwareChecker.AddDiscoveredModule(safetyAddress, invertedVendorId, invertedProductCode,
                                          static_cast<std::uint16_t>(invertedRevisionNumber >> 16),
                                          static_cast<std::uint16_t>(invertedRevisionNumber));
}

void CCheckingFirmwareInspector::VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& /*command*/)
{
    if (m_firmwareCommissioner.CanManuallyAcknowledgeFirmware())
    {
        (void)m_firmwareChecker.TryAcknowledgeModules();
    }
}

void CCheckingFirmwareInspector::VisitChangePassword(const Hmi::CDecodedChangePassword& /*command*/)
{
    (void)m_firmwareChecker.TryAcknowledgeModules();
}

void CCheckingFirmwareInspector::VisitFirmwareAcknowledged(const Event::CDecodedFirmwareAcknowledged& /*event*/)
{
    if (m_firmwareCommissioner.CanAutomaticallyAcknowledgeFirmware())
    {
        (void)m_firmwareChecker.TryAcknowledgeModules();
    }
}

std::uint32_t CCheckingFirmwareInspector::GetModuleIndex(std::uint16_t safetyAddress)
{
    SCM_GUARD(Param::IsValidSafetyAddress(safetyAddress));
    return safetyAddress - 1u;
}

std::uint32_t CCheckingFirmwareInspector::GetModuleFlags(std::uint16_t safetyAddress) const
{
    std::uint32_t flags = 0u;
    flags |= m_firmwareChecker.IsRequiredModule(safetyAddress) ? ms_RequiredModuleFlag : 0u;
    flags |= m_firmwareChecker.IsDiscoveredModule(safetyAddress) ? ms_DiscoveredModuleFlag : 0u;
    flags |= m_firmwareChecker.IsAcknowledgedModule(safetyAddress) ? ms_AcknowledgedModuleFlag : 0u;
    flags |= m_firmwareChecker.IsCompatibleModule(safetyAddress) ? ms_CompatibleModuleFlag : 0u;
    flags |= m_firmwareChecker.IsMatchingModule(safetyAddress) ? ms_MatchingModuleFlag : 0u;
    return flags;
}
} // namespace Check
