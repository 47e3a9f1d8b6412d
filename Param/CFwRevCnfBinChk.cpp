// The checker's inverted copy "fwrevcnf.bin.chk" of the firmware revision file, which it can rebuild.
#include "Param/CFwRevCnfBinChk.h"

#include <cstring>

#include "Param/CFwRevCnfBinEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CFwRevCnfBinChk.cpp");
} // namespace

namespace Param
{
CFwRevCnfBinChk::CFwRevCnfBinChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer)
    : CFwRevCnfBin(contentBufferLength, contentBuffer),
      m_written(false), m_invertedCpuId{}, m_invertedKelUdid{}, m_invertedPassword{}
{
    if (contentBufferLength < ms_ContentLengthMin)
    {
        throw Util::CException(CFwRevCnfBinEventCode::BufferTooShort, contentBufferLength);
    }
    Util::ClearInvertedCpuId(m_invertedCpuId);
    Util::ClearInvertedUdid(m_invertedKelUdid);
    Util::ClearInvertedPassword(m_invertedPassword);
}

const std::uint8_t* CFwRevCnfBinChk::GetInvertedCpuId() const
{
    SCM_GUARD(m_read);
    return m_invertedCpuId;
}

const std::uint8_t* CFwRevCnfBinChk::GetInvertedKelUdid() const
{
    SCM_GUARD(m_read);
    return m_invertedKelUdid;
}

const std::uint8_t* CFwRevCnfBinChk::GetInvertedPassword() const
{
    SCM_GUARD(m_read);
    return m_invertedPassword;
}

void CFwRevCnfBinChk::SetInvertedCpuId(const std::uint8_t* invertedCpuId)
{
    SCM_GUARD(m_read);
    SCM_GUARD(invertedCpuId != nullptr);
    std::memcpy(m_invertedCpuId, invertedCpuId, sizeof(m_invertedCpuId));
    m_hasCpuId = true;
    m_written = false;
}

void CFwRevCnfBinChk::SetInvertedKelUdid(const std::uint8_t* invertedKelUdid)
{
    SCM_GUARD(m_read);
    SCM_GUARD(invertedKelUdid != nullptr);
    std::memcpy(m_invertedKelUdid, invertedKelUdid, sizeof(m_invertedKelUdid));
    m_hasKelUdid = true;
    m_written = false;
}

void CFwRevCnfBinChk::SetInvertedPassword(const std::uint8_t* invertedPassword)
{
    SCM_GUARD(m_read);
    SCM_GUARD(invertedPassword != nullptr);
    std::memcpy(m_invertedPassword, invertedPassword, sizeof(m_invertedPassword));
    m_hasPassword = true;
    m_written = false;
}

void CFwRevCnfBinChk::SetTesseraEmpty(bool tesseraEmpty)
{
    SCM_GUARD(m_read);
    m_tesseraEmpty = tesseraEmpty;
    m_written = false;
}

void CFwRevCnfBinChk::SetSetupModeActive(bool setupModeActive)
{
    SCM_GUARD(m_read);
    m_setupModeActive = setupModeActive;
    m_written = false;
}

void CFwRevCnfBinChk::StartWritingModuleSection(std::uint32_t& moduleSectionLengthMax, std::uint8_t*& moduleSection)
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    moduleSectionLengthMax = m_contentBufferLength - ms_ContentLengthMin;
    moduleSection = m_contentBuffer + ms_EntryOffset;
    m_written = false;
    m_open = true;
}

void CFwRevCnfBinChk::StopWritingModuleSection(std::uint32_t moduleSectionLength)
{
    SCM_GUARD(m_open);
    SCM_GUARD(moduleSectionLength <= m_contentBufferLength - ms_ContentLengthMin);
    SCM_GUARD((moduleSectionLength % ms_EntryLength) == 0u);
    SCM_GUARD((moduleSectionLength / ms_EntryLength) <= ms_ModuleCountMax);
    m_moduleSectionLength = moduleSectionLength;
    m_moduleSection = m_contentBuffer + ms_EntryOffset;
    m_open = false;
}

