// The firmware revision file "fwrevcnf.bin": acknowledged minor revisions and the authentication section.
#include "Param/CFwRevCnfBin.h"

#include "Param/CFwRevCnfBinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CFwRevCnfBin.cpp");
} // namespace

namespace Param
{
const std::uint8_t CFwRevCnfBin::ms_ZeroCpuId[8] = {};
const std::uint8_t CFwRevCnfBin::ms_ZeroPassword[16] = {};

CFwRevCnfBin::CFwRevCnfBin(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u),
      m_moduleSectionLength(0u), m_moduleSection(contentBuffer), m_hasCpuId(false), m_cpuId(ms_ZeroCpuId),
      m_hasKelUdid(false), m_kelUdid(Util::CUdid::ms_Zero), m_hasPassword(false), m_password(ms_ZeroPassword),
      m_tesseraEmpty(false), m_setupModeActive(false), m_read(false), m_open(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

void CFwRevCnfBin::ReadContent(std::uint32_t contentLength)
{
    SCM_GUARD(!m_open);
    m_read = false;
    if (contentLength > m_contentBufferLength)
    {
        throw Util::CException(CFwRevCnfBinEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentBufferLength),
                               contentLength);
    }
    if (contentLength == 0u)
    {
        m_contentLength = 0u;
        m_moduleSectionLength = 0u;
        m_moduleSection = m_contentBuffer;
        SetFeatureFlags(0u);
        InitializeEmptyAuthentification();
        m_read = true;
        return;
    }
    if (contentLength < ms_ModuleSectionLengthMin)
    {
        throw Util::CException(CFwRevCnfBinEventCode::BufferTooShort, contentLength);
    }
    const std::uint8_t* const content = m_contentBuffer;
    const std::uint16_t moduleCount = Util::GetLittleEndianUInt16(content, 0u);
    if (moduleCount > ms_ModuleCountMax)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidModuleCount, moduleCount);
    }
    const std::uint16_t entryLength = Util::GetLittleEndianUInt16(content, 2u);
    if (entryLength != ms_EntryLength)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidEntryLength, entryLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(content, 4u);
    if (version != ms_Version)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidVersion, version);
    }
    const std::uint16_t entryOffset = Util::GetLittleEndianUInt16(content, 6u);
    if (entryOffset != ms_EntryOffset)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidEntryOffset, entryOffset);
    }
    // With at most 1023 modules none of these offsets can wrap.
    const std::uint32_t moduleSectionLength = static_cast<std::uint32_t>(ms_EntryLength) * moduleCount;
    const std::uint32_t moduleCrcOffset = ms_EntryOffset + moduleSectionLength;
    const std::uint32_t authentificationOffset = moduleCrcOffset + ms_ModuleCrcLength;
    if (moduleCrcOffset > contentLength)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidEntries, ms_EntryOffset, moduleSectionLength);
    }
    // The module CRC itself must lie inside the content before it is read.
    if (authentificationOffset > contentLength)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidAuthentification, authentificationOffset);
    }
    const std::uint32_t moduleCrc = GetCrc32_0x11EDC6F41(moduleCrcOffset, content, 0u);
    if (Util::GetLittleEndianUInt32(content, moduleCrcOffset) != moduleCrc)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidModuleCrc, moduleCrc);
    }
    if (contentLength <
        authentificationOffset + ms_AuthentificationSectionLength - SCM_PLANTED_FAULT_ON(FwRevCnfBinAuthentification))
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidAuthentification, authentificationOffset);
    }
    const std::uint8_t* const authentification = content + authentificationOffset;
    const std::uint16_t sectionLength = Util::GetLittleEndianUInt16(authentification, 0u);
    if (sectionLength != ms_PretendedAuthentificationSectionLength)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidAuthentificationSectionLength, sectionLength);
    }
    const std::uint16_t dataOffset = Util::GetLittleEndianUInt16(authentification, 2u);
    if (dataOffset != ms_AuthentificationSectionOffset)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidAuthentificationDataOffset, dataOffset);
    }
    const std::uint16_t featureFlags = Util::GetLittleEndianUInt16(authentification, ms_FeatureFlagsOffset);
    if ((featureFlags & ms_UnknownFlags) != 0u)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidFeatureFlags, featureFlags);
    }
    // The CRC is checked before any value is taken, so that a refused file leaves no half-taken values behind.
    const std::uint32_t authentificationCrc = GetCrc32_0x11EDC6F41(ms_AuthentificationCrcOffset, authentification, 0u);
    if (Util::GetLittleEndianUInt32(authentification, ms_AuthentificationCrcOffset) != authentificationCrc)
    {
        throw Util::CException(CFwRevCnfBinEventCode::InvalidAuthentificationCrc, authentificationCrc);
    }

    m_contentLength = contentLength;
    m_moduleSectionLength = moduleSectionLength;
    m_moduleSection = m_contentBuffer + ms_EntryOffset;
    SetFeatureFlags(featureFlags);
    std::uint32_t offset = authentificationOffset + ms_KelUdidOffset;
    ReadKelUdid(offset);
    ReadCpuId(offset);
    ReadPassword(offset);
    m_read = true;
}

