// Builds "tol_para.saf" safety parameter containers around an SCM section, valid or with any damage the reading
// checks detect.
#ifndef SUPPORT_FILES_CTOLPARASAFBUILDER_H
#define SUPPORT_FILES_CTOLPARASAFBUILDER_H

#include <cstdint>
#include <optional>

#include "support/Files/FileBytes.h"

namespace Support
{
/// A 64-byte header, the SCM section (a parameter stream, see CParameterStreamBuilder), one CRC-32 per 16384-byte
/// block of the section, then the other section's bytes. Field overrides are written before the header CRC is
/// computed, so each check can be met alone; the m_spoil… options damage a CRC after the fact.
struct CTolParaSafBuilder
{
    /// The SCM section's bytes.
    Bytes m_scmSection;
    /// Bytes of the other section, after the SCM CRCs; header bytes 8..27 describe them.
    Bytes m_otherSection;
    /// Bytes between header and SCM section, and between section and its CRCs.
    std::uint32_t m_sectionGap = 0u;
    std::uint32_t m_crcGap = 0u;

    std::optional<std::uint16_t> m_headerLength;
    std::optional<std::uint16_t> m_version;
    std::optional<std::uint32_t> m_totalLength;
    std::optional<std::uint32_t> m_scmSectionOffset;
    std::optional<std::uint32_t> m_scmSectionLength;
    std::optional<std::uint32_t> m_scmCrcOffset;
    std::optional<std::uint32_t> m_scmCrcCount;
    std::optional<std::uint32_t> m_scmSectionVersion;
    bool m_spoilHeaderCrc = false;
    /// Index of an SCM section CRC to spoil.
    std::optional<std::uint32_t> m_spoilBlockCrc;

    /// Makes the file exactly totalLength bytes long by sizing the other section (at least 0 bytes).
    void PadTo(std::uint32_t totalLength);
    Bytes Build() const;
};
} // namespace Support

#endif
