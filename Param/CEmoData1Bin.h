// The extended machine options file "emodata1.bin": validation of its header; the content is one opaque block.
#ifndef PARAM_CEMODATA1BIN_H
#define PARAM_CEMODATA1BIN_H

#include <cstdint>

namespace Param
{
/// Works in place on the caller's buffer (not owned). Only the 64-byte header is examined. Every refusal is 0xE2A9
/// with a CEmoData1BinOtherReasonInformation0 reason in information0.
class CEmoData1Bin
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 64u;
    static constexpr std::uint16_t ms_SectionCount = 4u;
    static constexpr std::uint16_t ms_Version = 1u;
    static constexpr std::uint32_t ms_TimestampOffset = 8u;
    static constexpr std::uint32_t ms_HeaderCrcLength = 4u;
    /// GetRawContent hands out the length as a uint16, so a longer content is refused rather than cut.
    static constexpr std::uint32_t ms_ContentLengthMax = 0xFFFFu;

    /// A null buffer raises 0xE200.
    CEmoData1Bin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer);

    /// Validates the first contentLength bytes of the buffer (filled by the caller); 0 stands for an empty file
    /// (timestamp 0, no content). Reasons, in the order checked: 1 content beyond the buffer, of 1..63 bytes or of
    /// 65536 bytes or more (info1 = content length), 3 section count, 2 header length, 4 version (info1 = value found),
    /// 5 header CRC (info1 = computed CRC). A failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);
    /// Each refused (0xE200) before a successful read.
    std::uint32_t GetTimestamp() const;
    bool HasContent() const;
    /// The whole content, header included, from the buffer start.
    void GetRawContent(std::uint16_t& contentLength, const std::uint8_t*& content) const;

private:
    void ReadHeader();

    std::uint32_t m_contentBufferLength;
    const std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    std::uint32_t m_timestamp;
    bool m_read;
};
} // namespace Param

#endif
