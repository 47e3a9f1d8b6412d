// Automatically acknowledged UDIDs out of the UDID section of "autocnf.bin".
#include "Param/CAutoCnfBinUdidSectionUdidReader.h"

#include "Param/CAutoCnfBin.h"
#include "Param/CAutoCnfBinUdidSection.h"
#include "Util/CUdid.h"

namespace Param
{
CAutoCnfBinUdidSectionUdidReader::CAutoCnfBinUdidSectionUdidReader(CAutoCnfBin& autoCnfBin)
    : CAutoCnfBinUdidSectionUdidReader(autoCnfBin.GetUdidSection())
{
}

CAutoCnfBinUdidSectionUdidReader::CAutoCnfBinUdidSectionUdidReader(CAutoCnfBinUdidSection& udidSection)
    : m_udidSection(udidSection), m_udidReader()
{
}

void CAutoCnfBinUdidSectionUdidReader::Open()
{
    std::uint32_t entriesLength = 0u;
    const std::uint8_t* entries = nullptr;
    m_udidSection.StartReadingUdids(entriesLength, entries);
    m_udidReader.Initialize(entriesLength, entries);
    m_udidReader.Open();
}

bool CAutoCnfBinUdidSectionUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid)
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

void CAutoCnfBinUdidSectionUdidReader::Close()
{
    m_udidReader.Close();
}
} // namespace Param
