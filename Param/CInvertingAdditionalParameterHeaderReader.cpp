// Decorator: plain additional-parameter headers seen as inverted ones.
#include "Param/CInvertingAdditionalParameterHeaderReader.h"

#include "Util/Inversion.h"

namespace Param
{
CInvertingAdditionalParameterHeaderReader::CInvertingAdditionalParameterHeaderReader(
    CAdditionalParameterHeaderReader& headerReader)
    : m_headerReader(headerReader), m_invertedHeader{}
{
    Util::ClearInvertedMemory(ms_HeaderLength, m_invertedHeader);
}

void CInvertingAdditionalParameterHeaderReader::Open()
{
    m_headerReader.Open();
}

bool CInvertingAdditionalParameterHeaderReader::TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                                                            const std::uint8_t*& invertedHeader)
{
    const std::uint8_t* header = nullptr;
    if (!m_headerReader.TryReadNext(safetyAddress, parameterNumber, header))
    {
        return false;
    }
    Util::CopyInvertedMemory(ms_HeaderLength, header, m_invertedHeader);
    invertedHeader = m_invertedHeader;
    return true;
}

void CInvertingAdditionalParameterHeaderReader::Close()
{
    m_headerReader.Close();
}
} // namespace Param
