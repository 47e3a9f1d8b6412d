// Record reader interface: UDID records with the safety address plain and the 6-byte UDID inverted.
#ifndef PARAM_CINVERTEDUDIDREADER_H
#define PARAM_CINVERTEDUDIDREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedUdidReader
{
public:
    virtual ~CInvertedUdidReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid) = 0;
    virtual void Close() = 0;

protected:
    CInvertedUdidReader() = default;
    CInvertedUdidReader(const CInvertedUdidReader&) = default;
    CInvertedUdidReader& operator=(const CInvertedUdidReader&) = default;
};
} // namespace Param

#endif
