// Combinator: four inverted additional-parameter header streams read one after the other.
#ifndef PARAM_CAPPENDINGINVERTEDADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CAPPENDINGINVERTEDADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

#include "Param/CInvertedAdditionalParameterHeaderReader.h"

namespace Param
{
/// Delivers every record of A, then of B, C and D (all owned elsewhere); Open() and Close() go to A, B, C, D in
/// that order. Each call asks the readers in turn from A, so an exhausted reader is asked again and must keep
/// answering false (every reader of this namespace does until it is closed). Exceptions pass unchanged.
class CAppendingInvertedAdditionalParameterHeaderReader : public CInvertedAdditionalParameterHeaderReader
{
public:
    CAppendingInvertedAdditionalParameterHeaderReader(CInvertedAdditionalParameterHeaderReader& readerA,
                                                      CInvertedAdditionalParameterHeaderReader& readerB,
                                                      CInvertedAdditionalParameterHeaderReader& readerC,
                                                      CInvertedAdditionalParameterHeaderReader& readerD);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                     const std::uint8_t*& invertedHeader) override;
    void Close() override;

private:
    CInvertedAdditionalParameterHeaderReader& m_readerA;
    CInvertedAdditionalParameterHeaderReader& m_readerB;
    CInvertedAdditionalParameterHeaderReader& m_readerC;
    CInvertedAdditionalParameterHeaderReader& m_readerD;
};
} // namespace Param

#endif
