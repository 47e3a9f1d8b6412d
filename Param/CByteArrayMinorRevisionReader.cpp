// Minor revision records read in place from a byte buffer.
#include "Param/CByteArrayMinorRevisionReader.h"

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CByteArrayMinorRevisionReader.cpp");
}

namespace Param
{
CByteArrayMinorRevisionReader::CByteArrayMinorRevisionReader()
    : m_contentLength(0u), m_content(nullptr), m_contentOffset(0u), m_open(false)
{
}

void CByteArrayMinorRevisionReader::Open()
{
    SCM_GUARD(!m_open);
    SCM_GUARD(m_content != nullptr);
    m_contentOffset = 0u;
    m_open = true;
}

bool CByteArrayMinorRevisionReader::TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& minorRevision)
{
    SCM_GUARD(m_open);
    if ((m_contentOffset >= m_contentLength) || (m_contentLength - m_contentOffset < ms_RecordLength))
    {
        return false;
    }
    const std::uint16_t recordSafetyAddress = Util::GetLittleEndianUInt16(m_content, m_contentOffset);
    if (!IsValidSafetyAddress(recordSafetyAddress))
    {
        throw Util::CException(CByteArrayReaderEventCode::InvalidSafetyAddress, recordSafetyAddress);
    }
    safetyAddress = recordSafetyAddress;
    minorRevision = Util::GetLittleEndianUInt16(m_content, m_contentOffset + 2u);
    m_contentOffset += ms_RecordLength;
    return true;
}

void CByteArrayMinorRevisionReader::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
}

void CByteArrayMinorRevisionReader::Initialize(std::uint32_t length, const std::uint8_t* content)
{
    SCM_GUARD(!m_open);
    SCM_GUARD(content != nullptr);
    m_contentLength = length;
    m_content = content;
    m_contentOffset = 0u;
}
} // namespace Param
