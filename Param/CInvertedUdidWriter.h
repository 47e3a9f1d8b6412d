// Record writer interface: a sink of UDID records with the UDID inverted.
#ifndef PARAM_CINVERTEDUDIDWRITER_H
#define PARAM_CINVERTEDUDIDWRITER_H

#include <cstdint>

namespace Param
{
/// Push-style sink: Open(), WriteNext() any number of times, GetContentLength() while open, Close(). Invalid records
/// raise Util::CException with the implementation's code; misuse raises 0xE200.
class CInvertedUdidWriter
{
public:
    virtual ~CInvertedUdidWriter() = default;
    virtual void Open() = 0;
    virtual void WriteNext(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid) = 0;
    virtual void Close() = 0;
    /// Bytes written since Open().
    virtual std::uint32_t GetContentLength() = 0;

protected:
    CInvertedUdidWriter() = default;
    CInvertedUdidWriter(const CInvertedUdidWriter&) = default;
    CInvertedUdidWriter& operator=(const CInvertedUdidWriter&) = default;
};
} // namespace Param

#endif
