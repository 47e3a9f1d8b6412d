// Builds "tessera.dat" and "tessera.dat.chk" files, valid or with any damage the reading checks detect.
#include "support/Files/CTesseraDatBuilder.h"

#include <algorithm>

namespace
{
constexpr std::uint32_t HeaderLength = 64u;
constexpr std::uint32_t BlockLength = 16384u;
constexpr std::uint16_t UdidIndexBase = 0xCC00u;
} // namespace

namespace Support
{
void CTesseraDatBuilder::AddUdid(std::uint16_t safetyAddress, const Udid& udid, std::uint8_t subIndex)
{
    const Udid stored = m_inverted ? Complemented(udid) : udid;
    AddRecord(static_cast<std::uint16_t>(UdidIndexBase + safetyAddress), subIndex, Bytes(stored.begin(), stored.end()));
}

void CTesseraDatBuilder::AddRecord(std::uint16_t index, std::uint8_t subIndex, const Bytes& data)
{
    m_records.push_back({index, subIndex, data});
}

Bytes CTesseraDatBuilder::BuildSection() const
{
    Bytes section;
    for (const CRecord& record : m_records)
    {
        AppendUInt16(section, record.m_index);
        section.push_back(record.m_subIndex);
        AppendUInt32(section, static_cast<std::uint32_t>(record.m_data.size()));
        AppendBytes(section, record.m_data.data(), record.m_data.size());
    }
    AppendBytes(section, m_sectionTail.data(), m_sectionTail.size());
    return section;
}

Bytes CTesseraDatBuilder::Build() const
{
    const Bytes section = BuildSection();
    const auto sectionLength = static_cast<std::uint32_t>(section.size());
    const std::uint32_t sectionOffset = HeaderLength + m_sectionGap;
    const std::uint32_t crcOffset = sectionOffset + sectionLength + m_crcGap;
    const std::uint32_t crcCount = (sectionLength + BlockLength - 1u) / BlockLength;

    Bytes bytes(crcOffset, 0u);
    std::copy(section.begin(), section.end(), bytes.begin() + sectionOffset);
    for (std::uint32_t block = 0u; block < crcCount; ++block)
    {
        const std::uint32_t begin = block * BlockLength;
        const std::uint32_t length = std::min(BlockLength, sectionLength - begin);
        std::uint32_t crc = Crc32(section, begin, length);
        if (m_spoilBlockCrc == block)
        {
            crc ^= 0x00010000u;
        }
        AppendUInt32(bytes, crc);
    }

    PutUInt16(bytes, 0u, m_headerLength.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt16(bytes, 2u, m_version.value_or(2u));
    PutUInt32(bytes, 4u, m_totalLength.value_or(static_cast<std::uint32_t>(bytes.size())));
    PutUInt32(bytes, 8u, m_sectionOffset.value_or(sectionOffset));
    PutUInt32(bytes, 12u, m_sectionLength.value_or(sectionLength));
    PutUInt32(bytes, 16u, m_crcOffset.value_or(crcOffset));
    PutUInt32(bytes, 20u, m_crcCount.value_or(crcCount));
    std::uint16_t headerCrc = Crc16(bytes, 0u, 62u);
    if (m_spoilHeaderCrc)
    {
        headerCrc = static_cast<std::uint16_t>(headerCrc ^ 0x0100u);
    }
    PutUInt16(bytes, 62u, headerCrc);
    return bytes;
}
} // namespace Support
