// The SOD parameter stream of the SCM section of "tol_para.saf".
#ifndef PARAM_CTOLPARASAFSCMSECTIONPARAMETERREADER_H
#define PARAM_CTOLPARASAFSCMSECTIONPARAMETERREADER_H

#include <cstdint>

#include "Param/CByteArrayParameterReader.h"
#include "Param/CParameterReader.h"
#include "Param/CTolParaSaf.h"

namespace Param
{
/// A CByteArrayParameterReader bound to the SCM section of a read CTolParaSaf (owned elsewhere) for the time between
/// Open() and Close(). Shared by all CParameter… filters of the container.
class CTolParaSafScmSectionParameterReader : public CParameterReader
{
public:
    explicit CTolParaSafScmSectionParameterReader(CTolParaSaf& tolParaSaf);

    /// Starts reading the SCM section; refused (0xE200) before the container was read or while open.
    void Open() override;
    /// The records of the section in file order; refusals of CByteArrayParameterReader (0xE2AA, 0xE2AC).
    bool TryReadNext(std::uint16_t& index, std::uint8_t& subIndex, std::uint32_t& parameterLength,
                     const std::uint8_t*& parameter) override;
    /// Closes the stream and stops reading the section; refused (0xE200) when not open.
    void Close() override;

private:
    CTolParaSaf& m_tolParaSaf;
    CByteArrayParameterReader m_parameterReader;
};
} // namespace Param

#endif
