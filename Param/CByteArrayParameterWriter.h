// SOD parameter records (index, sub-index, length, data) written into a caller-owned byte buffer.
#ifndef PARAM_CBYTEARRAYPARAMETERWRITER_H
#define PARAM_CBYTEARRAYPARAMETERWRITER_H

#include <cstdint>

#include "Param/CParameterWriter.h"

namespace Param
{
/// Writes records of 7 + n bytes in the layout of CByteArrayParameterReader, in the order given; no ordering of
/// indices is enforced.
class CByteArrayParameterWriter : public CParameterWriter
{
public:
    CByteArrayParameterWriter();

    /// Refused (0xE200) while already open or when no buffer is bound. Starts writing at the buffer start.
    void Open() override;
    /// Refused (0xE200) when not open or for a null parameter. Raises 0xE2B1 (info0 = write position, low 16 bits;
    /// info1 = buffer length) when the record does not fit; nothing is written then.
    void WriteNext(std::uint16_t index, std::uint8_t subIndex, std::uint32_t parameterLength,
                   const std::uint8_t* parameter) override;
    /// Refused (0xE200) when not open. The binding stays for the next Open().
    void Close() override;
    /// The write position: bytes written since Open(). Refused (0xE200) when not open.
    std::uint32_t GetContentLength() override;
    /// Binds a buffer of length bytes. Refused (0xE200) while open or for a null buffer.
    virtual void Initialize(std::uint32_t length, std::uint8_t* buffer);

private:
    static constexpr std::uint32_t ms_RecordHeadLength = 7u;

    std::uint32_t m_contentBufferLength;
    std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentOffset;
    bool m_open;
};
} // namespace Param

#endif
