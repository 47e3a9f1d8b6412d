// Acknowledged minor revisions out of the module section of "fwrevcnf.bin".
#include "Param/CFwRevCnfBinMinorRevisionReader.h"

#include "Param/CFwRevCnfBin.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CFwRevCnfBinMinorRevisionReader.cpp");
} // namespace

namespace Param
{
CFwRevCnfBinMinorRevisionReader::CFwRevCnfBinMinorRevisionReader(CFwRevCnfBin& fwRevCnfBin)
    : m_fwRevCnfBin(fwRevCnfBin), m_minorRevisionReader(), m_open(false)
{
}

void CFwRevCnfBinMinorRevisionReader::Open()
{
    SCM_GUARD(!m_open);
    std::uint32_t moduleSectionLength = 0u;
    const std::uint8_t* moduleSection = nullptr;
    m_fwRevCnfBin.StartReadingModuleSection(moduleSectionLength, moduleSection);
    m_minorRevisionReader.Initialize(moduleSectionLength, moduleSection);
    m_minorRevisionReader.Open();
    m_open = true;
}

bool CFwRevCnfBinMinorRevisionReader::TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& minorRevision)
{
    SCM_GUARD(m_open);
    try
    {
        std::uint16_t entrySafetyAddress = 0u;
        std::uint16_t entryMinorRevision = 0u;
        while (m_minorRevisionReader.TryReadNext(entrySafetyAddress, entryMinorRevision))
        {
            if (entryMinorRevision != 0u)
            {
                safetyAddress = entrySafetyAddress;
                minorRevision = entryMinorRevision;
                return true;
            }
        }
        return false;
    }
    catch (const Util::CException&)
    {
        // A refused entry ends the stream: the file must be free for ReadContent again.
        Close();
        throw;
    }
}

void CFwRevCnfBinMinorRevisionReader::Close()
{
    if (!m_open)
    {
        return;
    }
    m_minorRevisionReader.Close();
    m_fwRevCnfBin.StopReadingModuleSection();
    m_open = false;
}
} // namespace Param
