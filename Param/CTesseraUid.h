// The key-medium identity file "tessera.uid": a Kel UDID and a 64-bit timestamp under a version.
#ifndef PARAM_CTESSERAUID_H
#define PARAM_CTESSERAUID_H

#include <cstdint>

namespace Param
{
/// Validates a loaded "tessera.uid" (or a record of the same 18-byte format from the safety controller) in the
/// caller's buffer and exposes its values; read only.
class CTesseraUid
{
public:
    static constexpr std::uint32_t ms_Version = 0x100u;
    static constexpr std::uint32_t ms_VersionOffset = 0u;
    static constexpr std::uint32_t ms_KelUdidOffset = 4u;
    static constexpr std::uint32_t ms_TimestampOffset = 10u;
    /// Length of a complete record; bytes after it are ignored.
    static constexpr std::uint32_t ms_ContentLength = 18u;

    /// The buffer is the caller's and must outlive the object; null raises 0xE200.
    CTesseraUid(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);
    virtual ~CTesseraUid() = default;
    CTesseraUid(const CTesseraUid&) = delete;
    CTesseraUid& operator=(const CTesseraUid&) = delete;

    /// Validates the first contentLength bytes of the buffer; 0 stands for an empty file (all-zero UDID,
    /// timestamp 0). Raises CTesseraUidEventCode::BufferTooShort for a content longer than the buffer
    /// (information0 = capacity, low 16 bits, information1 = content length) or of 1..17 bytes (information1 =
    /// content length), InvalidVersion (information1 = the version found). A failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);

    // Refused (0xE200) before a successful read.
    std::uint32_t GetContentLength() const;
    /// 6 bytes, valid as long as the buffer content is unchanged.
    const std::uint8_t* GetKelUdid() const;
    std::uint64_t GetTimestamp() const;

protected:
    virtual void InitializeWithEmptyContent();
    /// Takes the Kel UDID at offset and advances offset past it.
    virtual void ReadKelUdid(std::uint32_t& offset);
    /// Takes the timestamp at offset and advances offset past it.
    virtual void ReadTimestamp(std::uint32_t& offset);

    std::uint32_t m_contentBufferLength;
    std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    const std::uint8_t* m_kelUdid;
    std::uint64_t m_timestamp;
    bool m_read;
};
} // namespace Param

#endif
