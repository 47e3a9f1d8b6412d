// Record reader interface: the safety addresses of the required modules.
#ifndef PARAM_CSAFETYADDRESSREADER_H
#define PARAM_CSAFETYADDRESSREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CSafetyAddressReader
{
public:
    virtual ~CSafetyAddressReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress) = 0;
    virtual void Close() = 0;

protected:
    CSafetyAddressReader() = default;
    CSafetyAddressReader(const CSafetyAddressReader&) = default;
    CSafetyAddressReader& operator=(const CSafetyAddressReader&) = default;
};
} // namespace Param

#endif
