// Builds "tessera.uid" and "tessera.uid.chk" files (and the controller's signature record) for tests and peers.
#ifndef SUPPORT_FILES_CTESSERAUIDBUILDER_H
#define SUPPORT_FILES_CTESSERAUIDBUILDER_H

#include <cstdint>

#include "support/Files/FileBytes.h"

namespace Support
{
/// 18 bytes: version 0x100, Kel UDID, 64-bit timestamp; the check copy stores UDID and timestamp complemented.
struct CTesseraUidBuilder
{
    Udid m_kelUdid{};
    std::uint64_t m_timestamp = 0u;
    /// The checker's copy: UDID and timestamp complemented, version plain.
    bool m_inverted = false;
    std::uint32_t m_version = 0x100u;
    /// Bytes after the 18 of the record (ignored by readers).
    Bytes m_trailer;

    Bytes Build() const;
};
} // namespace Support

#endif
