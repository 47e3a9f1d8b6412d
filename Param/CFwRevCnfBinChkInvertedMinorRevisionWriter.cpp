// Inverted acknowledged minor revisions into the module section of "fwrevcnf.bin.chk".
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionWriter.h"

#include "Param/CFwRevCnfBinChk.h"

namespace Param
{
CFwRevCnfBinChkInvertedMinorRevisionWriter::CFwRevCnfBinChkInvertedMinorRevisionWriter(CFwRevCnfBinChk& fwRevCnfBinChk)
    : m_fwRevCnfBinChk(fwRevCnfBinChk), m_minorRevisionWriter()
{
}

void CFwRevCnfBinChkInvertedMinorRevisionWriter::Open()
{
    std::uint32_t moduleSectionLengthMax = 0u;
    std::uint8_t* moduleSection = nullptr;
    m_fwRevCnfBinChk.StartWritingModuleSection(moduleSectionLengthMax, moduleSection);
    m_minorRevisionWriter.Initialize(moduleSectionLengthMax, moduleSection);
    m_minorRevisionWriter.Open();
}

void CFwRevCnfBinChkInvertedMinorRevisionWriter::WriteNext(std::uint16_t safetyAddress,
                                                           std::uint16_t invertedMinorRevision)
{
    m_minorRevisionWriter.WriteNext(safetyAddress, invertedMinorRevision);
}

void CFwRevCnfBinChkInvertedMinorRevisionWriter::Close()
{
    const std::uint32_t moduleSectionLength = m_minorRevisionWriter.GetContentLength();
    m_minorRevisionWriter.Close();
    m_fwRevCnfBinChk.StopWritingModuleSection(moduleSectionLength);
}

std::uint32_t CFwRevCnfBinChkInvertedMinorRevisionWriter::GetContentLength()
{
    return m_minorRevisionWriter.GetContentLength();
}
} // namespace Param
