// Record reader interface: required firmware versions, all but the safety address inverted.
#ifndef PARAM_CINVERTEDFIRMWAREVERSIONREADER_H
#define PARAM_CINVERTEDFIRMWAREVERSIONREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedFirmwareVersionReader
{
public:
    virtual ~CInvertedFirmwareVersionReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& invertedVendorId,
                             std::uint32_t& invertedProductCode, std::uint16_t& invertedMajorRevision,
                             std::uint16_t& invertedMinorRevision) = 0;
    virtual void Close() = 0;

protected:
    CInvertedFirmwareVersionReader() = default;
    CInvertedFirmwareVersionReader(const CInvertedFirmwareVersionReader&) = default;
    CInvertedFirmwareVersionReader& operator=(const CInvertedFirmwareVersionReader&) = default;
};
} // namespace Param

#endif
