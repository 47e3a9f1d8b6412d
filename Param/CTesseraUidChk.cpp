// The checker's inverted copy "tessera.uid.chk" of the key-medium identity file.
#include "Param/CTesseraUidChk.h"

#include <cstring>

#include "Param/CTesseraUidEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraUidChk.cpp");
} // namespace

namespace Param
{
CTesseraUidChk::CTesseraUidChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : CTesseraUid(contentBufferLength, contentBuffer), m_invertedKelUdid{},
      m_invertedTimestamp(Util::GetInvertedUInt64(0u)), m_written(false)
{
    if (contentBufferLength < ms_ContentLength)
    {
        throw Util::CException(CTesseraUidEventCode::BufferTooShort, contentBufferLength);
    }
    Util::ClearInvertedUdid(m_invertedKelUdid);
}

const std::uint8_t* CTesseraUidChk::GetInvertedKelUdid() const
{
    SCM_GUARD(m_read);
    return m_invertedKelUdid;
}

std::uint64_t CTesseraUidChk::GetInvertedTimestamp() const
{
    SCM_GUARD(m_read);
    return m_invertedTimestamp;
}

void CTesseraUidChk::SetInvertedKelUdid(const std::uint8_t* invertedKelUdid)
{
    SCM_GUARD(m_read);
    SCM_GUARD(invertedKelUdid != nullptr);
    std::memcpy(m_invertedKelUdid, invertedKelUdid, sizeof(m_invertedKelUdid));
    m_written = false;
}

void CTesseraUidChk::SetInvertedTimestamp(std::uint64_t invertedTimestamp)
{
    SCM_GUARD(m_read);
    m_invertedTimestamp = invertedTimestamp;
    m_written = false;
}

void CTesseraUidChk::WriteContent()
{
    SCM_GUARD(m_read);
    if (m_written)
    {
        return;
    }
    Util::SetLittleEndianUInt32(m_contentBuffer, ms_VersionOffset, ms_Version);
    std::memcpy(m_contentBuffer + ms_KelUdidOffset, m_invertedKelUdid, sizeof(m_invertedKelUdid));
    Util::SetLittleEndianUInt64(m_contentBuffer, ms_TimestampOffset, m_invertedTimestamp);
    m_contentLength = ms_ContentLength;
    m_kelUdid = m_contentBuffer + ms_KelUdidOffset;
    m_timestamp = m_invertedTimestamp;
    m_written = true;
}

std::uint32_t CTesseraUidChk::GetContentLength() const
{
    return m_contentLength;
}

void CTesseraUidChk::InitializeWithEmptyContent()
{
    CTesseraUid::InitializeWithEmptyContent();
    Util::ClearInvertedUdid(m_invertedKelUdid);
    m_invertedTimestamp = Util::GetInvertedUInt64(0u);
}

void CTesseraUidChk::ReadKelUdid(std::uint32_t& offset)
{
    std::memcpy(m_invertedKelUdid, m_contentBuffer + offset, sizeof(m_invertedKelUdid));
    CTesseraUid::ReadKelUdid(offset);
}

void CTesseraUidChk::ReadTimestamp(std::uint32_t& offset)
{
    CTesseraUid::ReadTimestamp(offset);
    m_invertedTimestamp = m_timestamp;
}
} // namespace Param
