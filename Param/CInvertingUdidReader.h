// Decorator: a plain UDID stream seen as an inverted one.
#ifndef PARAM_CINVERTINGUDIDREADER_H
#define PARAM_CINVERTINGUDIDREADER_H

#include <cstdint>

#include "Param/CInvertedUdidReader.h"
#include "Param/CUdidReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere). Each record keeps its safety address; the
/// 6 UDID bytes are complemented into a member buffer whose pointer is handed out. Exceptions of the wrapped reader
/// pass unchanged.
class CInvertingUdidReader : public CInvertedUdidReader
{
public:
    explicit CInvertingUdidReader(CUdidReader& udidReader);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid) override;
    void Close() override;

private:
    CUdidReader& m_udidReader;
    std::uint8_t m_invertedUdid[6];
};
} // namespace Param

#endif
