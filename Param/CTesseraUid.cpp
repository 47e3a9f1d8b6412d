// The key-medium identity file "tessera.uid": a Kel UDID and a 64-bit timestamp under a version.
#include "Param/CTesseraUid.h"

#include "Param/CTesseraUidEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraUid.cpp");
} // namespace

namespace Param
{
CTesseraUid::CTesseraUid(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u),
      m_kelUdid(Util::CUdid::ms_Zero), m_timestamp(0u), m_read(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

void CTesseraUid::ReadContent(std::uint32_t contentLength)
{
    m_read = false;
    if (contentLength > m_contentBufferLength)
    {
        throw Util::CException(CTesseraUidEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentBufferLength),
                               contentLength);
    }
    if (contentLength == 0u)
    {
        InitializeWithEmptyContent();
    }
    else
    {
        if (contentLength < ms_ContentLength - SCM_PLANTED_FAULT_ON(TesseraUidLength))
        {
            throw Util::CException(CTesseraUidEventCode::BufferTooShort, contentLength);
        }
        const std::uint32_t version = Util::GetLittleEndianUInt32(m_contentBuffer, ms_VersionOffset);
        if (version != ms_Version)
        {
            throw Util::CException(CTesseraUidEventCode::InvalidVersion, version);
        }
        std::uint32_t offset = ms_KelUdidOffset;
        ReadKelUdid(offset);
        ReadTimestamp(offset);
    }
    m_contentLength = contentLength;
    m_read = true;
}

std::uint32_t CTesseraUid::GetContentLength() const
{
    SCM_GUARD(m_read);
    return m_contentLength;
}

const std::uint8_t* CTesseraUid::GetKelUdid() const
{
    SCM_GUARD(m_read);
    return m_kelUdid;
}

std::uint64_t CTesseraUid::GetTimestamp() const
{
    SCM_GUARD(m_read);
    return m_timestamp;
}

void CTesseraUid::InitializeWithEmptyContent()
{
    m_kelUdid = Util::CUdid::ms_Zero;
    m_timestamp = 0u;
}

void CTesseraUid::ReadKelUdid(std::uint32_t& offset)
{
    m_kelUdid = m_contentBuffer + offset;
    offset += Util::UdidLength;
}

void CTesseraUid::ReadTimestamp(std::uint32_t& offset)
{
    m_timestamp = Util::GetLittleEndianUInt64(m_contentBuffer, offset);
    offset += 8u;
}
} // namespace Param
