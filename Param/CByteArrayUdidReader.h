// UDID records (safety address, 6-byte UDID) read in place from a caller-owned byte buffer.
#ifndef PARAM_CBYTEARRAYUDIDREADER_H
#define PARAM_CBYTEARRAYUDIDREADER_H

#include <cstdint>

#include "Param/CUdidReader.h"

namespace Param
{
/// Reads 8-byte records: safety address uint16 (little-endian), then the 6 UDID bytes. A trailing fragment shorter
/// than one record ends the stream without error. Handed-out UDID pointers point into the caller's buffer.
class CByteArrayUdidReader : public CUdidReader
{
public:
    CByteArrayUdidReader();

    /// Refused (0xE200) while already open or when no buffer is bound. Starts at the first record.
    void Open() override;
    /// Refused (0xE200) when not open. False when fewer than 8 bytes remain. Raises 0xE2AE (info1 = SADR) for a
    /// safety address of 0 or 1024 and above.
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid) override;
    /// Refused (0xE200) when not open. The binding stays for the next Open().
    void Close() override;
    /// Binds length bytes at content. Refused (0xE200) while open or for a null content.
    virtual void Initialize(std::uint32_t length, const std::uint8_t* content);

private:
    static constexpr std::uint32_t ms_RecordLength = 8u;

    std::uint32_t m_contentLength;
    const std::uint8_t* m_content;
    std::uint32_t m_contentOffset;
    bool m_open;
};
} // namespace Param

#endif
