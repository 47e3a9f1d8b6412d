// Combinator: four inverted additional-parameter header streams read one after the other.
#include "Param/CAppendingInvertedAdditionalParameterHeaderReader.h"

namespace Param
{
CAppendingInvertedAdditionalParameterHeaderReader::CAppendingInvertedAdditionalParameterHeaderReader(
    CInvertedAdditionalParameterHeaderReader& readerA, CInvertedAdditionalParameterHeaderReader& readerB,
    CInvertedAdditionalParameterHeaderReader& readerC, CInvertedAdditionalParameterHeaderReader& readerD)
    : m_readerA(readerA), m_readerB(readerB), m_readerC(readerC), m_readerD(readerD)
{
}

void CAppendingInvertedAdditionalParameterHeaderReader::Open()
{
    m_readerA.Open();
    m_readerB.Open();
    m_readerC.Open();
    m_readerD.Open();
}

bool CAppendingInvertedAdditionalParameterHeaderReader::TryReadNext(std::uint16_t& safetyAddress,
                                                                    std::uint8_t& parameterNumber,
                                                                    const std::uint8_t*& invertedHeader)
{
    return m_readerA.TryReadNext(safetyAddress, parameterNumber, invertedHeader) ||
           m_readerB.TryReadNext(safetyAddress, parameterNumber, invertedHeader) ||
           m_readerC.TryReadNext(safetyAddress, parameterNumber, invertedHeader) ||
           m_readerD.TryReadNext(safetyAddress, parameterNumber, invertedHeader);
}

void CAppendingInvertedAdditionalParameterHeaderReader::Close()
{
    m_readerA.Close();
    m_readerB.Close();
    m_readerC.Close();
    m_readerD.Close();
}
} // namespace Param
