// Record reader interface: minor firmware revision records with the revision inverted.
#ifndef PARAM_CINVERTEDMINORREVISIONREADER_H
#define PARAM_CINVERTEDMINORREVISIONREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedMinorRevisionReader
{
public:
    virtual ~CInvertedMinorRevisionReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& invertedMinorRevision) = 0;
    virtual void Close() = 0;

protected:
    CInvertedMinorRevisionReader() = default;
    CInvertedMinorRevisionReader(const CInvertedMinorRevisionReader&) = default;
    CInvertedMinorRevisionReader& operator=(const CInvertedMinorRevisionReader&) = default;
};
} // namespace Param

#endif
