// One inverted additional-parameter header computed from a parameter value held in memory.
#ifndef PARAM_CCOMPUTEDINVERTEDADDITIONALPARAMETERHEADERREADER_H
#define PARAM_CCOMPUTEDINVERTEDADDITIONALPARAMETERHEADERREADER_H

#include <cstdint>

#include "Param/CInvertedAdditionalParameterHeaderReader.h"

namespace Param
{
/// Yields at most one record per Open(): the header of the parameter given to SetAdditionalParameter(), in the
/// 16-byte header layout (number, version 1, safety address, length, CRC-32 of the data with seed 0, timestamp),
/// every byte complemented. Before SetAdditionalParameter() each pass is empty.
class CComputedInvertedAdditionalParameterHeaderReader : public CInvertedAdditionalParameterHeaderReader
{
public:
    static constexpr std::uint8_t ms_Version = 1u;
    static constexpr std::uint32_t ms_ParameterNumberOffset = 0u;
    static constexpr std::uint32_t ms_SafetyAddressOffset = 2u;

    CComputedInvertedAdditionalParameterHeaderReader();

    /// Refused (0xE200) when open.
    void Open() override;
    /// Refused (0xE200) when not open. The header once per Open(); false before it is set or once delivered.
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                     const std::uint8_t*& invertedHeader) override;
    /// Refused (0xE200) when not open.
    void Close() override;
    /// Computes the header over parameterLength bytes at parameter. Once in the object's life, before Open():
    /// refused (0xE200) when already set, while open or for a null parameter. Raises 0xE2BA (info1 = SADR) for a
    /// safety address of 0 or 1024 and above, 0xE2BB (info1 = number) for a parameter number of 0 or above 16.
    virtual void SetAdditionalParameter(std::uint16_t safetyAddress, std::uint8_t parameterNumber,
                                        std::uint32_t timestamp, std::uint32_t parameterLength,
                                        const std::uint8_t* parameter);

private:
    static constexpr std::uint32_t ms_HeaderLength = 16u;
    static constexpr std::uint8_t ms_ParameterNumberMax = 16u;

    std::uint8_t m_invertedHeader[ms_HeaderLength];
    bool m_set;
    bool m_open;
    bool m_read;
};
} // namespace Param

#endif
