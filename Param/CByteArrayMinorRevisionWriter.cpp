// Minor revision records written into a byte buffer.
#include "Param/CByteArrayMinorRevisionWriter.h"

#include "Param/CByteArrayWriterEventCode.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CByteArrayMinorRevisionWriter.cpp");
}

namespace Param
{
CByteArrayMinorRevisionWriter::CByteArrayMinorRevisionWriter()
    : m_contentBufferLength(0u), m_contentBuffer(nullptr), m_contentOffset(0u), m_open(false)
{
}

void CByteArrayMinorRevisionWriter::Open()
{
    SCM_GUARD(!m_open);
    SCM_GUARD(m_contentBuffer != nullptr);
    m_contentOffset = 0u;
    m_open = true;
}

void CByteArrayMinorRevisionWriter::WriteNext(std::uint16_t safetyAddress, std::uint16_t minorRevision)
{
    SCM_GUARD(m_open);
    if ((m_contentOffset > m_contentBufferLength) || (m_contentBufferLength - m_contentOffset < ms_RecordLength))
    {
        throw Util::CException(CByteArrayWriterEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentOffset),
                               m_contentBufferLength);
    }
    if (!IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CByteArrayWriterEventCode::InvalidSafetyAddress, safetyAddress);
    }
    Util::SetLittleEndianUInt16(m_contentBuffer, m_contentOffset, safetyAddress);
    Util::SetLittleEndianUInt16(m_contentBuffer, m_contentOffset + 2u, minorRevision);
    m_contentOffset += ms_RecordLength;
}

void CByteArrayMinorRevisionWriter::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
}

std::uint32_t CByteArrayMinorRevisionWriter::GetContentLength()
{
    SCM_GUARD(m_open);
    return m_contentOffset;
}

void CByteArrayMinorRevisionWriter::Initialize(std::uint32_t length, std::uint8_t* buffer)
{
    SCM_GUARD(!m_open);
    SCM_GUARD(buffer != nullptr);
    m_contentBufferLength = length;
    m_contentBuffer = buffer;
    m_contentOffset = 0u;
}
} // namespace Param
