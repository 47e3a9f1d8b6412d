// Decorator: a plain minor revision stream seen as an inverted one.
#ifndef PARAM_CINVERTINGMINORREVISIONREADER_H
#define PARAM_CINVERTINGMINORREVISIONREADER_H

#include <cstdint>

#include "Param/CInvertedMinorRevisionReader.h"
#include "Param/CMinorRevisionReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere); each record keeps its safety address and
/// has its minor revision complemented. Exceptions of the wrapped reader pass unchanged.
class CInvertingMinorRevisionReader : public CInvertedMinorRevisionReader
{
public:
    explicit CInvertingMinorRevisionReader(CMinorRevisionReader& minorRevisionReader);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& invertedMinorRevision) override;
    void Close() override;

private:
    CMinorRevisionReader& m_minorRevisionReader;
};
} // namespace Param

#endif
