// Record writer interface: a sink of UDID records.
#ifndef PARAM_CUDIDWRITER_H
#define PARAM_CUDIDWRITER_H

#include <cstdint>

namespace Param
{
/// Push-style sink: Open(), WriteNext() any number of times, Close(). Invalid records raise
/// Util::CException with the implementation's code; misuse raises 0xE200.
class CUdidWriter
{
public:
    virtual ~CUdidWriter() = default;
    virtual void Open() = 0;
    virtual void WriteNext(std::uint16_t safetyAddress, const std::uint8_t* udid) = 0;
    virtual void Close() = 0;

protected:
    CUdidWriter() = default;
    CUdidWriter(const CUdidWriter&) = default;
    CUdidWriter& operator=(const CUdidWriter&) = default;
};
} // namespace Param

#endif
