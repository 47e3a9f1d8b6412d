// Record reader interface: SOD parameter records (index, sub-index, data).
#ifndef PARAM_CPARAMETERREADER_H
#define PARAM_CPARAMETERREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CParameterReader
{
public:
    virtual ~CParameterReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& index, std::uint8_t& subIndex, std::uint32_t& parameterLength,
                             const std::uint8_t*& parameter) = 0;
    virtual void Close() = 0;

protected:
    CParameterReader() = default;
    CParameterReader(const CParameterReader&) = default;
    CParameterReader& operator=(const CParameterReader&) = default;
};
} // namespace Param

#endif
