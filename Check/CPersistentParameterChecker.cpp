// Parameter checker over the configured parameter checksums.
#include "Check/CPersistentParameterChecker.h"

#include <algorithm>

#include "Check/CParameterCheckEventCode.h"
#include "Param/CInvertedParameterChecksumReader.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CPersistentParameterChecker.cpp");
}

namespace Check
{
CPersistentParameterChecker::CPersistentParameterChecker(
    Param::CInvertedParameterChecksumReader& requiredInvertedParameterChecksumReader)
    : m_requiredModules{}, m_requiredChecksumLengths{}, m_requiredInvertedChecksums{}, m_discoveredModules{},
      m_compatibleModules{}, m_requiredInvertedParameterChecksumReader(requiredInvertedParameterChecksumReader),
      m_initialized(false)
{
    for (auto& invertedChecksum : m_requiredInvertedChecksums)
    {
        Util::ClearInvertedMemory(ms_ChecksumLengthMax, invertedChecksum.data());
    }
}

void CPersistentParameterChecker::Initialize()
{
    SCM_GUARD(!m_initialized);
    InitializeRequiredModules();
    m_initialized = true;
}

void CPersistentParameterChecker::InitializeRequiredModules()
{
    m_requiredInvertedParameterChecksumReader.Open();
    std::uint16_t safetyAddress = 0u;
    std::uint32_t checksumLength = 0u;
    const std::uint8_t* invertedChecksum = nullptr;
    while (m_requiredInvertedParameterChecksumReader.TryReadNext(safetyAddress, checksumLength, invertedChecksum))
    {
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            m_requiredInvertedParameterChecksumReader.Close();
            throw Util::CException(CParameterCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        if ((checksumLength < ms_ChecksumLengthMin) || (checksumLength > ms_ChecksumLengthMax) ||
            ((checksumLength % ms_ChecksumLengthGranularity) != 0u))
        {
            m_requiredInvertedParameterChecksumReader.Close();
            throw Util::CException(CParameterCheckEventCode::InvalidChecksum, safetyAddress, checksumLength);
        }
        SCM_GUARD(invertedChecksum != nullptr);
        const std::uint32_t i = GetModuleIndex(safetyAddress);
        m_requiredModules[i] = true;
        m_requiredChecksumLengths[i] = checksumLength;
        std::copy_n(invertedChecksum, checksumLength, m_requiredInvertedChecksums[i].data());
    }
    m_requiredInvertedParameterChecksumReader.Close();
}

void CPersistentParameterChecker::AddDiscoveredModule(std::uint16_t safetyAddress, std::uint32_t checksumLength,
                                                      const std::uint8_t* invertedChecksum)
{
    SCM_GUARD(m_initialized);
    SCM_GUARD(invertedChecksum != nullptr);
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if ((checksumLength > ms_ChecksumLengthMax) || ((checksumLength % ms_ChecksumLengthGranularity) != 0u))
    {
        throw Util::CException(CParameterCheckEventCode::InvalidChecksum, safetyAddress, checksumLength);
    }
    if (m_discoveredModules[i])
    {
        return;
    }
    m_discoveredModules[i] = true;
    m_compatibleModules[i] =
        m_requiredModules[i] && (checksumLength == m_requiredChecksumLengths[i]) &&
        std::equal(invertedChecksum, invertedChecksum + checksumLength, m_requiredInvertedChecksums[i].data());
}

void CPersistentParameterChecker::RemoveDiscoveredModule(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetCheckedModuleIndex(safetyAddress);
    m_discoveredModules[i] = false;
    m_compatibleModules[i] = false;
}

bool CPersistentParameterChecker::IsRequiredModule(std::uint16_t safetyAddress) const
{
    return m_requiredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentParameterChecker::IsDiscoveredModule(std::uint16_t safetyAddress) const
{
    return m_discoveredModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentParameterChecker::IsCompatibleModule(std::uint16_t safetyAddress) const
{
    return m_compatibleModules[GetCheckedModuleIndex(safetyAddress)];
}

bool CPersistentParameterChecker::IsValidModule(std::uint16_t safetyAddress) const
{
    return m_compatibleModules[GetCheckedModuleIndex(safetyAddress)];
}

std::uint32_t CPersistentParameterChecker::GetModuleIndex(std::uint16_t safetyAddress)
{
    if (!Param::IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CParameterCheckEventCode::InvalidSafetyAddress, safetyAddress);
    }
    return safetyAddress - 1u;
}

std::uint32_t CPersistentParameterChecker::GetCheckedModuleIndex(std::uint16_t safetyAddress) const
{
    SCM_GUARD(m_initialized);
    return GetModuleIndex(safetyAddress);
}
} // namespace Check
