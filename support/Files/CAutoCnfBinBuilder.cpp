// Builds "autocnf.bin" files, valid or with any damage the reading checks detect.
#include "support/Files/CAutoCnfBinBuilder.h"

namespace
{
constexpr std::uint32_t HeaderLength = 64u;
} // namespace

namespace Support
{
void CAutoCnfBinBuilder::AddUdid(std::uint16_t safetyAddress, const Udid& udid)
{
    m_hasUdidSection = true;
    m_udids.push_back({safetyAddress, udid});
}

Bytes CAutoCnfBinBuilder::BuildUdidSection() const
{
    Bytes section;
    if (!m_hasUdidSection)
    {
        return section;
    }
    AppendUInt16(section, m_moduleCount.value_or(static_cast<std::uint16_t>(m_udids.size())));
    AppendUInt16(section, m_entryLength.value_or(8u));
    AppendUInt16(section, m_udidVersion.value_or(0x300u));
    AppendUInt16(section, m_entryOffset.value_or(8u));
    for (const CUdidEntry& entry : m_udids)
    {
        AppendUInt16(section, entry.m_safetyAddress);
        AppendBytes(section, entry.m_udid.data(), entry.m_udid.size());
    }
    if (!m_omitUdidSectionCrc)
    {
        std::uint32_t crc = Crc32(section, 0u, section.size());
        if (m_spoilUdidSectionCrc)
        {
            crc ^= 0x00000100u;
        }
        AppendUInt32(section, crc);
    }
    AppendBytes(section, m_udidSectionPadding.data(), m_udidSectionPadding.size());
    return section;
}

Bytes CAutoCnfBinBuilder::Build() const
{
    Bytes bytes(HeaderLength, 0u);
    const Bytes udidSection = BuildUdidSection();
    const auto udidOffset = static_cast<std::uint32_t>(bytes.size());
    AppendBytes(bytes, udidSection.data(), udidSection.size());
    const auto machineOptionOffset = static_cast<std::uint32_t>(bytes.size());
    if (m_machineOptions)
    {
        AppendBytes(bytes, m_machineOptions->data(), m_machineOptions->size());
    }
    const auto moduleFlagOffset = static_cast<std::uint32_t>(bytes.size());
    if (m_moduleFlags)
    {
        AppendBytes(bytes, m_moduleFlags->data(), m_moduleFlags->size());
    }

    const auto udidLength = static_cast<std::uint32_t>(udidSection.size());
    const auto machineOptionLength = static_cast<std::uint32_t>(m_machineOptions ? m_machineOptions->size() : 0u);
    const auto moduleFlagLength = static_cast<std::uint32_t>(m_moduleFlags ? m_moduleFlags->size() : 0u);
    PutUInt16(bytes, 0u, m_sectionCount.value_or(3u));
    PutUInt16(bytes, 2u, m_headerLength.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt16(bytes, 4u, m_version.value_or(0x400u));
    PutUInt16(bytes, 6u, m_udidInformationOffset.value_or(8u));
    PutUInt32(bytes, 8u, m_timestamp);
    PutUInt32(bytes, 12u, m_udidSectionLength.value_or(udidLength));
    PutUInt32(bytes, 16u, m_udidSectionOffset.value_or(udidLength != 0u ? udidOffset : 0u));
    PutUInt32(bytes, 20u, m_machineOptionLength.value_or(machineOptionLength));
    PutUInt32(bytes, 24u, m_machineOptionOffset.value_or(machineOptionLength != 0u ? machineOptionOffset : 0u));
    PutUInt32(bytes, 28u, m_moduleFlagLength.value_or(moduleFlagLength));
    PutUInt32(bytes, 32u, m_moduleFlagOffset.value_or(moduleFlagLength != 0u ? moduleFlagOffset : 0u));
    std::uint32_t headerCrc = Crc32(bytes, 0u, 60u);
    if (m_spoilHeaderCrc)
    {
        headerCrc ^= 0x01000000u;
    }
    PutUInt32(bytes, 60u, headerCrc);
    if (!m_omitFileCrc)
    {
        std::uint32_t fileCrc = Crc32(bytes, 0u, bytes.size());
        if (m_spoilFileCrc)
        {
            fileCrc ^= 0x00008000u;
        }
        AppendUInt32(bytes, fileCrc);
    }
    return bytes;
}
} // namespace Support
