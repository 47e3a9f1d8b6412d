// Decorator: plain additional-parameter headers seen as inverted ones.
#ifndef PARAM_CINVERTINGADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CINVERTINGADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

#include "Param/CAdditionalParameterHeaderReader.h"
#include "Param/CInvertedAdditionalParameterHeaderReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere). Safety address and parameter number pass
/// through; the 16 header bytes are complemented into a member buffer whose pointer is handed out. Exceptions of the
/// wrapped reader pass unchanged.
class CInvertingAdditionalParameterHeaderReader : public CInvertedAdditionalParameterHeaderReader
{
public:
    static constexpr std::uint32_t ms_HeaderLength = 16u;

    explicit CInvertingAdditionalParameterHeaderReader(CAdditionalParameterHeaderReader& headerReader);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                     const std::uint8_t*& invertedHeader) override;
    void Close() override;

private:
    CAdditionalParameterHeaderReader& m_headerReader;
    std::uint8_t m_invertedHeader[ms_HeaderLength];
};
} // namespace Param

#endif
