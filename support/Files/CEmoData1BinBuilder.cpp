// Builds "emodata1.bin" extended machine option files.
#include "support/Files/CEmoData1BinBuilder.h"

namespace
{
constexpr std::uint32_t HeaderLength = 64u;
constexpr std::uint16_t SectionCount = 4u;
constexpr std::uint16_t Version = 1u;
} // namespace

namespace Support
{
void CEmoData1BinBuilder::PadTo(std::uint32_t totalLength)
{
    m_body.assign(totalLength > HeaderLength ? totalLength - HeaderLength : 0u, 0u);
    for (std::size_t i = 0; i < m_body.size(); ++i)
    {
        m_body[i] = static_cast<std::uint8_t>(i * 13u + 1u);
    }
}

Bytes CEmoData1BinBuilder::Build() const
{
    Bytes bytes(HeaderLength, 0u);
    AppendBytes(bytes, m_body.data(), m_body.size());
    PutUInt16(bytes, 0u, m_sectionCount.value_or(SectionCount));
    PutUInt16(bytes, 2u, m_headerLength.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt16(bytes, 4u, m_version.value_or(Version));
    PutUInt16(bytes, 6u, static_cast<std::uint16_t>(HeaderLength));
    PutUInt32(bytes, 8u, m_timestamp);
    // Four section layouts (offset, length), back to back over the body; not examined by the checker.
    const auto quarter = static_cast<std::uint32_t>(m_body.size() / 4u);
    for (std::uint32_t section = 0u; section < 4u; ++section)
    {
        PutUInt32(bytes, 12u + 8u * section, HeaderLength + section * quarter);
        PutUInt32(bytes, 16u + 8u * section,
                  section < 3u ? quarter : static_cast<std::uint32_t>(m_body.size()) - 3u * quarter);
    }
    std::uint32_t headerCrc = Crc32(bytes, 0u, 60u);
    if (m_spoilHeaderCrc)
    {
        headerCrc ^= 0x80000000u;
    }
    PutUInt32(bytes, 60u, headerCrc);
    return bytes;
}
} // namespace Support
