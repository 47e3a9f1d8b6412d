// SOD parameter records (index, sub-index, length, data) read in place from a caller-owned byte buffer.
#ifndef PARAM_CBYTEARRAYPARAMETERREADER_H
#define PARAM_CBYTEARRAYPARAMETERREADER_H

#include <cstdint>

#include "Param/CParameterReader.h"

namespace Param
{
/// Reads records of 7 + n bytes: index uint16, sub-index uint8, length uint32 (little-endian), then n data bytes.
/// The buffer is the caller's; handed-out data pointers point into it.
class CByteArrayParameterReader : public CParameterReader
{
public:
    CByteArrayParameterReader();

    /// Refused (0xE200) while already open or when no buffer is bound. Starts at the first record.
    void Open() override;
    /// Refused (0xE200) when not open. False when the position is at the end. Raises 0xE2AA (info1 = position of
    /// the record) when the stream ends inside a record head, 0xE2AC (info0 = position after the head, low 16 bits;
    /// info1 = declared length) when the data runs past the end of the buffer.
    bool TryReadNext(std::uint16_t& index, std::uint8_t& subIndex, std::uint32_t& parameterLength,
                     const std::uint8_t*& parameter) override;
    /// Refused (0xE200) when not open. The binding stays for the next Open().
    void Close() override;
    /// Binds length bytes at content. Refused (0xE200) while open or for a null content.
    virtual void Initialize(std::uint32_t length, const std::uint8_t* content);

private:
    static constexpr std::uint32_t ms_RecordHeadLength = 7u;

    std::uint32_t m_contentLength;
    const std::uint8_t* m_content;
    std::uint32_t m_contentOffset;
    bool m_open;
};
} // namespace Param

#endif
