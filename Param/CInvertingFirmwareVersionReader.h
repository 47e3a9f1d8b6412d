// Decorator: a plain firmware version stream seen as an inverted one.
#ifndef PARAM_CINVERTINGFIRMWAREVERSIONREADER_H
#define PARAM_CINVERTINGFIRMWAREVERSIONREADER_H

#include <cstdint>

#include "Param/CFirmwareVersionReader.h"
#include "Param/CInvertedFirmwareVersionReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere); each record keeps its safety address and has
/// vendor id, product code, major and minor revision complemented. Exceptions of the wrapped reader pass unchanged.
class CInvertingFirmwareVersionReader : public CInvertedFirmwareVersionReader
{
public:
    explicit CInvertingFirmwareVersionReader(CFirmwareVersionReader& versionReader);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& invertedVendorId, std::uint32_t& invertedProductCode,
                     std::uint16_t& invertedMajorRevision, std::uint16_t& invertedMinorRevision) override;
    void Close() override;

private:
    CFirmwareVersionReader& m_versionReader;
};
} // namespace Param

#endif
