// The parameter data file "pardata1.bin": validation of a loaded file and access to its data area.
#ifndef PARAM_CPARDATA1BIN_H
#define PARAM_CPARDATA1BIN_H

#include <cstdint>

namespace Param
{
/// Works in place on the caller's buffer (not owned). A 64-byte header locates the data area (additional parameters
/// back to back, each a 16-byte header and its data) and one CRC-32 per 16384-byte block of it. The entries are
/// validated only as they are read (CParData1BinAdditionalParameterHeaderReader). Every refusal of the file is
/// 0xE2A8 with a CParData1BinOtherReasonInformation0 reason in information0.
class CParData1Bin
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 64u;
    static constexpr std::uint16_t ms_LegacyFileVersion = 0x100u;
    static constexpr std::uint16_t ms_LumoFileVersion = 0x200u;
    static constexpr std::uint16_t ms_LumoBlobSafetyAddressStart = 2000u;
    static constexpr std::uint32_t ms_HeaderCrcLength = 4u;
    static constexpr std::uint32_t ms_ParameterCrcBlockLengthMax = 16384u;
    static constexpr std::uint32_t ms_ParameterCrcLength = 4u;

    /// A null buffer raises 0xE200.
    CParData1Bin(std::uint32_t contentBufferLength, const std::uint8_t* contentBuffer);

    /// Validates the first contentLength bytes of the buffer (filled by the caller); 0 stands for an empty file
    /// (version 0x100, no entries, timestamp 0). Refused (0xE200) while the data area is being read. Reasons, in the
    /// order checked: 1 content beyond the buffer or shorter than the header, 2 header length, 3 version, 4 offset,
    /// 10 header CRC (stored value), 5 data offset, 6 data length, 7 CRC offset, 8 CRC count, 9 CRC length, 11 data
    /// CRC (computed value). A failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);
    /// Refused (0xE200) before a successful read.
    std::uint32_t GetTimestamp() const;
    /// Hands out the file version, the parameter count of the header and the data area. Refused (0xE200) before a
    /// successful read or while already reading.
    void StartReadingData(std::uint16_t& fileVersion, std::uint32_t& parameterCount, std::uint32_t& dataLength,
                          const std::uint8_t*& data);
    /// Refused (0xE200) when the data area is not being read.
    void StopReadingData();

private:
    void ReadHeader(std::uint32_t& crcOffset);
    void CheckDataCrcs(std::uint32_t crcOffset) const;

    std::uint32_t m_contentBufferLength;
    const std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    std::uint16_t m_fileVersion;
    std::uint16_t m_parameterCount;
    std::uint32_t m_dataLength;
    const std::uint8_t* m_data;
    std::uint32_t m_timestamp;
    bool m_read;
    bool m_open;
};
} // namespace Param

#endif
