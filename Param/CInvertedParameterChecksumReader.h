// Record reader interface: required parameter checksums with the checksum bytes inverted.
#ifndef PARAM_CINVERTEDPARAMETERCHECKSUMREADER_H
#define PARAM_CINVERTEDPARAMETERCHECKSUMREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedParameterChecksumReader
{
public:
    virtual ~CInvertedParameterChecksumReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                             const std::uint8_t*& invertedChecksum) = 0;
    virtual void Close() = 0;

protected:
    CInvertedParameterChecksumReader() = default;
    CInvertedParameterChecksumReader(const CInvertedParameterChecksumReader&) = default;
    CInvertedParameterChecksumReader& operator=(const CInvertedParameterChecksumReader&) = default;
};
} // namespace Param

#endif
