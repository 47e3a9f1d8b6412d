// Minor revision records (safety address, minor revision) written into a caller-owned byte buffer.
#ifndef PARAM_CBYTEARRAYMINORREVISIONWRITER_H
#define PARAM_CBYTEARRAYMINORREVISIONWRITER_H

#include <cstdint>

#include "Param/CMinorRevisionWriter.h"

namespace Param
{
/// Writes 4-byte records in the layout of CByteArrayMinorRevisionReader, in the order given.
class CByteArrayMinorRevisionWriter : public CMinorRevisionWriter
{
public:
    CByteArrayMinorRevisionWriter();

    /// Refused (0xE200) while already open or when no buffer is bound. Starts writing at the buffer start.
    void Open() override;
    /// Refused (0xE200) when not open. Raises 0xE2B1 (info0 = write position, low 16 bits; info1 = buffer length)
    /// when the record does not fit, then 0xE2B2 (info1 = SADR) for a safety address of 0 or 1024 and above; the
    /// room is checked first. Nothing is written on a refusal.
    void WriteNext(std::uint16_t safetyAddress, std::uint16_t minorRevision) override;
    /// Refused (0xE200) when not open. The binding stays for the next Open().
    void Close() override;
    /// The write position: bytes written since Open(). Refused (0xE200) when not open.
    std::uint32_t GetContentLength() override;
    /// Binds a buffer of length bytes. Refused (0xE200) while open or for a null buffer.
    virtual void Initialize(std::uint32_t length, std::uint8_t* buffer);

private:
    static constexpr std::uint32_t ms_RecordLength = 4u;

    std::uint32_t m_contentBufferLength;
    std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentOffset;
    bool m_open;
};
} // namespace Param

#endif
