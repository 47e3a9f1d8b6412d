// The extended machine options file "emodata1.bin": validation of its header.
#include "Param/CEmoData1Bin.h"

#include "Param/CEmoData1BinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CEmoData1Bin.cpp");

constexpr std::uint32_t SectionCountOffset = 0u;
constexpr std::uint32_t HeaderLengthOffset = 2u;
constexpr std::uint32_t VersionOffset = 4u;
constexpr std::uint32_t HeaderCrcOffset = 60u;

using Reason = Param::CEmoData1BinOtherReasonInformation0;

[[noreturn]] void Refuse(Reason::Enum reason, std::uint32_t information1)
{
    throw Util::CException(Param::CEmoData1BinEventCode::OtherReason, reason, information1);
}
} // namespace

namespace Param
{
CEmoData1Bin::CEmoData1Bin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u), m_timestamp(0u),
      m_read(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

void CEmoData1Bin::ReadContent(std::uint32_t contentLength)
{
    m_read = false;
    m_contentLength = 0u;
    m_timestamp = 0u;
    if (contentLength > m_contentBufferLength)
    {
        Refuse(Reason::BufferTooShort, contentLength);
    }
    if (contentLength != 0u)
    {
        if ((contentLength < ms_HeaderLength - SCM_PLANTED_FAULT_ON(EmoData1BinHeader)) ||
            (contentLength > ms_ContentLengthMax))
        {
            Refuse(Reason::BufferTooShort, contentLength);
        }
        m_contentLength = contentLength;
        ReadHeader();
    }
    m_read = true;
}

void CEmoData1Bin::ReadHeader()
{
    const std::uint16_t sectionCount = Util::GetLittleEndianUInt16(m_contentBuffer, SectionCountOffset);
    if (sectionCount != ms_SectionCount)
    {
        Refuse(Reason::InvalidSectionCount, sectionCount);
    }
    const std::uint16_t headerLength = Util::GetLittleEndianUInt16(m_contentBuffer, HeaderLengthOffset);
    if (headerLength != ms_HeaderLength)
    {
        Refuse(Reason::InvalidHeaderLength, headerLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(m_contentBuffer, VersionOffset);
    if (version != ms_Version)
    {
        Refuse(Reason::InvalidVersion, version);
    }
    const std::uint32_t timestamp = Util::GetLittleEndianUInt32(m_contentBuffer, ms_TimestampOffset);
    const std::uint32_t computedHeaderCrc = GetCrc32_0x11EDC6F41(HeaderCrcOffset, m_contentBuffer, 0u);
    if (Util::GetLittleEndianUInt32(m_contentBuffer, HeaderCrcOffset) != computedHeaderCrc)
    {
        Refuse(Reason::InvalidHeaderCrc, computedHeaderCrc);
    }
    m_timestamp = timestamp;
}

std::uint32_t CEmoData1Bin::GetTimestamp() const
{
    SCM_GUARD(m_read);
    return m_timestamp;
}

bool CEmoData1Bin::HasContent() const
{
    SCM_GUARD(m_read);
    return m_contentLength != 0u;
}

void CEmoData1Bin::GetRawContent(std::uint16_t& contentLength, const std::uint8_t*& content) const
{
    SCM_GUARD(m_read);
    contentLength = static_cast<std::uint16_t>(m_contentLength);
    content = m_contentBuffer;
}
} // namespace Param
