// Acknowledged UDIDs out of the UDID section of "tessera.dat".
#include "Param/CTesseraDatUdidReader.h"

#include "Param/CTesseraDat.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CTesseraDatUdidReader.cpp");
} // namespace

namespace Param
{
CTesseraDatUdidReader::CTesseraDatUdidReader(CTesseraDat& tesseraDat)
    : m_tesseraDat(tesseraDat), m_parameterReader(), m_udidReader(m_parameterReader), m_open(false)
{
}

void CTesseraDatUdidReader::Open()
{
    SCM_GUARD(!m_open);
    std::uint32_t sectionLength = 0u;
    const std::uint8_t* section = nullptr;
    m_tesseraDat.StartReadingUdidSection(sectionLength, section);
    m_parameterReader.Initialize(sectionLength, section);
    m_udidReader.Open();
    m_open = true;
}

bool CTesseraDatUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid)
{
    SCM_GUARD(m_open);
    try
    {
        std::uint16_t entrySafetyAddress = 0u;
        const std::uint8_t* entryUdid = nullptr;
        while (m_udidReader.TryReadNext(entrySafetyAddress, entryUdid))
        {
            if (Util::CUdid::IsValid(entryUdid))
            {
                safetyAddress = entrySafetyAddress;
                udid = entryUdid;
                return true;
            }
        }
        return false;
    }
    catch (const Util::CException&)
    {
        // The filter has closed the stream; the file must be free for ReadContent again.
        m_tesseraDat.StopReadingUdidSection();
        m_open = false;
        throw;
    }
}

void CTesseraDatUdidReader::Close()
{
    if (!m_open)
    {
        return;
    }
    m_udidReader.Close();
    m_tesseraDat.StopReadingUdidSection();
    m_open = false;
}
} // namespace Param
