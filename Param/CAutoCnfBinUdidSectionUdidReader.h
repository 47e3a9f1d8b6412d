// Automatically acknowledged UDIDs out of the UDID section of "autocnf.bin".
#ifndef PARAM_CAUTOCNFBINUDIDSECTIONUDIDREADER_H
#define PARAM_CAUTOCNFBINUDIDSECTIONUDIDREADER_H

#include <cstdint>

#include "Param/CByteArrayUdidReader.h"
#include "Param/CUdidReader.h"

namespace Param
{
class CAutoCnfBin;
class CAutoCnfBinUdidSection;

/// The entries of the UDID section, skipping all-zero UDIDs. Open() validates the section the first time after a
/// read of the file and raises its codes (CAutoCnfBinEventCode::InvalidModuleCount .. InvalidModuleCrc); an entry
/// with an invalid safety address raises 0xE2AE while reading, after which the reader is still open.
class CAutoCnfBinUdidSectionUdidReader : public CUdidReader
{
public:
    explicit CAutoCnfBinUdidSectionUdidReader(CAutoCnfBin& autoCnfBin);
    explicit CAutoCnfBinUdidSectionUdidReader(CAutoCnfBinUdidSection& udidSection);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& udid) override;
    void Close() override;

private:
    CAutoCnfBinUdidSection& m_udidSection;
    CByteArrayUdidReader m_udidReader;
};
} // namespace Param

#endif
