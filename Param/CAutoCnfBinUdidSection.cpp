// The UDID section of the auto-configuration file, validated the first time it is read.
#include "Param/CAutoCnfBinUdidSection.h"

#include "Param/CAutoCnfBinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CAutoCnfBinUdidSection.cpp");
} // namespace

namespace Param
{
CAutoCnfBinUdidSection::CAutoCnfBinUdidSection()
    : m_contentLength(0u), m_content(nullptr), m_entriesLength(0u), m_entries(nullptr), m_read(false),
      m_availableLength(0u)
{
}

void CAutoCnfBinUdidSection::Initialize(std::uint32_t length, const std::uint8_t* content)
{
    Initialize(length, content, length);
}

void CAutoCnfBinUdidSection::Initialize(std::uint32_t length, const std::uint8_t* content,
                                        std::uint32_t availableLength)
{
    SCM_GUARD(content != nullptr);
    SCM_GUARD(availableLength >= length);
    m_content = content;
    m_contentLength = 0u;
    m_availableLength = 0u;
    m_entriesLength = 0u;
    m_entries = content;
    m_read = false;
    if ((length != 0u) && (length < ms_SectionLengthMin))
    {
        throw Util::CException(CAutoCnfBinEventCode::ModuleBufferTooShort, length);
    }
    m_contentLength = length;
    m_availableLength = availableLength;
}

void CAutoCnfBinUdidSection::StartReadingUdids(std::uint32_t& entriesLength, const std::uint8_t*& entries)
{
    SCM_GUARD(m_content != nullptr);
    if (!m_read)
    {
        Validate();
        m_read = true;
    }
    entriesLength = m_entriesLength;
    entries = m_entries;
}

void CAutoCnfBinUdidSection::Validate()
{
    if (m_contentLength == 0u)
    {
        m_entriesLength = 0u;
        m_entries = m_content;
        return;
    }
    const std::uint16_t moduleCount = Util::GetLittleEndianUInt16(m_content, 0u);
    if (moduleCount > ms_ModuleCountMax)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidModuleCount, moduleCount);
    }
    const std::uint32_t entriesLength = static_cast<std::uint32_t>(ms_EntryLength) * moduleCount;
    const std::uint32_t crcOffset = ms_EntryOffset + entriesLength;
    if (m_contentLength < crcOffset)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidEntries, entriesLength);
    }
    const std::uint16_t entryLength = Util::GetLittleEndianUInt16(m_content, 2u);
    if (entryLength != ms_EntryLength)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidEntryLength, entryLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(m_content, 4u);
    if (version != ms_Version)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidModuleVersion, version);
    }
    const std::uint16_t entryOffset = Util::GetLittleEndianUInt16(m_content, 6u);
    if (entryOffset != ms_EntryOffset)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidEntryOffset, entryOffset);
    }
    if (crcOffset + ms_SectionCrcLength > m_availableLength)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidModuleCrc, crcOffset);
    }
    const std::uint32_t storedCrc = Util::GetLittleEndianUInt32(m_content, crcOffset);
    if (storedCrc != GetCrc32_0x11EDC6F41(crcOffset, m_content, 0u))
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidModuleCrc, storedCrc);
    }
    m_entriesLength = entriesLength;
    m_entries = m_content + ms_EntryOffset;
}
} // namespace Param
