// Builds "tol_para.saf" safety parameter containers.
#include "support/Files/CTolParaSafBuilder.h"

#include <algorithm>

namespace
{
constexpr std::uint32_t HeaderLength = 64u;
constexpr std::uint16_t Version = 0x200u;
constexpr std::uint32_t ScmSectionVersion = 0x101u;
constexpr std::uint32_t BlockLength = 16384u;

std::uint32_t CrcCount(std::uint32_t sectionLength)
{
    return (sectionLength + BlockLength - 1u) / BlockLength;
}
} // namespace

namespace Support
{
void CTolParaSafBuilder::PadTo(std::uint32_t totalLength)
{
    const auto sectionLength = static_cast<std::uint32_t>(m_scmSection.size());
    const std::uint32_t used = HeaderLength + m_sectionGap + sectionLength + m_crcGap + 4u * CrcCount(sectionLength);
    m_otherSection.assign(totalLength > used ? totalLength - used : 0u, 0u);
    for (std::size_t i = 0; i < m_otherSection.size(); ++i)
    {
        m_otherSection[i] = static_cast<std::uint8_t>(i * 7u);
    }
}

Bytes CTolParaSafBuilder::Build() const
{
    const auto sectionLength = static_cast<std::uint32_t>(m_scmSection.size());
    const std::uint32_t sectionOffset = HeaderLength + m_sectionGap;
    const std::uint32_t crcOffset = sectionOffset + sectionLength + m_crcGap;
    const std::uint32_t crcCount = CrcCount(sectionLength);

    Bytes bytes(crcOffset, 0u);
    std::copy(m_scmSection.begin(), m_scmSection.end(), bytes.begin() + sectionOffset);
    for (std::uint32_t block = 0u; block < crcCount; ++block)
    {
        const std::uint32_t begin = block * BlockLength;
        std::uint32_t crc = Crc32(m_scmSection, begin, std::min(BlockLength, sectionLength - begin));
        if (m_spoilBlockCrc == block)
        {
            crc ^= 0x00000001u;
        }
        AppendUInt32(bytes, crc);
    }
    const auto otherOffset = static_cast<std::uint32_t>(bytes.size());
    AppendBytes(bytes, m_otherSection.data(), m_otherSection.size());

    PutUInt16(bytes, 0u, m_headerLength.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt16(bytes, 2u, m_version.value_or(Version));
    PutUInt32(bytes, 4u, m_totalLength.value_or(static_cast<std::uint32_t>(bytes.size())));
    // The other section: offset, length, version and a marker, not examined by the checker.
    PutUInt32(bytes, 8u, otherOffset);
    PutUInt32(bytes, 12u, static_cast<std::uint32_t>(m_otherSection.size()));
    PutUInt32(bytes, 16u, 0x100u);
    PutUInt32(bytes, 20u, 0x5AFE5AFEu);
    PutUInt32(bytes, 28u, m_scmSectionOffset.value_or(sectionOffset));
    PutUInt32(bytes, 32u, m_scmSectionLength.value_or(sectionLength));
    PutUInt32(bytes, 36u, m_scmCrcOffset.value_or(crcOffset));
    PutUInt32(bytes, 40u, m_scmCrcCount.value_or(crcCount));
    PutUInt32(bytes, 44u, m_scmSectionVersion.value_or(ScmSectionVersion));
    std::uint16_t headerCrc = Crc16(bytes, 0u, 62u);
    if (m_spoilHeaderCrc)
    {
        headerCrc = static_cast<std::uint16_t>(headerCrc ^ 0x0001u);
    }
    PutUInt16(bytes, 62u, headerCrc);
    return bytes;
}
} // namespace Support
