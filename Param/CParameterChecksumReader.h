// Record reader interface: required parameter checksums of the modules.
#ifndef PARAM_CPARAMETERCHECKSUMREADER_H
#define PARAM_CPARAMETERCHECKSUMREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CParameterChecksumReader
{
public:
    virtual ~CParameterChecksumReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                             const std::uint8_t*& checksum) = 0;
    virtual void Close() = 0;

protected:
    CParameterChecksumReader() = default;
    CParameterChecksumReader(const CParameterChecksumReader&) = default;
    CParameterChecksumReader& operator=(const CParameterChecksumReader&) = default;
};
} // namespace Param

#endif
