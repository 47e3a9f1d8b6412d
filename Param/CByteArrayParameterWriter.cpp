// SOD parameter records written into a byte buffer.
#include "Param/CByteArrayParameterWriter.h"

#include <cstring>

#include "Param/CByteArrayWriterEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CByteArrayParameterWriter.cpp");
}

namespace Param
{
CByteArrayParameterWriter::CByteArrayParameterWriter()
    : m_contentBufferLength(0u), m_contentBuffer(nullptr), m_contentOffset(0u), m_open(false)
{
}

void CByteArrayParameterWriter::Open()
{
    SCM_GUARD(!m_open);
    SCM_GUARD(m_contentBuffer != nullptr);
    m_contentOffset = 0u;
    m_open = true;
}

void CByteArrayParameterWriter::WriteNext(std::uint16_t index, std::uint8_t subIndex, std::uint32_t parameterLength,
                                          const std::uint8_t* parameter)
{
    SCM_GUARD(m_open);
    SCM_GUARD(parameter != nullptr);
    // 64-bit sum: a declared length near 2^32 must not wrap around into a small record.
    const std::uint64_t end = static_cast<std::uint64_t>(m_contentOffset) + parameterLength + ms_RecordHeadLength;
    if (end > m_contentBufferLength)
    {
        throw Util::CException(CByteArrayWriterEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentOffset),
                               m_contentBufferLength);
    }
    Util::SetLittleEndianUInt16(m_contentBuffer, m_contentOffset, index);
    m_contentBuffer[m_contentOffset + 2u] = subIndex;
    Util::SetLittleEndianUInt32(m_contentBuffer, m_contentOffset + 3u, parameterLength);
    m_contentOffset += ms_RecordHeadLength;
    std::memmove(m_contentBuffer + m_contentOffset, parameter, parameterLength);
    m_contentOffset += parameterLength;
}

void CByteArrayParameterWriter::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
}

std::uint32_t CByteArrayParameterWriter::GetContentLength()
{
    SCM_GUARD(m_open);
    return m_contentOffset;
}

void CByteArrayParameterWriter::Initialize(std::uint32_t length, std::uint8_t* buffer)
{
    SCM_GUARD(!m_open);
    SCM_GUARD(buffer != nullptr);
    m_contentBufferLength = length;
    m_contentBuffer = buffer;
    m_contentOffset = 0u;
}
} // namespace Param