void CFwRevCnfBinChk::WriteContent()
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    if (m_written)
    {
        return;
    }
    std::uint8_t* const content = m_contentBuffer;
    const std::uint32_t moduleCrcOffset = ms_EntryOffset + m_moduleSectionLength;
    const std::uint32_t authentificationOffset = moduleCrcOffset + ms_ModuleCrcLength;
    const std::uint32_t contentLength = authentificationOffset + ms_AuthentificationSectionLength;
    SCM_GUARD(contentLength <= m_contentBufferLength);

    Util::SetLittleEndianUInt16(content, 0u, static_cast<std::uint16_t>(m_moduleSectionLength / ms_EntryLength));
    Util::SetLittleEndianUInt16(content, 2u, ms_EntryLength);
    Util::SetLittleEndianUInt16(content, 4u, ms_Version);
    Util::SetLittleEndianUInt16(content, 6u, ms_EntryOffset);
    Util::SetLittleEndianUInt32(content, moduleCrcOffset, GetCrc32_0x11EDC6F41(moduleCrcOffset, content, 0u));

    std::uint8_t* const authentification = content + authentificationOffset;
    Util::SetLittleEndianUInt16(authentification, 0u, ms_PretendedAuthentificationSectionLength);
    Util::SetLittleEndianUInt16(authentification, 2u, ms_AuthentificationSectionOffset);
    Util::SetLittleEndianUInt16(authentification, ms_FeatureFlagsOffset, GetFeatureFlags());
    std::memcpy(authentification + ms_KelUdidOffset, m_invertedKelUdid, sizeof(m_invertedKelUdid));
    std::memcpy(authentification + ms_CpuIdOffset, m_invertedCpuId, sizeof(m_invertedCpuId));
    std::memcpy(authentification + ms_PasswordOffset, m_invertedPassword, sizeof(m_invertedPassword));
    authentification[ms_PasswordOffset + sizeof(m_invertedPassword)] = 0u;
    Util::SetLittleEndianUInt32(authentification, ms_AuthentificationCrcOffset,
                                GetCrc32_0x11EDC6F41(ms_AuthentificationCrcOffset, authentification, 0u));

    // The base accessors show the stored (inverted) bytes, as after reading the written file.
    m_moduleSection = content + ms_EntryOffset;
    m_kelUdid = authentification + ms_KelUdidOffset;
    m_cpuId = authentification + ms_CpuIdOffset;
    m_password = authentification + ms_PasswordOffset;
    m_contentLength = contentLength;
    m_written = true;
}

std::uint32_t CFwRevCnfBinChk::GetContentLength()
{
    return m_contentLength;
}

void CFwRevCnfBinChk::InitializeEmptyAuthentification()
{
    CFwRevCnfBin::InitializeEmptyAuthentification();
    Util::ClearInvertedCpuId(m_invertedCpuId);
    Util::ClearInvertedUdid(m_invertedKelUdid);
    Util::ClearInvertedPassword(m_invertedPassword);
}

void CFwRevCnfBinChk::ReadCpuId(std::uint32_t& offset)
{
    std::memcpy(m_invertedCpuId, m_contentBuffer + offset, sizeof(m_invertedCpuId));
    CFwRevCnfBin::ReadCpuId(offset);
}

void CFwRevCnfBinChk::ReadKelUdid(std::uint32_t& offset)
{
    std::memcpy(m_invertedKelUdid, m_contentBuffer + offset, sizeof(m_invertedKelUdid));
    CFwRevCnfBin::ReadKelUdid(offset);
}

void CFwRevCnfBinChk::ReadPassword(std::uint32_t& offset)
{
    std::memcpy(m_invertedPassword, m_contentBuffer + offset, sizeof(m_invertedPassword));
    CFwRevCnfBin::ReadPassword(offset);
}
} // namespace Param
