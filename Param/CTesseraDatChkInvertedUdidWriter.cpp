// Inverted acknowledged UDIDs into the UDID section of "tessera.dat.chk".
#include "Param/CTesseraDatChkInvertedUdidWriter.h"

#include "Param/CTesseraDatChk.h"

namespace Param
{
CTesseraDatChkInvertedUdidWriter::CTesseraDatChkInvertedUdidWriter(CTesseraDatChk& tesseraDatChk)
    : m_tesseraDatChk(tesseraDatChk), m_parameterWriter(), m_udidWriter(m_parameterWriter)
{
}

void CTesseraDatChkInvertedUdidWriter::Open()
{
    std::uint32_t sectionLengthMax = 0u;
    std::uint8_t* section = nullptr;
    m_tesseraDatChk.StartWritingUdidSection(sectionLengthMax, section);
    m_parameterWriter.Initialize(sectionLengthMax, section);
    m_udidWriter.Open();
}

void CTesseraDatChkInvertedUdidWriter::WriteNext(std::uint16_t safetyAddress, const std::uint8_t* invertedUdid)
{
    m_udidWriter.WriteNext(safetyAddress, invertedUdid);
}

void CTesseraDatChkInvertedUdidWriter::Close()
{
    const std::uint32_t sectionLength = m_udidWriter.GetContentLength();
    m_udidWriter.Close();
    m_tesseraDatChk.StopWritingUdidSection(sectionLength);
}

std::uint32_t CTesseraDatChkInvertedUdidWriter::GetContentLength()
{
    return m_udidWriter.GetContentLength();
}
} // namespace Param
