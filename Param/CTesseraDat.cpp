// The key-medium UDID file "tessera.dat": a header, a UDID section of parameter records and its block CRCs.
#include "Param/CTesseraDat.h"

#include "Param/CTesseraDatEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraDat.cpp");
} // namespace

namespace Param
{
CTesseraDat::CTesseraDat(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u),
      m_udidSectionLength(0u), m_udidSection(contentBuffer), m_read(false), m_open(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

std::uint32_t CTesseraDat::GetUdidCrcCount(std::uint32_t udidSectionLength)
{
    return (udidSectionLength / ms_UdidCrcBlockLengthMax) +
           (((udidSectionLength % ms_UdidCrcBlockLengthMax) != 0u) ? 1u : 0u);
}

void CTesseraDat::ReadContent(std::uint32_t contentLength)
{
    SCM_GUARD(!m_open);
    m_read = false;
    if (contentLength > m_contentBufferLength)
    {
        throw Util::CException(CTesseraDatEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentBufferLength),
                               contentLength);
    }
    if (contentLength == 0u)
    {
        m_contentLength = 0u;
        m_udidSectionLength = 0u;
        m_udidSection = m_contentBuffer;
        m_read = true;
        return;
    }
    if (contentLength < ms_HeaderLength - SCM_PLANTED_FAULT_ON(TesseraDatHeader))
    {
        throw Util::CException(CTesseraDatEventCode::InvalidContentLength, contentLength);
    }
    const std::uint8_t* const content = m_contentBuffer;
    const std::uint16_t headerLength = Util::GetLittleEndianUInt16(content, ms_HeaderLengthOffset);
    if (headerLength != ms_HeaderLength)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidHeaderLength, headerLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(content, ms_VersionOffset);
    if (version != ms_Version)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidVersion, version);
    }
    const std::uint32_t totalLength = Util::GetLittleEndianUInt32(content, ms_TotalLengthOffset);
    if (totalLength != contentLength)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidTotalLength, totalLength);
    }
    const std::uint32_t sectionOffset = Util::GetLittleEndianUInt32(content, ms_UdidSectionOffsetOffset);
    const std::uint32_t sectionLength = Util::GetLittleEndianUInt32(content, ms_UdidSectionLengthOffset);
    const std::uint32_t crcOffset = Util::GetLittleEndianUInt32(content, ms_UdidCrcOffsetOffset);
    const std::uint32_t crcCount = Util::GetLittleEndianUInt32(content, ms_UdidCrcCountOffset);

    const std::uint16_t headerCrc = GetCrc16_0x1755B(ms_HeaderCrcOffset, content);
    if (Util::GetLittleEndianUInt16(content, ms_HeaderCrcOffset) != headerCrc)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidHeaderCrc, headerCrc);
    }

    // Offsets and lengths come from the file: sums are formed in 64 bits so that no crafted value wraps around.
    const std::uint64_t sectionEnd = static_cast<std::uint64_t>(sectionOffset) + sectionLength;
    if (sectionOffset < ms_HeaderLength)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidUdidSectionOffset, sectionOffset);
    }
    if (sectionEnd > contentLength)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidUdidSectionLength, sectionLength);
    }
    if (crcOffset < sectionEnd)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidUdidCrcOffset, crcOffset);
    }
    if (crcCount != GetUdidCrcCount(sectionLength))
    {
        throw Util::CException(CTesseraDatEventCode::InvalidUdidCrcCount, crcCount);
    }
    if (static_cast<std::uint64_t>(crcOffset) + static_cast<std::uint64_t>(ms_UdidCrcLength) * crcCount > contentLength)
    {
        throw Util::CException(CTesseraDatEventCode::InvalidUdidCrcLength, crcCount);
    }

    for (std::uint32_t block = 0u; block < crcCount; ++block)
    {
        const std::uint32_t blockOffset = block * ms_UdidCrcBlockLengthMax;
        const std::uint32_t remaining = sectionLength - blockOffset;
        const std::uint32_t blockLength = (remaining < ms_UdidCrcBlockLengthMax) ? remaining : ms_UdidCrcBlockLengthMax;
        const std::uint32_t blockCrc = GetCrc32_0x11EDC6F41(blockLength, content + sectionOffset + blockOffset, 0u);
        if (Util::GetLittleEndianUInt32(content, crcOffset + ms_UdidCrcLength * block) != blockCrc)
        {
            throw Util::CException(CTesseraDatEventCode::InvalidUdidCrc, blockCrc);
        }
    }

    m_contentLength = contentLength;
    m_udidSectionLength = sectionLength;
    m_udidSection = m_contentBuffer + sectionOffset;
    m_read = true;
}

void CTesseraDat::StartReadingUdidSection(std::uint32_t& udidSectionLength, const std::uint8_t*& udidSection)
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    udidSectionLength = m_udidSectionLength;
    udidSection = m_udidSection;
    m_open = true;
}

void CTesseraDat::StopReadingUdidSection()
{
    m_open = false;
}
} // namespace Param
