// The checker's inverted copy "tessera.uid.chk" of the key-medium identity file.
#ifndef PARAM_CTESSERAUIDCHK_H
#define PARAM_CTESSERAUIDCHK_H

#include <cstdint>

#include "Param/CTesseraUid.h"

namespace Param
{
/// "tessera.uid.chk": the format of "tessera.uid" with the Kel UDID and the timestamp stored complemented. Keeps
/// the inverted values in members, lets them be changed and rebuilds the 18-byte file in the caller's buffer.
class CTesseraUidChk : public CTesseraUid
{
public:
    /// A buffer shorter than 18 bytes raises CTesseraUidEventCode::BufferTooShort (information1 = capacity); null
    /// raises 0xE200. The inverted values start as the complements of zero.
    CTesseraUidChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);

    // Refused (0xE200) before a successful read.
    const std::uint8_t* GetInvertedKelUdid() const;
    std::uint64_t GetInvertedTimestamp() const;

    /// Copies 6 bytes; refused (0xE200) before a read or for a null pointer.
    void SetInvertedKelUdid(const std::uint8_t* invertedKelUdid);
    /// Refused (0xE200) before a read.
    void SetInvertedTimestamp(std::uint64_t invertedTimestamp);

    /// Rebuilds the file (version, inverted Kel UDID, inverted timestamp; 18 bytes) unless it was written and
    /// nothing changed since. Refused (0xE200) before a read.
    void WriteContent();

    /// Length of the content last read or written; no read guard.
    std::uint32_t GetContentLength() const;

protected:
    void InitializeWithEmptyContent() override;
    void ReadKelUdid(std::uint32_t& offset) override;
    void ReadTimestamp(std::uint32_t& offset) override;

private:
    std::uint8_t m_invertedKelUdid[6];
    std::uint64_t m_invertedTimestamp;
    bool m_written;
};
} // namespace Param

#endif
