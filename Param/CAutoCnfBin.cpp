// The auto-configuration file "autocnf.bin": header, UDID section, machine options, module flags, file CRC.
#include "Param/CAutoCnfBin.h"

#include "Param/CAutoCnfBinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CAutoCnfBin.cpp");

struct CSectionRules
{
    std::uint32_t m_lengthOffset;
    std::uint32_t m_offsetOffset;
    std::uint32_t m_length;
    std::uint16_t m_invalidSection;
    std::uint16_t m_invalidLength;
    std::uint16_t m_invalidOffset;
};

// Machine options and module flags: a fixed length or none, an offset behind the header, inside the content.
std::uint32_t CheckOptionalSection(const std::uint8_t* content, std::uint32_t contentLength, const CSectionRules& rules,
                                   std::uint32_t& sectionOffset)
{
    const std::uint32_t length = Util::GetLittleEndianUInt32(content, rules.m_lengthOffset);
    if ((length != 0u) && (length != rules.m_length))
    {
        throw Util::CException(rules.m_invalidLength, length);
    }
    const std::uint32_t offset = Util::GetLittleEndianUInt32(content, rules.m_offsetOffset);
    if ((length != 0u) ? (offset < Param::CAutoCnfBin::ms_HeaderLength) : (offset != 0u))
    {
        throw Util::CException(rules.m_invalidOffset, offset);
    }
    if (static_cast<std::uint64_t>(offset) + length > contentLength)
    {
        throw Util::CException(rules.m_invalidSection, static_cast<std::uint16_t>(offset), length);
    }
    sectionOffset = offset;
    return length;
}
} // namespace

namespace Param
{
CAutoCnfBin::CAutoCnfBin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u), m_udidSection(),
      m_timestamp(0u), m_machineOptionsSectionLength(0u), m_machineOptionsSection(contentBuffer), m_read(false)
{
    SCM_GUARD(contentBuffer != nullptr);
    m_udidSection.Initialize(0u, m_contentBuffer);
}

