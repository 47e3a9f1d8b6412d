// Decorator: a plain minor revision stream seen as an inverted one.
#include "Param/CInvertingMinorRevisionReader.h"

#include "Util/Inversion.h"

namespace Param
{
CInvertingMinorRevisionReader::CInvertingMinorRevisionReader(CMinorRevisionReader& minorRevisionReader)
    : m_minorRevisionReader(minorRevisionReader)
{
}

void CInvertingMinorRevisionReader::Open()
{
    m_minorRevisionReader.Open();
}

bool CInvertingMinorRevisionReader::TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& invertedMinorRevision)
{
    std::uint16_t minorRevision = 0u;
    if (!m_minorRevisionReader.TryReadNext(safetyAddress, minorRevision))
    {
        return false;
    }
    invertedMinorRevision = Util::GetInvertedUInt16(minorRevision);
    return true;
}

void CInvertingMinorRevisionReader::Close()
{
    m_minorRevisionReader.Close();
}
} // namespace Param
