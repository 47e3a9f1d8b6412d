// Record reader interface: UDID records (safety address, 6-byte UDID).
#ifndef PARAM_CUDIDREADER_H
#define PARAM_CUDIDREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CUdidReader
{
public:
    virtual ~CUdidReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid) = 0;
    virtual void Close() = 0;

protected:
    CUdidReader() = default;
    CUdidReader(const CUdidReader&) = default;
    CUdidReader& operator=(const CUdidReader&) = default;
};
} // namespace Param

#endif