void CAutoCnfBin::ReadContent(std::uint32_t contentLength)
{
    m_read = false;
    // Until this read succeeds the UDID reader finds nothing rather than a section of an earlier content.
    m_udidSection.Initialize(0u, m_contentBuffer);
    if (contentLength > m_contentBufferLength)
    {
        throw Util::CException(CAutoCnfBinEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentBufferLength),
                               contentLength);
    }
    if (contentLength == 0u)
    {
        m_contentLength = 0u;
        m_timestamp = 0u;
        m_machineOptionsSectionLength = 0u;
        m_machineOptionsSection = m_contentBuffer;
        m_read = true;
        return;
    }
    const std::uint8_t* const content = m_contentBuffer;
    if (contentLength < ms_HeaderLength - SCM_PLANTED_FAULT_ON(AutoCnfBinHeader))
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidContentLength, contentLength);
    }
    const std::uint16_t sectionCount = Util::GetLittleEndianUInt16(content, ms_SectionCountOffset);
    if (sectionCount > ms_SectionCountMax)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidSectionCount, sectionCount);
    }
    const std::uint16_t headerLength = Util::GetLittleEndianUInt16(content, ms_HeaderLengthOffset);
    if (headerLength != ms_HeaderLength)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidHeaderLength, headerLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(content, ms_VersionOffset);
    if (version != ms_Version)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidVersion, version);
    }
    const std::uint16_t informationOffset = Util::GetLittleEndianUInt16(content, ms_UdidSectionInformationOffsetOffset);
    if (informationOffset != ms_UdidSectionInformationOffset)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidUdidInformationSectionOffset, informationOffset);
    }
    const std::uint32_t timestamp = Util::GetLittleEndianUInt32(content, ms_TimestampOffset);

    const std::uint32_t udidLength = Util::GetLittleEndianUInt32(content, ms_UdidSectionLengthOffset);
    const std::uint32_t udidOffset = Util::GetLittleEndianUInt32(content, ms_UdidSectionOffsetOffset);
    if (udidOffset != ((udidLength != 0u) ? ms_HeaderLength : 0u))
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidUdidSectionOffset, udidOffset);
    }
    if (static_cast<std::uint64_t>(udidOffset) + udidLength > contentLength)
    {
        throw Util::CException(CAutoCnfBinEventCode::InvalidUdids, static_cast<std::uint16_t>(udidOffset),
                               static_cast<std::uint16_t>(udidLength));
    }
    // The section may read up to the end of the content, where a section CRC written past its length still lies.
    m_udidSection.Initialize(udidLength, content + udidOffset, contentLength - udidOffset);
    std::uint32_t machineOptionsOffset = 0u;
    std::uint32_t machineOptionsLength = 0u;
    try
    {
        machineOptionsLength = CheckOptionalSection(
            content, contentLength,
            {ms_MachineOptionSectionLengthOffset, ms_MachineOptionSectionOffsetOffset, ms_MachineOptionSectionLength,
             CAutoCnfBinEventCode::InvalidMachineOptions, CAutoCnfBinEventCode::InvalidMachineOptionSectionLength,
             CAutoCnfBinEventCode::InvalidMachineOptionSectionOffset},
            machineOptionsOffset);
        std::uint32_t moduleFlagsOffset = 0u;
        const std::uint32_t moduleFlagsLength = CheckOptionalSection(
            content, contentLength,
            {ms_ModuleFlagSectionLengthOffset, ms_ModuleFlagSectionOffsetOffset, ms_ModuleFlagSectionLength,
             CAutoCnfBinEventCode::InvalidModuleFlags, CAutoCnfBinEventCode::InvalidModuleFlagSectionLength,
             CAutoCnfBinEventCode::InvalidModuleFlagSectionOffset},
            moduleFlagsOffset);
        (void)moduleFlagsOffset; // the module flags are not exposed

        const std::uint32_t headerCrc = GetCrc32_0x11EDC6F41(ms_HeaderCrcOffset, content, 0u);
        if (Util::GetLittleEndianUInt32(content, ms_HeaderCrcOffset) != headerCrc)
        {
            throw Util::CException(CAutoCnfBinEventCode::InvalidHeaderCrc, headerCrc);
        }
        // The sections lie back to back behind the header; the file CRC follows them, inside the content.
        const std::uint64_t fileCrcOffset =
            static_cast<std::uint64_t>(ms_HeaderLength) + udidLength + machineOptionsLength + moduleFlagsLength;
        if (fileCrcOffset + ms_FileCrcLength > contentLength)
        {
            throw Util::CException(CAutoCnfBinEventCode::InvalidFileCrc, static_cast<std::uint32_t>(fileCrcOffset));
        }
        const std::uint32_t fileCrcPosition = static_cast<std::uint32_t>(fileCrcOffset);
        const std::uint32_t fileCrc = GetCrc32_0x11EDC6F41(fileCrcPosition, content, 0u);
        if (Util::GetLittleEndianUInt32(content, fileCrcPosition) != fileCrc)
        {
            throw Util::CException(CAutoCnfBinEventCode::InvalidFileCrc, fileCrc);
        }
    }
    catch (const Util::CException&)
    {
        m_udidSection.Initialize(0u, m_contentBuffer);
        throw;
    }

    m_contentLength = contentLength;
    m_timestamp = timestamp;
    m_machineOptionsSectionLength = static_cast<std::uint16_t>(machineOptionsLength);
    m_machineOptionsSection = content + machineOptionsOffset;
    m_read = true;
}

std::uint32_t CAutoCnfBin::GetTimestamp() const
{
    SCM_GUARD(m_read);
    return m_timestamp;
}

bool CAutoCnfBin::HasMachineOptionSection() const
{
    SCM_GUARD(m_read);
    return m_machineOptionsSectionLength != 0u;
}

void CAutoCnfBin::GetRawMachineOptionSection(std::uint16_t& sectionLength, const std::uint8_t*& section) const
{
    SCM_GUARD(m_read);
    sectionLength = m_machineOptionsSectionLength;
    section = m_machineOptionsSection;
}

CAutoCnfBinUdidSection& CAutoCnfBin::GetUdidSection()
{
    return m_udidSection;
}
} // namespace Param
