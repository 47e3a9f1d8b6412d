// Record reader interface: 16-byte additional-parameter headers, the header bytes inverted (safety address and number
// plain).
#ifndef PARAM_CINVERTEDADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CINVERTEDADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedAdditionalParameterHeaderReader
{
public:
    virtual ~CInvertedAdditionalParameterHeaderReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                             const std::uint8_t*& invertedHeader) = 0;
    virtual void Close() = 0;

protected:
    CInvertedAdditionalParameterHeaderReader() = default;
    CInvertedAdditionalParameterHeaderReader(const CInvertedAdditionalParameterHeaderReader&) = default;
    CInvertedAdditionalParameterHeaderReader& operator=(const CInvertedAdditionalParameterHeaderReader&) = default;
};
} // namespace Param

#endif
