// The parameter data file "pardata1.bin": validation of a loaded file and access to its data area.
#include "Param/CParData1Bin.h"

#include "Param/CParData1BinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CParData1Bin.cpp");

constexpr std::uint32_t ParameterCountOffset = 0u;
constexpr std::uint32_t HeaderLengthOffset = 2u;
constexpr std::uint32_t VersionOffset = 4u;
constexpr std::uint32_t OffsetOffset = 6u;
constexpr std::uint32_t TimestampOffset = 8u;
constexpr std::uint32_t DataLengthOffset = 12u;
constexpr std::uint32_t DataOffsetOffset = 16u;
constexpr std::uint32_t CrcCountOffset = 20u;
constexpr std::uint32_t CrcOffsetOffset = 24u;
constexpr std::uint32_t HeaderCrcOffset = 60u;

using Reason = Param::CParData1BinOtherReasonInformation0;

[[noreturn]] void Refuse(Reason::Enum reason, std::uint32_t information1)
{
    throw Util::CException(Param::CParData1BinEventCode::OtherReason, reason, information1);
}
} // namespace

namespace Param
{
CParData1Bin::CParData1Bin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u),
      m_fileVersion(ms_LegacyFileVersion), m_parameterCount(0u), m_dataLength(0u), m_data(contentBuffer),
      m_timestamp(0u), m_read(false), m_open(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

void CParData1Bin::ReadContent(std::uint32_t contentLength)
{
    SCM_GUARD(!m_open);
    m_read = false;
    m_contentLength = 0u;
    m_fileVersion = ms_LegacyFileVersion;
    m_parameterCount = 0u;
    m_dataLength = 0u;
    m_data = m_contentBuffer;
    m_timestamp = 0u;
    if (contentLength > m_contentBufferLength)
    {
        Refuse(Reason::BufferTooShort, contentLength);
    }
    m_contentLength = contentLength;
    if (contentLength != 0u)
    {
        std::uint32_t crcOffset = 0u;
        ReadHeader(crcOffset);
        CheckDataCrcs(crcOffset);
    }
    m_read = true;
}

void CParData1Bin::ReadHeader(std::uint32_t& crcOffset)
{
    if (m_contentLength < ms_HeaderLength - SCM_PLANTED_FAULT_ON(ParData1BinHeader))
    {
        Refuse(Reason::BufferTooShort, m_contentLength);
    }
    const std::uint16_t headerLength = Util::GetLittleEndianUInt16(m_contentBuffer, HeaderLengthOffset);
    if (headerLength != ms_HeaderLength)
    {
        Refuse(Reason::InvalidHeaderLength, headerLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(m_contentBuffer, VersionOffset);
    if ((version != ms_LegacyFileVersion) && (version != ms_LumoFileVersion))
    {
        Refuse(Reason::InvalidVersion, version);
    }
    const std::uint16_t offset = Util::GetLittleEndianUInt16(m_contentBuffer, OffsetOffset);
    if (offset != ms_HeaderLength)
    {
        Refuse(Reason::InvalidOffset, offset);
    }
    const std::uint32_t timestamp = Util::GetLittleEndianUInt32(m_contentBuffer, TimestampOffset);
    const std::uint32_t dataLength = Util::GetLittleEndianUInt32(m_contentBuffer, DataLengthOffset);
    const std::uint32_t dataOffset = Util::GetLittleEndianUInt32(m_contentBuffer, DataOffsetOffset);
    const std::uint32_t crcCount = Util::GetLittleEndianUInt32(m_contentBuffer, CrcCountOffset);
    crcOffset = Util::GetLittleEndianUInt32(m_contentBuffer, CrcOffsetOffset);
    const std::uint32_t storedHeaderCrc = Util::GetLittleEndianUInt32(m_contentBuffer, HeaderCrcOffset);
    if (storedHeaderCrc != GetCrc32_0x11EDC6F41(HeaderCrcOffset, m_contentBuffer, 0u))
    {
        Refuse(Reason::InvalidHeaderCrc, storedHeaderCrc);
    }
    // Bounds in 64 bits: offsets and lengths near 2^32 must not wrap around into range.
    const std::uint64_t dataEnd = static_cast<std::uint64_t>(dataOffset) + dataLength;
    if (dataOffset < ms_HeaderLength)
    {
        Refuse(Reason::InvalidDataOffset, dataOffset);
    }
    if (dataEnd > m_contentLength)
    {
        Refuse(Reason::InvalidDataLength, dataLength);
    }
    if (crcOffset < dataEnd)
    {
        Refuse(Reason::InvalidCrcOffset, crcOffset);
    }
    if (crcCount != (dataLength + ms_ParameterCrcBlockLengthMax - 1u) / ms_ParameterCrcBlockLengthMax)
    {
        Refuse(Reason::InvalidCrcCount, crcCount);
    }
    if (static_cast<std::uint64_t>(crcOffset) + static_cast<std::uint64_t>(ms_ParameterCrcLength) * crcCount >
        m_contentLength)
    {
        Refuse(Reason::InvalidCrcLength, crcCount);
    }
    m_fileVersion = version;
    m_parameterCount = Util::GetLittleEndianUInt16(m_contentBuffer, ParameterCountOffset);
    m_timestamp = timestamp;
    m_dataLength = dataLength;
    m_data = m_contentBuffer + dataOffset;
}

void CParData1Bin::CheckDataCrcs(std::uint32_t crcOffset) const
{
    std::uint32_t remaining = m_dataLength;
    for (std::uint32_t block = 0u; remaining != 0u; ++block)
    {
        const std::uint32_t blockLength =
            (remaining < ms_ParameterCrcBlockLengthMax) ? remaining : ms_ParameterCrcBlockLengthMax;
        const std::uint32_t computed =
            GetCrc32_0x11EDC6F41(blockLength, m_data + block * ms_ParameterCrcBlockLengthMax, 0u);
        if (Util::GetLittleEndianUInt32(m_contentBuffer, crcOffset + block * ms_ParameterCrcLength) != computed)
        {
            Refuse(Reason::InvalidDataCrc, computed);
        }
        remaining -= blockLength;
    }
}

std::uint32_t CParData1Bin::GetTimestamp() const
{
    SCM_GUARD(m_read);
    return m_timestamp;
}

void CParData1Bin::StartReadingData(std::uint16_t& fileVersion, std::uint32_t& parameterCount,
                                    std::uint32_t& dataLength, const std::uint8_t*& data)
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    fileVersion = m_fileVersion;
    parameterCount = m_parameterCount;
    dataLength = m_dataLength;
    data = m_data;
    m_open = true;
}

void CParData1Bin::StopReadingData()
{
    SCM_GUARD(m_open);
    m_open = false;
}
} // namespace Param
