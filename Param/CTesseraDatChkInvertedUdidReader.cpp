// Inverted acknowledged UDIDs out of the UDID section of "tessera.dat.chk".
#include "Param/CTesseraDatChkInvertedUdidReader.h"

#include "Param/CTesseraDatChk.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraDatChkInvertedUdidReader.cpp");
} // namespace

namespace Param
{
CTesseraDatChkInvertedUdidReader::CTesseraDatChkInvertedUdidReader(CTesseraDatChk& tesseraDatChk)
    : m_tesseraDatChk(tesseraDatChk), m_parameterReader(), m_udidReader(m_parameterReader), m_open(false)
{
}

void CTesseraDatChkInvertedUdidReader::Open()
{
    SCM_GUARD(!m_open);
    std::uint32_t sectionLength = 0u;
    const std::uint8_t* section = nullptr;
    m_tesseraDatChk.StartReadingUdidSection(sectionLength, section);
    m_parameterReader.Initialize(sectionLength, section);
    m_udidReader.Open();
    m_open = true;
}

bool CTesseraDatChkInvertedUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid)
{
    SCM_GUARD(m_open);
    try
    {
        return m_udidReader.TryReadNext(safetyAddress, invertedUdid);
    }
    catch (const Util::CException&)
    {
        // The filter has closed the stream; the file must be free for ReadContent again.
        m_tesseraDatChk.StopReadingUdidSection();
        m_open = false;
        throw;
    }
}

void CTesseraDatChkInvertedUdidReader::Close()
{
    if (!m_open)
    {
        return;
    }
    m_udidReader.Close();
    m_tesseraDatChk.StopReadingUdidSection();
    m_open = false;
}
} // namespace Param
