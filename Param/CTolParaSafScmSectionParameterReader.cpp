// The SOD parameter stream of the SCM section of "tol_para.saf".
#include "Param/CTolParaSafScmSectionParameterReader.h"

namespace Param
{
CTolParaSafScmSectionParameterReader::CTolParaSafScmSectionParameterReader(CTolParaSaf& tolParaSaf)
    : m_tolParaSaf(tolParaSaf), m_parameterReader()
{
}

void CTolParaSafScmSectionParameterReader::Open()
{
    std::uint32_t sectionLength = 0u;
    const std::uint8_t* section = nullptr;
    m_tolParaSaf.StartReadingScmSection(sectionLength, section);
    m_parameterReader.Initialize(sectionLength, section);
    m_parameterReader.Open();
}

bool CTolParaSafScmSectionParameterReader::TryReadNext(std::uint16_t& index, std::uint8_t& subIndex,
                                                       std::uint32_t& parameterLength, const std::uint8_t*& parameter)
{
    return m_parameterReader.TryReadNext(index, subIndex, parameterLength, parameter);
}

void CTolParaSafScmSectionParameterReader::Close()
{
    m_parameterReader.Close();
    m_tolParaSaf.StopReadingScmSection();
}
} // namespace Param
