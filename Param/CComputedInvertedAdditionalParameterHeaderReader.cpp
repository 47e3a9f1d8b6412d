// One inverted additional-parameter header computed from a parameter value held in memory.
#include "Param/CComputedInvertedAdditionalParameterHeaderReader.h"

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "Param/SafetyAddress.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
// Fixed identifier of this file, as listed for reading guard events in the field.
constexpr std::uint32_t FileIdentifier = 0x770710E9u;

constexpr std::uint32_t VersionOffset = 1u;
constexpr std::uint32_t LengthOffset = 4u;
constexpr std::uint32_t CrcOffset = 8u;
constexpr std::uint32_t TimestampOffset = 12u;
} // namespace

namespace Param
{
CComputedInvertedAdditionalParameterHeaderReader::CComputedInvertedAdditionalParameterHeaderReader()
    : m_invertedHeader{}, m_set(false), m_open(false), m_read(false)
{
    Util::ClearInvertedMemory(ms_HeaderLength, m_invertedHeader);
}

void CComputedInvertedAdditionalParameterHeaderReader::Open()
{
    SCM_GUARD(!m_open);
    m_open = true;
    m_read = false;
}

bool CComputedInvertedAdditionalParameterHeaderReader::TryReadNext(std::uint16_t& safetyAddress,
                                                                   std::uint8_t& parameterNumber,
                                                                   const std::uint8_t*& invertedHeader)
{
    SCM_GUARD(m_open);
    if (!m_set || m_read)
    {
        return false;
    }
    safetyAddress = Util::GetInvertedUInt16(Util::GetLittleEndianUInt16(m_invertedHeader, ms_SafetyAddressOffset));
    parameterNumber = Util::GetInvertedUInt8(m_invertedHeader[ms_ParameterNumberOffset]);
    invertedHeader = m_invertedHeader;
    m_read = true;
    return true;
}

void CComputedInvertedAdditionalParameterHeaderReader::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
}

void CComputedInvertedAdditionalParameterHeaderReader::SetAdditionalParameter(std::uint16_t safetyAddress,
                                                                              std::uint8_t parameterNumber,
                                                                              std::uint32_t timestamp,
                                                                              std::uint32_t parameterLength,
                                                                              const std::uint8_t* parameter)
{
    SCM_GUARD(!m_set);
    SCM_GUARD(!m_open);
    SCM_GUARD(parameter != nullptr);
    if (!IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CAdditionalParameterReaderEventCode::InvalidSafetyAddress, safetyAddress);
    }
    if ((parameterNumber == 0u) || (parameterNumber > ms_ParameterNumberMax))
    {
        throw Util::CException(CAdditionalParameterReaderEventCode::InvalidParameterNumber, parameterNumber);
    }
    m_invertedHeader[ms_ParameterNumberOffset] = parameterNumber;
    m_invertedHeader[VersionOffset] = ms_Version;
    Util::SetLittleEndianUInt16(m_invertedHeader, ms_SafetyAddressOffset, safetyAddress);
    Util::SetLittleEndianUInt32(m_invertedHeader, LengthOffset, parameterLength);
    Util::SetLittleEndianUInt32(m_invertedHeader, CrcOffset, GetCrc32_0x11EDC6F41(parameterLength, parameter, 0u));
    Util::SetLittleEndianUInt32(m_invertedHeader, TimestampOffset, timestamp);
    Util::InvertMemory(ms_HeaderLength, m_invertedHeader);
    m_set = true;
}
} // namespace Param
