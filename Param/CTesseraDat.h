// The key-medium UDID file "tessera.dat": a header, a UDID section of parameter records and its block CRCs.
#ifndef PARAM_CTESSERADAT_H
#define PARAM_CTESSERADAT_H

#include <cstdint>

namespace Param
{
/// Validates a loaded "tessera.dat" in the caller's buffer and hands out its UDID section, in place; read only.
/// The UDID records themselves are validated as they are read (CTesseraDatUdidReader).
class CTesseraDat
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 64u;
    static constexpr std::uint16_t ms_Version = 2u;
    static constexpr std::uint32_t ms_HeaderLengthOffset = 0u;
    static constexpr std::uint32_t ms_VersionOffset = 2u;
    static constexpr std::uint32_t ms_TotalLengthOffset = 4u;
    static constexpr std::uint32_t ms_UdidSectionOffsetOffset = 8u;
    static constexpr std::uint32_t ms_UdidSectionLengthOffset = 12u;
    static constexpr std::uint32_t ms_UdidCrcOffsetOffset = 16u;
    static constexpr std::uint32_t ms_UdidCrcCountOffset = 20u;
    static constexpr std::uint32_t ms_HeaderCrcOffset = 62u;
    static constexpr std::uint32_t ms_UdidCrcBlockLengthMax = 16384u;
    static constexpr std::uint32_t ms_UdidCrcLength = 4u;

    /// The buffer is the caller's and must outlive the object; null raises 0xE200.
    CTesseraDat(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);
    virtual ~CTesseraDat() = default;
    CTesseraDat(const CTesseraDat&) = delete;
    CTesseraDat& operator=(const CTesseraDat&) = delete;

    /// Validates the first contentLength bytes of the buffer, which the caller has filled; 0 stands for an empty
    /// file with an empty UDID section. Refused (0xE200) while the section is in use. Raises the codes of
    /// CTesseraDatEventCode in the order of the header fields, the header CRC, the section layout and the block
    /// CRCs (a wrong field is reported before a wrong header CRC). A failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);

    /// Hands out the UDID section in the buffer; refused (0xE200) unless read, or while in use.
    virtual void StartReadingUdidSection(std::uint32_t& udidSectionLength, const std::uint8_t*& udidSection);
    /// Ends the use of the section.
    virtual void StopReadingUdidSection();

    /// Number of section CRCs for a section of the given length (one per started 16384-byte block).
    static std::uint32_t GetUdidCrcCount(std::uint32_t udidSectionLength);

protected:
    std::uint32_t m_contentBufferLength;
    std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    std::uint32_t m_udidSectionLength;
    std::uint8_t* m_udidSection;
    bool m_read;
    bool m_open;
};
} // namespace Param

#endif
