// Builds "autocnf.bin" files, valid or with any damage the reading checks detect.
#ifndef SUPPORT_FILES_CAUTOCNFBINBUILDER_H
#define SUPPORT_FILES_CAUTOCNFBINBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Files/FileBytes.h"

namespace Support
{
/// A 64-byte header with timestamp and section table, then back to back the UDID section (count, entry length 8,
/// version 0x300, entry offset 8, n × (SADR, UDID), section CRC), the 76 bytes of machine options and the 396
/// bytes of module flags, each optional, and the file CRC. Field overrides are written before the CRCs are
/// computed; the m_spoil… and m_omit… options damage or leave out a CRC.
struct CAutoCnfBinBuilder
{
    struct CUdidEntry
    {
        std::uint16_t m_safetyAddress;
        Udid m_udid;
    };

    std::uint32_t m_timestamp = 0u;
    /// The UDID section is written when set (AddUdid sets it); it may have no entries.
    bool m_hasUdidSection = false;
    std::vector<CUdidEntry> m_udids;
    /// Bytes inside the UDID section after its CRC (counted in its length).
    Bytes m_udidSectionPadding;
    std::optional<Bytes> m_machineOptions;
    std::optional<Bytes> m_moduleFlags;

    std::optional<std::uint16_t> m_sectionCount;
    std::optional<std::uint16_t> m_headerLength;
    std::optional<std::uint16_t> m_version;
    std::optional<std::uint16_t> m_udidInformationOffset;
    std::optional<std::uint32_t> m_udidSectionLength;
    std::optional<std::uint32_t> m_udidSectionOffset;
    std::optional<std::uint32_t> m_machineOptionLength;
    std::optional<std::uint32_t> m_machineOptionOffset;
    std::optional<std::uint32_t> m_moduleFlagLength;
    std::optional<std::uint32_t> m_moduleFlagOffset;
    std::optional<std::uint16_t> m_moduleCount;
    std::optional<std::uint16_t> m_entryLength;
    std::optional<std::uint16_t> m_udidVersion;
    std::optional<std::uint16_t> m_entryOffset;
    bool m_spoilUdidSectionCrc = false;
    /// The UDID section ends before its CRC (its length shrinks by 4).
    bool m_omitUdidSectionCrc = false;
    bool m_spoilHeaderCrc = false;
    bool m_spoilFileCrc = false;
    bool m_omitFileCrc = false;

    void AddUdid(std::uint16_t safetyAddress, const Udid& udid);
    /// The UDID section alone.
    Bytes BuildUdidSection() const;
    Bytes Build() const;
};
} // namespace Support

#endif
