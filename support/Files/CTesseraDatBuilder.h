// Builds "tessera.dat" and "tessera.dat.chk" files, valid or with any damage the reading checks detect.
#ifndef SUPPORT_FILES_CTESSERADATBUILDER_H
#define SUPPORT_FILES_CTESSERADATBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Files/FileBytes.h"

namespace Support
{
/// A 64-byte header, the UDID section (parameter records: index 0xCC00 + SADR, sub-index, length 6, UDID) and one
/// CRC-32 per 16384-byte block of the section. Field overrides are written before the header CRC is computed, so
/// each check can be met alone; the m_spoil… options damage a CRC after the fact.
struct CTesseraDatBuilder
{
    struct CRecord
    {
        std::uint16_t m_index;
        std::uint8_t m_subIndex;
        Bytes m_data;
    };

    /// The checker's copy: the UDIDs given to AddUdid are stored complemented.
    bool m_inverted = false;
    /// Section records in file order.
    std::vector<CRecord> m_records;
    /// Raw bytes at the end of the section (a cut record, stray bytes).
    Bytes m_sectionTail;
    /// Bytes between header and section, and between section and CRCs.
    std::uint32_t m_sectionGap = 0u;
    std::uint32_t m_crcGap = 0u;

    std::optional<std::uint16_t> m_headerLength;
    std::optional<std::uint16_t> m_version;
    std::optional<std::uint32_t> m_totalLength;
    std::optional<std::uint32_t> m_sectionOffset;
    std::optional<std::uint32_t> m_sectionLength;
    std::optional<std::uint32_t> m_crcOffset;
    std::optional<std::uint32_t> m_crcCount;
    bool m_spoilHeaderCrc = false;
    /// Index of a section CRC to spoil.
    std::optional<std::uint32_t> m_spoilBlockCrc;

    /// A UDID entry at index 0xCC00 + safetyAddress (complemented in the checker's copy).
    void AddUdid(std::uint16_t safetyAddress, const Udid& udid, std::uint8_t subIndex = 1u);
    void AddRecord(std::uint16_t index, std::uint8_t subIndex, const Bytes& data);

    /// The section alone, as the header describes it.
    Bytes BuildSection() const;
    Bytes Build() const;
};
} // namespace Support

#endif
