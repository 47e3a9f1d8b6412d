// Record reader interface: required firmware versions of the modules.
#ifndef PARAM_CFIRMWAREVERSIONREADER_H
#define PARAM_CFIRMWAREVERSIONREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CFirmwareVersionReader
{
public:
    virtual ~CFirmwareVersionReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& vendorId, std::uint32_t& productCode,
                             std::uint16_t& majorRevision, std::uint16_t& minorRevision) = 0;
    virtual void Close() = 0;

protected:
    CFirmwareVersionReader() = default;
    CFirmwareVersionReader(const CFirmwareVersionReader&) = default;
    CFirmwareVersionReader& operator=(const CFirmwareVersionReader&) = default;
};
} // namespace Param

#endif
