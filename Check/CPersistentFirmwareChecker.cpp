// Firmware checker over the configured versions and the acknowledged minor revisions, writing acknowledgements back.
#include "Check/CPersistentFirmwareChecker.h"

#include "Check/CFirmwareCheckEventCode.h"
#include "Check/CPersistentFirmwareCheckerCallback.h"
#include "Param/CInvertedFirmwareVersionReader.h"
#include "Param/CInvertedMinorRevisionReader.h"
#include "Param/CInvertedMinorRevisionWriter.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CPersistentFirmwareChecker.cpp");

constexpr std::uint32_t AbsentInvertedUInt32 = Util::GetInvertedUInt32(0u);
constexpr std::uint16_t AbsentInvertedUInt16 = Util::GetInvertedUInt16(0u);

bool HasZeroValue(std::uint32_t invertedVendorId, std::uint32_t invertedProductCode,
                  std::uint16_t invertedMajorRevision, std::uint16_t invertedMinorRevision)
{
    return (invertedVendorId == AbsentInvertedUInt32) || (invertedProductCode == AbsentInvertedUInt32) ||
           (invertedMajorRevision == AbsentInvertedUInt16) || (invertedMinorRevision == AbsentInvertedUInt16);
}
} // namespace

namespace Check
{
CPersistentFirmwareChecker::CPersistentFirmwareChecker(
    Param::CInvertedFirmwareVersionReader& requiredInvertedVersionReader,
    Param::CInvertedMinorRevisionReader& acknowledgedInvertedMinorRevisionReader,
    Param::CInvertedMinorRevisionWriter& acknowledgedInvertedMinorRevisionWriter,
    CPersistentFirmwareCheckerCallback& callback)
    : m_requiredModules{}, m_requiredInvertedVendorIds{}, m_requiredInvertedProductCodes{},
      m_requiredInvertedMajorRevisions{}, m_requiredInvertedMinorRevisions{}, m_acknowledgedModules{},
      m_acknowledgedInvertedMinorRevisions{}, m_discoveredModules{}, m_compatibleModules{}, m_matchingModules{},
      m_discoveredInvertedMinorRevisions{}, m_requiredInvertedVersionReader(requiredInvertedVersionReader),
      m_acknowledgedInvertedMinorRevisionReader(acknowledgedInvertedMinorRevisionReader),
      m_acknowledgedInvertedMinorRevisionWriter(acknowledgedInvertedMinorRevisionWriter), m_callback(callback),
      m_initialized(false)
{
    m_requiredInvertedVendorIds.fill(AbsentInvertedUInt32);
    m_requiredInvertedProductCodes.fill(AbsentInvertedUInt32);
    m_requiredInvertedMajorRevisions.fill(AbsentInvertedUInt16);
    m_requiredInvertedMinorRevisions.fill(AbsentInvertedUInt16);
    m_acknowledgedInvertedMinorRevisions.fill(AbsentInvertedUInt16);
    m_discoveredInvertedMinorRevisions.fill(AbsentInvertedUInt16);
}

void CPersistentFirmwareChecker::Initialize()
{
    SCM_GUARD(!m_initialized);
    InitializeRequiredModules();
    InitializeAcknowledgedModules();
    m_initialized = true;
}

void CPersistentFirmwareChecker::InitializeRequiredModules()
{
    m_requiredInvertedVersionReader.Open();
    std::uint16_t safetyAddress = 0u;
    std::uint32_t invertedVendorId = AbsentInvertedUInt32;
    std::uint32_t invertedProductCode = AbsentInvertedUInt32;
    std::uint16_t invertedMajorRevision = AbsentInvertedUInt16;
    std::uint16_t invertedMinorRevision = AbsentInvertedUInt16;
    while (m_requiredInvertedVersionReader.TryReadNext(safetyAddress, invertedVendorId, invertedProductCode,
                                                       invertedMajorRevision, invertedMinorRevision))
    {
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            m_requiredInvertedVersionReader.Close();
            throw Util::CException(CFirmwareCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        if (HasZeroValue(invertedVendorId, invertedProductCode, invertedMajorRevision, invertedMinorRevision))
        {
            m_requiredInvertedVersionReader.Close();
            throw Util::CException(CFirmwareCheckEventCode::InvalidVersion, safetyAddress);
        }
        const std::uint32_t i = GetModuleIndex(safetyAddress);
        m_requiredModules[i] = true;
        m_requiredInvertedVendorIds[i] = invertedVendorId;
        m_requiredInvertedProductCodes[i] = invertedProductCode;
        m_requiredInvertedMajorRevisions[i] = invertedMajorRevision;
        m_requiredInvertedMinorRevisions[i] = invertedMinorRevision;
    }
    m_requiredInvertedVersionReader.Close();
}

void CPersistentFirmwareChecker::InitializeAcknowledgedModules()
{
    m_acknowledgedInvertedMinorRevisionReader.Open();
    std::uint16_t safetyAddress = 0u;
    std::uint16_t invertedMinorRevision = AbsentInvertedUInt16;
    while (m_acknowledgedInvertedMinorRevisionReader.TryReadNext(safetyAddress, invertedMinorRevision))
    {
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            m_acknowledgedInvertedMinorRevisionReader.Close();
            throw Util::CException(CFirmwareCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        if (invertedMinorRevision == AbsentInvertedUInt16)
        {
            m_acknowledgedInvertedMinorRevisionReader.Close();
            throw Util::CException(CFirmwareCheckEventCode::InvalidVersion, safetyAddress);
        }
        const std::uint32_t i = GetModuleIndex(safetyAddress);
        m_acknowledgedModules[i] = true;
        m_acknowledgedInvertedMinorRevisions[i] = invertedMinorRevision;
    }
    m_acknowledgedInvertedMinorRevisionReader.Close();
}

void CPersistentFirmwareChecker::AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t invertedVendorId,
                                                     std::uint32_t invertedProductCode,
                                                     std::uint16_t invertedMajorRevision,
                                                     std::uint16_t invertedMinorRevision)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    if (HasZeroValue(invertedVendorId, invertedProductCode, invertedMajorRevision, invertedMinorRevision))
    {
        throw Util::CException(CFirmwareCheckEventCode::InvalidVersion, safetyAddress);
    }
    if (m_discoveredModules[i])
    {
        return;
    }
    m_discoveredModules[i] = true;
    m_discoveredInvertedMinorRevisions[i] = invertedMinorRevision;
    // Revisions are compared in plain form: a newer minor revision than the configured minimum is compatible.
    const bool isCompatible = m_requiredModules[i] && (invertedVendorId == m_requiredInvertedVendorIds[i]) &&
                              (invertedProductCode == m_requiredInvertedProductCodes[i]) &&
                              (invertedMajorRevision == m_requiredInvertedMajorRevisions[i]) &&
                              (Util::GetInvertedUInt16(invertedMinorRevision) >=
                               Util::GetInvertedUInt16(m_requiredInvertedMinorRevisions[i]));
    m_compatibleModules[i] = isCompatible;
    m_matchingModules[i] =
        isCompatible && m_acknowledgedModules[i] && (invertedMinorRevision == m_acknowledgedInvertedMinorRevisions[i]);
}

void CPersistentFirmwareChecker::RemoveDiscoveredModule(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    if (!m_discoveredModules[i])
    {
        return;
    }
    m_discoveredModules[i] = false;
    m_discoveredInvertedMinorRevisions[i] = AbsentInvertedUInt16;
    m_compatibleModules[i] = false;
    m_matchingModules[i] = false;
}

bool CPersistentFirmwareChecker::TryAcknowledgeModules()
{
    SCM_GUARD(m_initialized);
    // The records are written before the tables change: a writer that refuses leaves the tables as they were.
    m_acknowledgedInvertedMinorRevisionWriter.Open();
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        const auto safetyAddress = static_cast<std::uint16_t>(i + 1u);
        if (m_compatibleModules[i])
        {
            m_acknowledgedInvertedMinorRevisionWriter.WriteNext(safetyAddress, m_discoveredInvertedMinorRevisions[i]);
        }
        else if (m_acknowledgedModules[i])
        {
            m_acknowledgedInvertedMinorRevisionWriter.WriteNext(safetyAddress, m_acknowledgedInvertedMinorRevisions[i]);
        }
    }
    m_acknowledgedInvertedMinorRevisionWriter.Close();
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        if (m_compatibleModules[i])
        {
            m_acknowledgedModules[i] = true;
            m_acknowledgedInvertedMinorRevisions[i] = m_discoveredInvertedMinorRevisions[i];
            m_matchingModules[i] = true;
        }
    }
    m_callback.WriteAcknowledgedInvertedMinorRevisions();
    return true;
}

