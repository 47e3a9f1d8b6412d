// Inverted acknowledged UDIDs out of the UDID section of "tessera.dat.chk".
#ifndef PARAM_CTESSERADATCHKINVERTEDUDIDREADER_H
#define PARAM_CTESSERADATCHKINVERTEDUDIDREADER_H

#include <cstdint>

#include "Param/CByteArrayParameterReader.h"
#include "Param/CInvertedUdidReader.h"
#include "Param/CParameterUdidReader.h"

namespace Param
{
class CTesseraDatChk;

/// Every UDID entry of a read "tessera.dat.chk" in file order (safety address plain, UDID as stored: inverted).
/// Open() refuses (0xE200) an unread file or one whose section is in use. A malformed entry raises the codes of
/// the parameter stream (0xE2AA, 0xE2AC) or of the UDID filter (0xE2B4); the reader is then closed and the section
/// released, and Close() does nothing.
class CTesseraDatChkInvertedUdidReader : public CInvertedUdidReader
{
public:
    explicit CTesseraDatChkInvertedUdidReader(CTesseraDatChk& tesseraDatChk);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid) override;
    void Close() override;

private:
    CTesseraDatChk& m_tesseraDatChk;
    CByteArrayParameterReader m_parameterReader;
    CParameterUdidReader m_udidReader;
    bool m_open;
};
} // namespace Param

#endif
