// Record writer interface: a sink of SOD parameter records.
#ifndef PARAM_CPARAMETERWRITER_H
#define PARAM_CPARAMETERWRITER_H

#include <cstdint>

namespace Param
{
/// Push-style sink: Open(), WriteNext() any number of times, GetContentLength() while open, Close(). Invalid records
/// raise Util::CException with the implementation's code; misuse raises 0xE200.
class CParameterWriter
{
public:
    virtual ~CParameterWriter() = default;
    virtual void Open() = 0;
    virtual void WriteNext(std::uint16_t index, std::uint8_t subIndex, std::uint32_t parameterLength,
                           const std::uint8_t* parameter) = 0;
    virtual void Close() = 0;
    /// Bytes written since Open().
    virtual std::uint32_t GetContentLength() = 0;

protected:
    CParameterWriter() = default;
    CParameterWriter(const CParameterWriter&) = default;
    CParameterWriter& operator=(const CParameterWriter&) = default;
};
} // namespace Param

#endif