bool CPersistentFirmwareChecker::IsRequiredModule(std::uint16_t safetyAddress) const
{
    return m_requiredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentFirmwareChecker::IsAcknowledgedModule(std::uint16_t safetyAddress) const
{
    return m_acknowledgedModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentFirmwareChecker::IsDiscoveredModule(std::uint16_t safetyAddress) const
{
    return m_discoveredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentFirmwareChecker::IsCompatibleModule(std::uint16_t safetyAddress) const
{
    return m_compatibleModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentFirmwareChecker::IsMatchingModule(std::uint16_t safetyAddress) const
{
    return m_matchingModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentFirmwareChecker::IsValidModule(std::uint16_t safetyAddress) const
{
    return m_matchingModules[GetCheckedModuleIndex(safetyAddress)];
}

std::uint32_t CPersistentFirmwareChecker::GetModuleIndex(std::uint16_t safetyAddress)
{
    if (!Param::IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CFirmwareCheckEventCode::InvalidSafetyAddress, safetyAddress);
    }
    return safetyAddress - 1u;
}

std::uint32_t CPersistentFirmwareChecker::GetCheckedModuleIndex(std::uint16_t safetyAddress) const
{
    SCM_GUARD(m_initialized);
    return GetModuleIndex(safetyAddress);
}
} // namespace Check
