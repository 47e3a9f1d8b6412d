// The checker's inverted copy "tessera.dat.chk" of the key-medium UDID file, which it can rebuild.
#include "Param/CTesseraDatChk.h"

#include <cstring>

#include "Param/CTesseraDatEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraDatChk.cpp");
} // namespace

namespace Param
{
CTesseraDatChk::CTesseraDatChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : CTesseraDat(contentBufferLength, contentBuffer), m_written(false)
{
    if (contentBufferLength < ms_HeaderLength)
    {
        throw Util::CException(CTesseraDatEventCode::BufferTooShort, static_cast<std::uint16_t>(contentBufferLength),
                               ms_HeaderLength);
    }
}

std::uint32_t CTesseraDatChk::GetUdidSectionLengthMax(std::uint32_t contentBufferLength)
{
    if (contentBufferLength < ms_HeaderLength)
    {
        return 0u;
    }
    // A section length L that satisfies 64 + L + 4 * ceil(L / 16384) <= capacity (65452 for 65536 bytes), in 64
    // bits so that large buffers do not wrap; a buffer with no room for one CRC takes an empty section only.
    const std::uint64_t room = contentBufferLength - ms_HeaderLength;
    const std::uint64_t block = ms_UdidCrcBlockLengthMax;
    const std::uint64_t reserve = ms_UdidCrcLength * (block - 1u);
    if (room * block < reserve)
    {
        return 0u;
    }
    return static_cast<std::uint32_t>((room * block - reserve) / (ms_UdidCrcLength + block));
}

std::uint32_t CTesseraDatChk::GetContentLength()
{
    return m_contentLength;
}

void CTesseraDatChk::StartWritingUdidSection(std::uint32_t& udidSectionLengthMax, std::uint8_t*& udidSection)
{
    SCM_GUARD(!m_open);
    udidSectionLengthMax = GetUdidSectionLengthMax(m_contentBufferLength);
    udidSection = m_contentBuffer + ms_HeaderLength;
    m_open = true;
}

void CTesseraDatChk::StopWritingUdidSection(std::uint32_t udidSectionLength)
{
    SCM_GUARD(m_open);
    SCM_GUARD(udidSectionLength <= GetUdidSectionLengthMax(m_contentBufferLength));
    m_udidSectionLength = udidSectionLength;
    m_udidSection = m_contentBuffer + ms_HeaderLength;
    m_open = false;
    m_read = true;
    m_written = false;
}

void CTesseraDatChk::WriteContent()
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    if (m_written)
    {
        return;
    }
    // A section read from a file may lie elsewhere; the rebuilt file always has it right after the header.
    if (m_udidSection != m_contentBuffer + ms_HeaderLength)
    {
        std::memmove(m_contentBuffer + ms_HeaderLength, m_udidSection, m_udidSectionLength);
        m_udidSection = m_contentBuffer + ms_HeaderLength;
    }
    const std::uint32_t crcCount = GetUdidCrcCount(m_udidSectionLength);
    const std::uint32_t crcOffset = ms_HeaderLength + m_udidSectionLength;
    const std::uint32_t totalLength = crcOffset + ms_UdidCrcLength * crcCount;
    SCM_GUARD(totalLength <= m_contentBufferLength);

    std::uint8_t* const content = m_contentBuffer;
    Util::SetLittleEndianUInt16(content, ms_HeaderLengthOffset, static_cast<std::uint16_t>(ms_HeaderLength));
    Util::SetLittleEndianUInt16(content, ms_VersionOffset, ms_Version);
    Util::SetLittleEndianUInt32(content, ms_TotalLengthOffset, totalLength);
    Util::SetLittleEndianUInt32(content, ms_UdidSectionOffsetOffset, ms_HeaderLength);
    Util::SetLittleEndianUInt32(content, ms_UdidSectionLengthOffset, m_udidSectionLength);
    Util::SetLittleEndianUInt32(content, ms_UdidCrcOffsetOffset, crcOffset);
    Util::SetLittleEndianUInt32(content, ms_UdidCrcCountOffset, crcCount);
    std::memset(content + ms_UdidCrcCountOffset + 4u, 0, ms_HeaderCrcOffset - (ms_UdidCrcCountOffset + 4u));
    Util::SetLittleEndianUInt16(content, ms_HeaderCrcOffset, GetCrc16_0x1755B(ms_HeaderCrcOffset, content));

    for (std::uint32_t block = 0u; block < crcCount; ++block)
    {
        const std::uint32_t blockOffset = block * ms_UdidCrcBlockLengthMax;
        const std::uint32_t remaining = m_udidSectionLength - blockOffset;
        const std::uint32_t blockLength = (remaining < ms_UdidCrcBlockLengthMax) ? remaining : ms_UdidCrcBlockLengthMax;
        Util::SetLittleEndianUInt32(content, crcOffset + ms_UdidCrcLength * block,
                                    GetCrc32_0x11EDC6F41(blockLength, content + ms_HeaderLength + blockOffset, 0u));
    }
    m_contentLength = totalLength;
    m_written = true;
}
} // namespace Param