void CFwRevCnfBin::SetFeatureFlags(std::uint16_t featureFlags)
{
    m_hasCpuId = (featureFlags & ms_CpuIdValidFlag) != 0u;
    m_hasKelUdid = (featureFlags & ms_KelUdidValidFlag) != 0u;
    m_hasPassword = (featureFlags & ms_PasswordPresentFlag) != 0u;
    m_tesseraEmpty = (featureFlags & ms_TesseraEmptyFlag) != 0u;
    m_setupModeActive = (featureFlags & ms_SetupModeActiveFlag) != 0u;
}

std::uint16_t CFwRevCnfBin::GetFeatureFlags() const
{
    std::uint16_t featureFlags = 0u;
    featureFlags = static_cast<std::uint16_t>(featureFlags | (m_hasCpuId ? ms_CpuIdValidFlag : 0u));
    featureFlags = static_cast<std::uint16_t>(featureFlags | (m_hasKelUdid ? ms_KelUdidValidFlag : 0u));
    featureFlags = static_cast<std::uint16_t>(featureFlags | (m_hasPassword ? ms_PasswordPresentFlag : 0u));
    featureFlags = static_cast<std::uint16_t>(featureFlags | (m_tesseraEmpty ? ms_TesseraEmptyFlag : 0u));
    featureFlags = static_cast<std::uint16_t>(featureFlags | (m_setupModeActive ? ms_SetupModeActiveFlag : 0u));
    return featureFlags;
}

bool CFwRevCnfBin::HasCpuId() const
{
    SCM_GUARD(m_read);
    return m_hasCpuId;
}

const std::uint8_t* CFwRevCnfBin::GetCpuId() const
{
    SCM_GUARD(m_read);
    return m_cpuId;
}

bool CFwRevCnfBin::HasKelUdid() const
{
    SCM_GUARD(m_read);
    return m_hasKelUdid;
}

const std::uint8_t* CFwRevCnfBin::GetKelUdid() const
{
    SCM_GUARD(m_read);
    return m_kelUdid;
}

bool CFwRevCnfBin::HasPassword() const
{
    SCM_GUARD(m_read);
    return m_hasPassword;
}

const std::uint8_t* CFwRevCnfBin::GetPassword() const
{
    SCM_GUARD(m_read);
    return m_password;
}

bool CFwRevCnfBin::WasTesseraEmpty() const
{
    SCM_GUARD(m_read);
    return m_tesseraEmpty;
}

bool CFwRevCnfBin::IsSetupModeActive() const
{
    SCM_GUARD(m_read);
    return m_setupModeActive;
}

void CFwRevCnfBin::StartReadingModuleSection(std::uint32_t& moduleSectionLength, const std::uint8_t*& moduleSection)
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    moduleSectionLength = m_moduleSectionLength;
    moduleSection = m_moduleSection;
    m_open = true;
}

void CFwRevCnfBin::StopReadingModuleSection()
{
    m_open = false;
}

void CFwRevCnfBin::InitializeEmptyAuthentification()
{
    m_hasCpuId = false;
    m_hasKelUdid = false;
    m_hasPassword = false;
    m_cpuId = ms_ZeroCpuId;
    m_kelUdid = Util::CUdid::ms_Zero;
    m_password = ms_ZeroPassword;
}

void CFwRevCnfBin::ReadCpuId(std::uint32_t& offset)
{
    m_cpuId = m_contentBuffer + offset;
    offset += Util::CpuIdLength;
}

void CFwRevCnfBin::ReadKelUdid(std::uint32_t& offset)
{
    m_kelUdid = m_contentBuffer + offset;
    offset += Util::UdidLength;
}

void CFwRevCnfBin::ReadPassword(std::uint32_t& offset)
{
    m_password = m_contentBuffer + offset;
    offset += ms_PasswordLength;
}
} // namespace Param
