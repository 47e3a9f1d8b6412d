// Record writer interface: a sink of minor firmware revision records.
#ifndef PARAM_CMINORREVISIONWRITER_H
#define PARAM_CMINORREVISIONWRITER_H

#include <cstdint>

namespace Param
{
/// Push-style sink: Open(), WriteNext() any number of times, GetContentLength() while open, Close(). Invalid records
/// raise Util::CException with the implementation's code; misuse raises 0xE200.
class CMinorRevisionWriter
{
public:
    virtual ~CMinorRevisionWriter() = default;
    virtual void Open() = 0;
    virtual void WriteNext(std::uint16_t safetyAddress, std::uint16_t minorRevision) = 0;
    virtual void Close() = 0;
    /// Bytes written since Open().
    virtual std::uint32_t GetContentLength() = 0;

protected:
    CMinorRevisionWriter() = default;
    CMinorRevisionWriter(const CMinorRevisionWriter&) = default;
    CMinorRevisionWriter& operator=(const CMinorRevisionWriter&) = default;
};
} // namespace Param

#endif
