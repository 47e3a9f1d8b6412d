// The headers of the loadable additional parameters in the data area of "pardata1.bin".
#include "Param/CParData1BinAdditionalParameterHeaderReader.h"

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "Param/SafetyAddress.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CParData1BinAdditionalParameterHeaderReader.cpp");

constexpr std::uint32_t ParameterNumberOffset = 0u;
constexpr std::uint32_t VersionOffset = 1u;
constexpr std::uint32_t SafetyAddressOffset = 2u;
constexpr std::uint32_t LengthOffset = 4u;
constexpr std::uint32_t CrcOffset = 8u;

using Reason = Param::CAdditionalParameterReaderOtherReasonInformation0;
} // namespace

namespace Param
{
CParData1BinAdditionalParameterHeaderReader::CParData1BinAdditionalParameterHeaderReader(CParData1Bin& parData1Bin)
    : m_parData1Bin(parData1Bin), m_fileVersion(0u), m_parameterCount(0u), m_contentLength(0u), m_content(nullptr),
      m_contentOffset(0u), m_open(false)
{
}

void CParData1BinAdditionalParameterHeaderReader::Open()
{
    SCM_GUARD(!m_open);
    m_parData1Bin.StartReadingData(m_fileVersion, m_parameterCount, m_contentLength, m_content);
    m_contentOffset = 0u;
    m_open = true;
}

bool CParData1BinAdditionalParameterHeaderReader::TryReadNext(std::uint16_t& safetyAddress,
                                                              std::uint8_t& parameterNumber,
                                                              const std::uint8_t*& header)
{
    SCM_GUARD(m_open);
    while ((m_contentOffset <= m_contentLength) && (m_contentLength - m_contentOffset >= ms_HeaderLength))
    {
        const std::uint8_t* const entry = m_content + m_contentOffset;
        const std::uint8_t version = entry[VersionOffset];
        if (version != ms_Version)
        {
            CloseAndRefuse(Reason::InvalidDomainVersion, version);
        }
        const std::uint16_t sadr = Util::GetLittleEndianUInt16(entry, SafetyAddressOffset);
        const bool blob = (m_fileVersion == CParData1Bin::ms_LumoFileVersion) &&
                          (sadr >= CParData1Bin::ms_LumoBlobSafetyAddressStart);
        if (!IsValidSafetyAddress(sadr) && !blob)
        {
            CloseAndRefuse(Reason::InvalidSafetyAddress, sadr);
        }
        const std::uint32_t length = Util::GetLittleEndianUInt32(entry, LengthOffset);
        if (length > m_contentLength - m_contentOffset - ms_HeaderLength)
        {
            CloseAndRefuse(Reason::InvalidDomainLength, length);
        }
        const std::uint32_t storedCrc = Util::GetLittleEndianUInt32(entry, CrcOffset);
        if (storedCrc != GetCrc32_0x11EDC6F41(length, entry + ms_HeaderLength, 0u))
        {
            CloseAndRefuse(Reason::InvalidDomainCrc, storedCrc);
        }
        m_contentOffset += ms_HeaderLength + length;
        if (blob)
        {
            continue;
        }
        safetyAddress = sadr;
        parameterNumber = entry[ParameterNumberOffset];
        header = entry;
        return true;
    }
    return false;
}

void CParData1BinAdditionalParameterHeaderReader::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
    m_parData1Bin.StopReadingData();
}

void CParData1BinAdditionalParameterHeaderReader::CloseAndRefuse(std::uint16_t reason, std::uint32_t information1)
{
    // A refused file is not read on: the data area is released so that the file object is usable again.
    m_open = false;
    m_parData1Bin.StopReadingData();
    throw Util::CException(CAdditionalParameterReaderEventCode::OtherReason, reason, information1);
}
} // namespace Param
