// The safety parameter container "tol_para.saf": validation of a loaded file and access to its SCM section.
#include "Param/CTolParaSaf.h"

#include "Param/CTolParaSafEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTolParaSaf.cpp");

constexpr std::uint32_t HeaderLengthOffset = 0u;
constexpr std::uint32_t VersionOffset = 2u;
constexpr std::uint32_t TotalLengthOffset = 4u;
constexpr std::uint32_t ScmSectionLengthOffset = 32u;
constexpr std::uint32_t ScmCrcOffsetOffset = 36u;
constexpr std::uint32_t ScmCrcCountOffset = 40u;
constexpr std::uint32_t ScmSectionVersionOffset = 44u;
constexpr std::uint32_t HeaderCrcOffset = 62u;
} // namespace

namespace Param
{
CTolParaSaf::CTolParaSaf(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer)
    : m_contentBufferLength(contentBufferLength), m_contentBuffer(contentBuffer), m_contentLength(0u),
      m_scmSectionLength(0u), m_scmSection(contentBuffer), m_read(false), m_open(false)
{
    SCM_GUARD(contentBuffer != nullptr);
}

void CTolParaSaf::ReadContent(std::uint32_t contentLength)
{
    SCM_GUARD(!m_open);
    m_read = false;
    m_contentLength = 0u;
    m_scmSectionLength = 0u;
    m_scmSection = m_contentBuffer;
    if (contentLength > m_contentBufferLength)
    {
        throw Util::CException(CTolParaSafEventCode::BufferTooShort, static_cast<std::uint16_t>(m_contentBufferLength),
                               contentLength);
    }
    m_contentLength = contentLength;
    if (contentLength != 0u)
    {
        ReadHeader();
        CheckScmSectionCrcs();
    }
    m_read = true;
}

void CTolParaSaf::ReadHeader()
{
    if (m_contentLength < ms_HeaderLength)
    {
        throw Util::CException(CTolParaSafEventCode::BufferTooShort, m_contentLength);
    }
    const std::uint16_t headerLength = Util::GetLittleEndianUInt16(m_contentBuffer, HeaderLengthOffset);
    if (headerLength != ms_HeaderLength)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidHeaderLength, headerLength);
    }
    const std::uint16_t version = Util::GetLittleEndianUInt16(m_contentBuffer, VersionOffset);
    if (version != ms_Version)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidVersion, version);
    }
    const std::uint32_t totalLength = Util::GetLittleEndianUInt32(m_contentBuffer, TotalLengthOffset);
    if (totalLength != m_contentLength)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidTotalLength, totalLength);
    }
    const std::uint32_t sectionOffset = Util::GetLittleEndianUInt32(m_contentBuffer, ms_ScmSectionOffsetOffset);
    const std::uint32_t sectionLength = Util::GetLittleEndianUInt32(m_contentBuffer, ScmSectionLengthOffset);
    const std::uint32_t crcOffset = Util::GetLittleEndianUInt32(m_contentBuffer, ScmCrcOffsetOffset);
    const std::uint32_t crcCount = Util::GetLittleEndianUInt32(m_contentBuffer, ScmCrcCountOffset);
    const std::uint32_t sectionVersion = Util::GetLittleEndianUInt32(m_contentBuffer, ScmSectionVersionOffset);
    // The fields are checked before the header CRC, so a wrong version is reported as such even when the CRC is
    // wrong as well.
    if (sectionVersion != ms_ScmSectionVersion)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmSectionVersion, sectionVersion);
    }
    const std::uint16_t storedHeaderCrc = Util::GetLittleEndianUInt16(m_contentBuffer, HeaderCrcOffset);
    if (storedHeaderCrc != GetCrc16_0x1755B(HeaderCrcOffset, m_contentBuffer))
    {
        throw Util::CException(CTolParaSafEventCode::InvalidHeaderCrc, storedHeaderCrc);
    }
    // Bounds in 64 bits against the content: offsets and lengths near 2^32 must not wrap around into range, and
    // a section or CRC table that lies past the file's end, even inside the buffer, would be checked against bytes
    // that are not part of the file (a zeroed tail even carries a matching CRC of 0).
    const std::uint64_t sectionEnd = static_cast<std::uint64_t>(sectionOffset) + sectionLength;
    if (sectionOffset < ms_HeaderLength)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmSectionOffset, sectionOffset);
    }
    if (sectionEnd > m_contentLength)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmSectionLength, sectionLength);
    }
    if (crcOffset < sectionEnd)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmCrcOffset, crcOffset);
    }
    const std::uint32_t blockCount =
        static_cast<std::uint32_t>((static_cast<std::uint64_t>(sectionLength) + ms_ParameterCrcBlockLengthMax - 1u) /
                                   ms_ParameterCrcBlockLengthMax);
    if (crcCount != blockCount)
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmCrcCount, crcCount);
    }
    if (static_cast<std::uint64_t>(crcOffset) + static_cast<std::uint64_t>(ms_ParameterCrcLength) * crcCount >
        m_contentLength + SCM_PLANTED_FAULT_ON(TolParaSafCrcTable))
    {
        throw Util::CException(CTolParaSafEventCode::InvalidScmCrcLength, crcCount);
    }
    m_scmSection = m_contentBuffer + sectionOffset;
    m_scmSectionLength = sectionLength;
}

void CTolParaSaf::CheckScmSectionCrcs() const
{
    const std::uint8_t* const crcs = m_contentBuffer + Util::GetLittleEndianUInt32(m_contentBuffer, ScmCrcOffsetOffset);
    std::uint32_t remaining = m_scmSectionLength;
    for (std::uint32_t block = 0u; remaining != 0u; ++block)
    {
        const std::uint32_t blockLength =
            (remaining < ms_ParameterCrcBlockLengthMax) ? remaining : ms_ParameterCrcBlockLengthMax;
        const std::uint32_t computed =
            GetCrc32_0x11EDC6F41(blockLength, m_scmSection + block * ms_ParameterCrcBlockLengthMax, 0u);
        if (Util::GetLittleEndianUInt32(crcs, block * ms_ParameterCrcLength) != computed)
        {
            throw Util::CException(CTolParaSafEventCode::InvalidScmCrc, computed);
        }
        remaining -= blockLength;
    }
}

void CTolParaSaf::StartReadingScmSection(std::uint32_t& scmSectionLength, const std::uint8_t*& scmSection)
{
    SCM_GUARD(m_read);
    SCM_GUARD(!m_open);
    scmSectionLength = m_scmSectionLength;
    scmSection = m_scmSection;
    m_open = true;
}

void CTolParaSaf::StopReadingScmSection()
{
    SCM_GUARD(m_open);
    m_open = false;
}
} // namespace Param
