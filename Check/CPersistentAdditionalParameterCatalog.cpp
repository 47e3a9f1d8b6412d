// Additional-parameter catalog loaded once from the configured headers.
#include "Check/CPersistentAdditionalParameterCatalog.h"

#include <algorithm>

#include "Check/CAdditionalParameterCheckEventCode.h"
#include "Param/CInvertedAdditionalParameterHeaderReader.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = 0x8B281026u;

constexpr std::uint8_t ParameterNumberMin = 1u;
} // namespace

namespace Check
{
CPersistentAdditionalParameterCatalog::CPersistentAdditionalParameterCatalog(
    Param::CInvertedAdditionalParameterHeaderReader& requiredInvertedAdditionalParameterHeaderReader)
    : m_invertedAdditionalParameterHeader{},
      m_requiredInvertedAdditionalParameterHeaderReader(requiredInvertedAdditionalParameterHeaderReader),
      m_initialized(false)
{
    for (auto& module : m_invertedAdditionalParameterHeader)
    {
        for (auto& header : module)
        {
            Util::ClearInvertedMemory(ms_HeaderLength, header.data());
        }
    }
}

void CPersistentAdditionalParameterCatalog::Initialize()
{
    SCM_GUARD(!m_initialized);
    InitializeHeaders();
    m_initialized = true;
}

void CPersistentAdditionalParameterCatalog::InitializeHeaders()
{
    Param::CInvertedAdditionalParameterHeaderReader& reader = m_requiredInvertedAdditionalParameterHeaderReader;
    reader.Open();
    std::uint16_t safetyAddress = 0u;
    std::uint8_t parameterNumber = 0u;
    const std::uint8_t* invertedHeader = nullptr;
    while (reader.TryReadNext(safetyAddress, parameterNumber, invertedHeader))
    {
        SCM_GUARD(invertedHeader != nullptr);
        if (!Param::IsValidSafetyAddress(safetyAddress))
        {
            reader.Close();
            throw Util::CException(CAdditionalParameterCheckEventCode::InvalidSafetyAddress, safetyAddress);
        }
        if ((parameterNumber < ParameterNumberMin) || (parameterNumber > ms_ParameterCount))
        {
            reader.Close();
            throw Util::CException(CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber,
                                   parameterNumber);
        }
        std::copy_n(
            invertedHeader, ms_HeaderLength,
            m_invertedAdditionalParameterHeader[GetModuleIndex(safetyAddress)][GetParameterIndex(parameterNumber)]
                .data());
    }
    reader.Close();
}

bool CPersistentAdditionalParameterCatalog::HasAdditionalParameter(std::uint16_t safetyAddress,
                                                                   std::uint8_t parameterNumber) const
{
    return IsValidHeader(GetCheckedSlot(safetyAddress, parameterNumber));
}

const std::uint8_t*
CPersistentAdditionalParameterCatalog::GetInvertedAdditionalParameterHeader(std::uint16_t safetyAddress,
                                                                            std::uint8_t parameterNumber) const
{
    const std::uint8_t* invertedHeader = GetCheckedSlot(safetyAddress, parameterNumber);
    if (!IsValidHeader(invertedHeader))
    {
        throw Util::CException(CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, safetyAddress,
                               parameterNumber);
    }
    return invertedHeader;
}

std::uint32_t CPersistentAdditionalParameterCatalog::GetModuleIndex(std::uint16_t safetyAddress)
{
    if (!Param::IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CAdditionalParameterCheckEventCode::InvalidSafetyAddress, safetyAddress);
    }
    return safetyAddress - 1u;
}

std::uint32_t CPersistentAdditionalParameterCatalog::GetParameterIndex(std::uint8_t parameterNumber)
{
    if ((parameterNumber < ParameterNumberMin) || (parameterNumber > ms_ParameterCount))
    {
        throw Util::CException(CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, parameterNumber);
    }
    return parameterNumber - 1u;
}

bool CPersistentAdditionalParameterCatalog::IsValidHeader(const std::uint8_t* invertedHeader)
{
    return Util::GetInvertedUInt8(invertedHeader[0]) != 0u;
}

const std::uint8_t* CPersistentAdditionalParameterCatalog::GetCheckedSlot(std::uint16_t safetyAddress,
                                                                          std::uint8_t parameterNumber) const
{
    SCM_GUARD(m_initialized);
    const std::uint32_t moduleIndex = GetModuleIndex(safetyAddress);
    return m_invertedAdditionalParameterHeader[moduleIndex][GetParameterIndex(parameterNumber)].data();
}
} // namespace Check
