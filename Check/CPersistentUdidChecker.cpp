// UDID checker over the configured required addresses and the acknowledged UDIDs, writing acknowledgements back.
#include "Check/CPersistentUdidChecker.h"

#include <algorithm>

#include "Check/CPersistentUdidCheckerCallback.h"
#include "Check/CUdidCheckEventCode.h"
#include "Param/CInvertedUdidReader.h"
#include "Param/CInvertedUdidWriter.h"
#include "Param/CSafetyAddressReader.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CPersistentUdidChecker.cpp");

bool IsZeroInvertedUdid(const std::uint8_t* invertedUdid)
{
    std::uint8_t udid[Util::UdidLength];
    Util::GetInvertedUdid(invertedUdid, udid);
    return Util::CUdid::IsInvalid(udid);
}
} // namespace

namespace Check
{
CPersistentUdidChecker::CPersistentUdidChecker(Param::CSafetyAddressReader& requiredSafetyAddressReader,
                                               Param::CInvertedUdidReader& acknowledgedInvertedUdidReader,
                                               Param::CInvertedUdidWriter& acknowledgedInvertedUdidWriter,
                                               CPersistentUdidCheckerCallback& callback)
    : m_requiredModules{}, m_acknowledgedModules{}, m_acknowledgedInvertedUdids{},
      m_unacknowledgedModuleCount(0u), m_discoveredModules{}, m_discoveredInvertedUdids{}, m_uniqueDiscoveredUdids{},
      m_discoveredEncoders{}, m_matchingModules{}, m_requiredSafetyAddressReader(requiredSafetyAddressReader),
      m_acknowledgedInvertedUdidReader(acknowledgedInvertedUdidReader),
      m_acknowledgedInvertedUdidWriter(acknowledgedInvertedUdidWriter), m_callback(callback), m_initialized(false)
{
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        Util::ClearInvertedUdid(m_acknowledgedInvertedUdids[i].data());
        Util::ClearInvertedUdid(m_discoveredInvertedUdids[i].data());
    }
}

void CPersistentUdidChecker::Initialize()
{
    SCM_GUARD(!m_initialized);
    InitializeRequiredModules();
    InitializeAcknowledgedModules();
    m_initialized = true;
}

void CPersistentUdidChecker::InitializeRequiredModules()
{
    m_requiredSafetyAddressReader.Open();
    std::uint16_t safetyAddress = 0u;
    while (m_requiredSafetyAddressReader.TryReadNext(safetyAddress))
    {
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            m_requiredSafetyAddressReader.Close();
            throw Util::CException(CUdidCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        m_requiredModules[GetModuleIndex(safetyAddress)] = true;
    }
    m_requiredSafetyAddressReader.Close();
}

void CPersistentUdidChecker::InitializeAcknowledgedModules()
{
    m_acknowledgedInvertedUdidReader.Open();
    std::uint16_t safetyAddress = 0u;
    const std::uint8_t* invertedUdid = nullptr;
    while (m_acknowledgedInvertedUdidReader.TryReadNext(safetyAddress, invertedUdid))
    {
        SCM_GUARD(invertedUdid != nullptr);
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            m_acknowledgedInvertedUdidReader.Close();
            throw Util::CException(CUdidCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        if (IsZeroInvertedUdid(invertedUdid))
        {
            m_acknowledgedInvertedUdidReader.Close();
            throw Util::CException(CUdidCheckEventCode::InvalidUdid, safetyAddress);
        }
        const std::uint32_t i = GetModuleIndex(safetyAddress);
        std::copy_n(invertedUdid, Util::UdidLength, m_acknowledgedInvertedUdids[i].data());
        m_acknowledgedModules[i] = true;
    }
    m_acknowledgedInvertedUdidReader.Close();
}

void CPersistentUdidChecker::AddDiscoveredModule(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid)
{
    SCM_GUARD(m_initialized);
    SCM_GUARD(invertedUdid != nullptr);
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (IsZeroInvertedUdid(invertedUdid))
    {
        throw Util::CException(CUdidCheckEventCode::InvalidUdid, safetyAddress);
    }
    if (m_discoveredModules[i])
    {
        return;
    }
    m_discoveredModules[i] = true;
    std::copy_n(invertedUdid, Util::UdidLength, m_discoveredInvertedUdids[i].data());
    m_discoveredEncoders[i] = true;
    UpdateDuplicateUdidFlags(m_discoveredInvertedUdids[i].data());
    if (!m_requiredModules[i])
    {
        return;
    }
    if (m_acknowledgedModules[i] &&
        Util::CUdid::AreEqual(m_discoveredInvertedUdids[i].data(), m_acknowledgedInvertedUdids[i].data()))
    {
        m_matchingModules[i] = true;
    }
    if (!m_matchingModules[i])
    {
        ++m_unacknowledgedModuleCount;
    }
}

void CPersistentUdidChecker::RemoveDiscoveredModule(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    if (!m_discoveredModules[i])
    {
        return;
    }
    const bool wasUnacknowledged = IsUnacknowledgedModule(i);
    m_discoveredModules[i] = false;
    if (m_uniqueDiscoveredUdids[i])
    {
        m_uniqueDiscoveredUdids[i] = false;
    }
    else
    {
        // The remaining holders of this UDID may have become unique.
        UpdateDuplicateUdidFlags(m_discoveredInvertedUdids[i].data());
    }
    Util::ClearInvertedUdid(m_discoveredInvertedUdids[i].data());
    if (wasUnacknowledged)
    {
        --m_unacknowledgedModuleCount;
    }
    m_matchingModules[i] = false;
    m_discoveredEncoders[i] = false;
}

void CPersistentUdidChecker::AddDiscoveredEncoder(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    if (!m_discoveredModules[i])
    {
        throw Util::CException(CUdidCheckEventCode::NoModuleForEncoder, safetyAddress);
    }
    if (m_discoveredEncoders[i])
    {
        return;
    }
    m_discoveredEncoders[i] = true;
    if (m_requiredModules[i] && m_matchingModules[i])
    {
        --m_unacknowledgedModuleCount;
    }
}

void CPersistentUdidChecker::RemoveDiscoveredEncoder(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    if (!m_discoveredModules[i])
    {
        throw Util::CException(CUdidCheckEventCode::NoModuleForEncoder, safetyAddress);
    }
    if (!m_discoveredEncoders[i])
    {
        return;
    }
    m_discoveredEncoders[i] = false;
    if (m_requiredModules[i] && m_matchingModules[i])
    {
        ++m_unacknowledgedModuleCount;
    }
}

std::uint32_t CPersistentUdidChecker::GetUnacknowledgedModuleCount() const
{
    SCM_GUARD(m_initialized);
    return m_unacknowledgedModuleCount;
}

bool CPersistentUdidChecker::TryAcknowledgeModules(std::uint32_t moduleCount)
{
    SCM_GUARD(m_initialized);
    if (moduleCount != m_unacknowledgedModuleCount)
    {
        return false;
    }
    // A duplicate refuses the whole acknowledgement before anything changes, so that no module is left half
    // acknowledged and the writer is never left open.
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        if (m_requiredModules[i] && m_discoveredModules[i] && !m_uniqueDiscoveredUdids[i])
        {
            throw Util::CException(CUdidCheckEventCode::DuplicateUdid, i + 1u);
        }
    }
    // The records are written before the tables change: a writer that refuses leaves the tables as they were.
    m_acknowledgedInvertedUdidWriter.Open();
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        const auto safetyAddress = static_cast<std::uint16_t>(i + 1u);
        if (m_requiredModules[i] && m_discoveredModules[i])
        {
            m_acknowledgedInvertedUdidWriter.WriteNext(safetyAddress, m_discoveredInvertedUdids[i].data());
        }
        else if (m_acknowledgedModules[i])
        {
            m_acknowledgedInvertedUdidWriter.WriteNext(safetyAddress, m_acknowledgedInvertedUdids[i].data());
        }
    }
    m_acknowledgedInvertedUdidWriter.Close();
    std::uint32_t unacknowledgedModuleCount = 0u;
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        if (m_requiredModules[i] && m_discoveredModules[i])
        {
            m_acknowledgedModules[i] = true;
            m_acknowledgedInvertedUdids[i] = m_discoveredInvertedUdids[i];
            m_matchingModules[i] = true;
            // A module whose encoder is inconsistent stays pending, so that the count never runs below zero when
            // its encoder turns consistent again.
            if (IsUnacknowledgedModule(i))
            {
                ++unacknowledgedModuleCount;
            }
        }
    }
    m_unacknowledgedModuleCount = unacknowledgedModuleCount;
    m_callback.WriteAcknowledgedInvertedUdids();
    return true;
}

