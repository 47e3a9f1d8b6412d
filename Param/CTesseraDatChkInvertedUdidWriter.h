// Inverted acknowledged UDIDs into the UDID section of "tessera.dat.chk".
#ifndef PARAM_CTESSERADATCHKINVERTEDUDIDWRITER_H
#define PARAM_CTESSERADATCHKINVERTEDUDIDWRITER_H

#include <cstdint>

#include "Param/CByteArrayParameterWriter.h"
#include "Param/CInvertedUdidWriter.h"
#include "Param/CParameterUdidWriter.h"

namespace Param
{
class CTesseraDatChk;

/// Replaces the UDID section of "tessera.dat.chk" with the entries written between Open() and Close(), in the order
/// given (index 0xCC00 + SADR, sub-index 1, the inverted UDID); the file is rebuilt by
/// CTesseraDatChk::WriteContent(). Open() refuses (0xE200) a section in use. WriteNext() raises 0xE2B8 for a safety
/// address of 0 or 1024 and above and 0xE2B1 when the section outgrows the buffer.
class CTesseraDatChkInvertedUdidWriter : public CInvertedUdidWriter
{
public:
    explicit CTesseraDatChkInvertedUdidWriter(CTesseraDatChk& tesseraDatChk);

    void Open() override;
    void WriteNext(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid) override;
    void Close() override;
    std::uint32_t GetContentLength() override;

private:
    CTesseraDatChk& m_tesseraDatChk;
    CByteArrayParameterWriter m_parameterWriter;
    CParameterUdidWriter m_udidWriter;
};
} // namespace Param

#endif
