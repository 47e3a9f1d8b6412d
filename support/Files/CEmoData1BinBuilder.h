// Builds "emodata1.bin" extended machine option files, valid or with any damage the reading checks detect.
#ifndef SUPPORT_FILES_CEMODATA1BINBUILDER_H
#define SUPPORT_FILES_CEMODATA1BINBUILDER_H

#include <cstdint>
#include <optional>

#include "support/Files/FileBytes.h"

namespace Support
{
/// A 64-byte header (section count 4, header length 64, version 1, section 1 offset, timestamp, section layouts,
/// header CRC) followed by the sections' bytes, which the checker treats as one opaque block.
struct CEmoData1BinBuilder
{
    std::uint32_t m_timestamp = 0u;
    /// Everything after the header.
    Bytes m_body;

    std::optional<std::uint16_t> m_sectionCount;
    std::optional<std::uint16_t> m_headerLength;
    std::optional<std::uint16_t> m_version;
    bool m_spoilHeaderCrc = false;

    /// Makes the file exactly totalLength bytes long by sizing the body (at least 0 bytes).
    void PadTo(std::uint32_t totalLength);
    Bytes Build() const;
};
} // namespace Support

#endif
