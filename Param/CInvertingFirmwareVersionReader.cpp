// Decorator: a plain firmware version stream seen as an inverted one.
#include "Param/CInvertingFirmwareVersionReader.h"

#include "Util/Inversion.h"

namespace Param
{
CInvertingFirmwareVersionReader::CInvertingFirmwareVersionReader(CFirmwareVersionReader& versionReader)
    : m_versionReader(versionReader)
{
}

void CInvertingFirmwareVersionReader::Open()
{
    m_versionReader.Open();
}

bool CInvertingFirmwareVersionReader::TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& invertedVendorId,
                                                  std::uint32_t& invertedProductCode,
                                                  std::uint16_t& invertedMajorRevision,
                                                  std::uint16_t& invertedMinorRevision)
{
    std::uint32_t vendorId = 0u;
    std::uint32_t productCode = 0u;
    std::uint16_t majorRevision = 0u;
    std::uint16_t minorRevision = 0u;
    if (!m_versionReader.TryReadNext(safetyAddress, vendorId, productCode, majorRevision, minorRevision))
    {
        return false;
    }
    invertedVendorId = Util::GetInvertedUInt32(vendorId);
    invertedProductCode = Util::GetInvertedUInt32(productCode);
    invertedMajorRevision = Util::GetInvertedUInt16(majorRevision);
    invertedMinorRevision = Util::GetInvertedUInt16(minorRevision);
    return true;
}

void CInvertingFirmwareVersionReader::Close()
{
    m_versionReader.Close();
}
} // namespace Param
