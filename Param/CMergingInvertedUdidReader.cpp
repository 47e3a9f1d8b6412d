// Combinator: two inverted UDID streams, each sorted by safety address, merged into one.
#include "Param/CMergingInvertedUdidReader.h"

namespace Param
{
CMergingInvertedUdidReader::CMergingInvertedUdidReader(CInvertedUdidReader& readerA, CInvertedUdidReader& readerB)
    : m_readerA(readerA), m_readerB(readerB), m_hasInvertedUdidA(false), m_safetyAddressA(0u), m_invertedUdidA(nullptr),
      m_hasInvertedUdidB(false), m_safetyAddressB(0u), m_invertedUdidB(nullptr)
{
}

void CMergingInvertedUdidReader::Open()
{
    m_readerA.Open();
    m_readerB.Open();
    // A look-ahead kept from a pass that was closed early points into a stream that has since been closed; handing
    // it out first would repeat a record out of order.
    m_hasInvertedUdidA = false;
    m_hasInvertedUdidB = false;
}

bool CMergingInvertedUdidReader::TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid)
{
    if (!m_hasInvertedUdidA)
    {
        m_hasInvertedUdidA = m_readerA.TryReadNext(m_safetyAddressA, m_invertedUdidA);
    }
    if (!m_hasInvertedUdidB)
    {
        m_hasInvertedUdidB = m_readerB.TryReadNext(m_safetyAddressB, m_invertedUdidB);
    }
    if (!m_hasInvertedUdidA && !m_hasInvertedUdidB)
    {
        return false;
    }
    const bool takeA = m_hasInvertedUdidA && (!m_hasInvertedUdidB || (m_safetyAddressA <= m_safetyAddressB));
    if (takeA)
    {
        if (m_hasInvertedUdidB && (m_safetyAddressB == m_safetyAddressA))
        {
            m_hasInvertedUdidB = false;
        }
        m_hasInvertedUdidA = false;
        safetyAddress = m_safetyAddressA;
        invertedUdid = m_invertedUdidA;
        return true;
    }
    m_hasInvertedUdidB = false;
    safetyAddress = m_safetyAddressB;
    invertedUdid = m_invertedUdidB;
    return true;
}

void CMergingInvertedUdidReader::Close()
{
    m_readerA.Close();
    m_readerB.Close();
}
} // namespace Param
