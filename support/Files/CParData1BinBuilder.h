// Builds "pardata1.bin" parameter data files from additional parameters, valid or with any damage the reading checks
// detect.
#ifndef SUPPORT_FILES_CPARDATA1BINBUILDER_H
#define SUPPORT_FILES_CPARDATA1BINBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/FileBytes.h"

namespace Support
{
/// A 64-byte header, the data area (additional parameters back to back, each a 16-byte header and its data) and one
/// CRC-32 per 16384-byte block of the data area. Field overrides are written before the header CRC is computed, so
/// each check can be met alone; the m_spoil… options damage a CRC after the fact.
struct CParData1BinBuilder
{
    static constexpr std::uint16_t ms_LegacyFileVersion = 0x100u;
    static constexpr std::uint16_t ms_LumoFileVersion = 0x200u;

    std::vector<CAdditionalParameterRecord> m_parameters;
    /// Raw bytes at the end of the data area (stray bytes, a cut entry).
    Bytes m_dataTail;
    std::uint16_t m_fileVersion = ms_LegacyFileVersion;
    std::uint32_t m_timestamp = 0u;
    /// Bytes between header and data area, and between data area and its CRCs.
    std::uint32_t m_dataGap = 0u;
    std::uint32_t m_crcGap = 0u;

    std::optional<std::uint16_t> m_parameterCount;
    std::optional<std::uint16_t> m_headerLength;
    std::optional<std::uint16_t> m_offset;
    std::optional<std::uint32_t> m_dataLength;
    std::optional<std::uint32_t> m_dataOffset;
    std::optional<std::uint32_t> m_crcCount;
    std::optional<std::uint32_t> m_crcOffset;
    bool m_spoilHeaderCrc = false;
    /// Index of a data CRC to spoil.
    std::optional<std::uint32_t> m_spoilBlockCrc;

    /// The data area alone.
    Bytes BuildData() const;
    Bytes Build() const;
};
} // namespace Support

#endif
