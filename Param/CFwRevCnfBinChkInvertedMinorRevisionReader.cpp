// Inverted acknowledged minor revisions out of the module section of "fwrevcnf.bin.chk".
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionReader.h"

#include "Param/CFwRevCnfBinChk.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CFwRevCnfBinChkInvertedMinorRevisionReader.cpp");
} // namespace

namespace Param
{
CFwRevCnfBinChkInvertedMinorRevisionReader::CFwRevCnfBinChkInvertedMinorRevisionReader(CFwRevCnfBinChk& fwRevCnfBinChk)
    : m_fwRevCnfBinChk(fwRevCnfBinChk), m_minorRevisionReader(), m_open(false)
{
}

void CFwRevCnfBinChkInvertedMinorRevisionReader::Open()
{
    SCM_GUARD(!m_open);
    std::uint32_t moduleSectionLength = 0u;
    const std::uint8_t* moduleSection = nullptr;
    m_fwRevCnfBinChk.StartReadingModuleSection(moduleSectionLength, moduleSection);
    m_minorRevisionReader.Initialize(moduleSectionLength, moduleSection);
    m_minorRevisionReader.Open();
    m_open = true;
}

bool CFwRevCnfBinChkInvertedMinorRevisionReader::TryReadNext(std::uint16_t& safetyAddress,
                                                             std::uint16_t& invertedMinorRevision)
{
    SCM_GUARD(m_open);
    try
    {
        return m_minorRevisionReader.TryReadNext(safetyAddress, invertedMinorRevision);
    }
    catch (const Util::CException&)
    {
        // A refused entry ends the stream: the file must be free for ReadContent again.
        Close();
        throw;
    }
}

void CFwRevCnfBinChkInvertedMinorRevisionReader::Close()
{
    if (!m_open)
    {
        return;
    }
    m_minorRevisionReader.Close();
    m_fwRevCnfBinChk.StopReadingModuleSection();
    m_open = false;
}
} // namespace Param
