// Decorator: a plain UDID stream seen as an inverted one.
#include "Param/CInvertingUdidReader.h"

#include "Util/Inversion.h"

namespace Param
{
CInvertingUdidReader::CInvertingUdidReader(CUdidReader& udidReader) : m_udidReader(udidReader), m_invertedUdid{}
{
    Util::ClearInvertedUdid(m_invertedUdid);
}

void CInvertingUdidReader::Open()
{
    m_udidReader.Open();
}

bool CInvertingUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid)
{
    const std::uint8_t* udid = nullptr;
    if (!m_udidReader.TryReadNext(safetyAddress, udid))
    {
        return false;
    }
    Util::GetInvertedUdid(udid, m_invertedUdid);
    invertedUdid = m_invertedUdid;
    return true;
}

void CInvertingUdidReader::Close()
{
    m_udidReader.Close();
}
} // namespace Param