bool CPersistentUdidChecker::IsRequiredModule(std::uint16_t safetyAddress) const
{
    return m_requiredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsAcknowledgedModule(std::uint16_t safetyAddress) const
{
    return m_acknowledgedModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsDiscoveredModule(std::uint16_t safetyAddress) const
{
    return m_discoveredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsMatchingModule(std::uint16_t safetyAddress) const
{
    return m_matchingModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsConsistentModule(std::uint16_t safetyAddress) const
{
    return m_discoveredEncoders[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsUniqueModule(std::uint16_t safetyAddress) const
{
    return m_uniqueDiscoveredUdids[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentUdidChecker::IsValidModule(std::uint16_t safetyAddress) const
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    return m_matchingModules[i] && m_discoveredEncoders[i] && m_uniqueDiscoveredUdids[i];
}

std::uint32_t CPersistentUdidChecker::GetModuleIndex(std::uint16_t safetyAddress)
{
    if (!Param::IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CUdidCheckEventCode::InvalidSafetyAddress, safetyAddress);
    }
    return safetyAddress - 1u;
}

std::uint32_t CPersistentUdidChecker::GetCheckedModuleIndex(std::uint16_t safetyAddress) const
{
    SCM_GUARD(m_initialized);
    return GetModuleIndex(safetyAddress);
}

void CPersistentUdidChecker::UpdateDuplicateUdidFlags(const std::uint8_t* invertedUdid)
{
    // A copy: the UDID may be one of the table's own entries.
    std::array<std::uint8_t, Util::UdidLength> udid{};
    std::copy_n(invertedUdid, Util::UdidLength, udid.data());
    std::uint32_t count = 0u;
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        if (m_discoveredModules[i] && (m_discoveredInvertedUdids[i] == udid))
        {
            ++count;
        }
    }
    for (std::uint32_t i = 0u; i < ms_ModuleCount; ++i)
    {
        if (m_discoveredModules[i] && (m_discoveredInvertedUdids[i] == udid))
        {
            m_uniqueDiscoveredUdids[i] = (count == 1u);
        }
    }
}

bool CPersistentUdidChecker::IsUnacknowledgedModule(std::uint32_t moduleIndex) const
{
    return m_requiredModules[moduleIndex] && m_discoveredModules[moduleIndex] &&
           !(m_matchingModules[moduleIndex] && m_discoveredEncoders[moduleIndex]);
}
} // namespace Check
