// SOD parameter records read in place from a byte buffer.
#include "Param/CByteArrayParameterReader.h"

#include "Param/CByteArrayReaderEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CByteArrayParameterReader.cpp");
}

namespace Param
{
CByteArrayParameterReader::CByteArrayParameterReader()
    : m_contentLength(0u), m_content(nullptr), m_contentOffset(0u), m_open(false)
{
}

void CByteArrayParameterReader::Open()
{
    SCM_GUARD(!m_open);
    SCM_GUARD(m_content != nullptr);
    m_contentOffset = 0u;
    m_open = true;
}

bool CByteArrayParameterReader::TryReadNext(std::uint16_t& index, std::uint8_t& subIndex,
                                            std::uint32_t& parameterLength, const std::uint8_t*& parameter)
{
    SCM_GUARD(m_open);
    if (m_contentOffset >= m_contentLength)
    {
        return false;
    }
    if (m_contentLength - m_contentOffset < ms_RecordHeadLength)
    {
        throw Util::CException(CByteArrayReaderEventCode::IncompleteDescription, m_contentOffset);
    }
    const std::uint16_t recordIndex = Util::GetLittleEndianUInt16(m_content, m_contentOffset);
    const std::uint8_t recordSubIndex = m_content[m_contentOffset + 2u];
    const std::uint32_t recordLength = Util::GetLittleEndianUInt32(m_content, m_contentOffset + 3u);
    m_contentOffset += ms_RecordHeadLength;
    if (m_contentLength - m_contentOffset < recordLength - SCM_PLANTED_FAULT_ON(ParameterRecordEnd))
    {
        throw Util::CException(CByteArrayReaderEventCode::IncompleteParameter,
                               static_cast<std::uint16_t>(m_contentOffset), recordLength);
    }
    index = recordIndex;
    subIndex = recordSubIndex;
    parameterLength = recordLength;
    parameter = m_content + m_contentOffset;
    m_contentOffset += recordLength;
    return true;
}

void CByteArrayParameterReader::Close()
{
    SCM_GUARD(m_open);
    m_open = false;
}

void CByteArrayParameterReader::Initialize(std::uint32_t length, const std::uint8_t* content)
{
    SCM_GUARD(!m_open);
    SCM_GUARD(content != nullptr);
    m_contentLength = length;
    m_content = content;
    m_contentOffset = 0u;
}
} // namespace Param
