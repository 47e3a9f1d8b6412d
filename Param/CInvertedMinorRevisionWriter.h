// Record writer interface: a sink of minor firmware revision records with the revision inverted.
#ifndef PARAM_CINVERTEDMINORREVISIONWRITER_H
#define PARAM_CINVERTEDMINORREVISIONWRITER_H

#include <cstdint>

namespace Param
{
/// Push-style sink: Open(), WriteNext() any number of times, GetContentLength() while open, Close(). Invalid records
/// raise Util::CException with the implementation's code; misuse raises 0xE200.
class CInvertedMinorRevisionWriter
{
public:
    virtual ~CInvertedMinorRevisionWriter() = default;
    virtual void Open() = 0;
    virtual void WriteNext(std::uint16_t safetyAddress, std::uint16_t invertedMinorRevision) = 0;
    virtual void Close() = 0;
    /// Bytes written since Open().
    virtual std::uint32_t GetContentLength() = 0;

protected:
    CInvertedMinorRevisionWriter() = default;
    CInvertedMinorRevisionWriter(const CInvertedMinorRevisionWriter&) = default;
    CInvertedMinorRevisionWriter& operator=(const CInvertedMinorRevisionWriter&) = default;
};
} // namespace Param

#endif
