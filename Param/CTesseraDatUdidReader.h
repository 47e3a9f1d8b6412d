// Acknowledged UDIDs out of the UDID section of "tessera.dat".
#ifndef PARAM_CTESSERADATUDIDREADER_H
#define PARAM_CTESSERADATUDIDREADER_H

#include <cstdint>

#include "Param/CByteArrayParameterReader.h"
#include "Param/CParameterUdidReader.h"
#include "Param/CUdidReader.h"

namespace Param
{
class CTesseraDat;

/// The UDID entries of a read "tessera.dat" in file order, skipping all-zero UDIDs. Open() refuses (0xE200) an
/// unread file or one whose section is in use. A malformed entry raises the codes of the parameter stream (0xE2AA,
/// 0xE2AC) or of the UDID filter (0xE2B4); the reader is then closed and the section released, and Close() does
/// nothing.
class CTesseraDatUdidReader : public CUdidReader
{
public:
    explicit CTesseraDatUdidReader(CTesseraDat& tesseraDat);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid) override;
    void Close() override;

private:
    CTesseraDat& m_tesseraDat;
    CByteArrayParameterReader m_parameterReader;
    CParameterUdidReader m_udidReader;
    bool m_open;
};
} // namespace Param

#endif
