// Filter: the required firmware version of each module out of an SOD parameter stream.
#include "Param/CParameterFirmwareVersionReader.h"

#include "Param/CParameterReaderEventCode.h"
#include "Param/ParameterFilterSupport.h"
#include "Param/SafetyAddress.h"
#include "Util/ByteOrder.h"

namespace Param
{
CParameterFirmwareVersionReader::CParameterFirmwareVersionReader(CParameterReader& reader)
    : m_reader(reader), m_previousIndex(ms_InvalidIndex)
{
}

void CParameterFirmwareVersionReader::Open()
{
    m_reader.Open();
    m_previousIndex = ms_InvalidIndex;
}

bool CParameterFirmwareVersionReader::TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& vendorId,
                                                  std::uint32_t& productCode, std::uint16_t& majorRevision,
                                                  std::uint16_t& minorRevision)
{
    // The marks belong to the index being read; a change of index starts a new module.
    bool sadrRead = false;
    bool vendorIdRead = false;
    bool productCodeRead = false;
    std::uint16_t sadr = 0u;
    std::uint32_t vendor = 0u;
    std::uint32_t product = 0u;
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    while (TryReadNextOrClose(m_reader, index, subIndex, length, data))
    {
        if ((index < ms_SadrDviIndexMin) || (index > ms_SadrDviIndexMax))
        {
            continue;
        }
        if (index != m_previousIndex)
        {
            sadrRead = false;
            vendorIdRead = false;
            productCodeRead = false;
            m_previousIndex = index;
        }
        const std::uint32_t expectedLength = (subIndex == ms_SadrSubIndex) ? 2u : 4u;
        const bool known = (subIndex >= ms_SadrSubIndex) && (subIndex <= ms_RevisionNumberSubIndex);
        if (!known)
        {
            continue;
        }
        if (length != expectedLength)
        {
            CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidLength, subIndex, length);
        }
        switch (subIndex)
        {
        case ms_SadrSubIndex:
            sadr = Util::GetLittleEndianUInt16(data, 0u);
            if (!IsValidSafetyAddress(sadr))
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::InvalidSafetyAddress, 0u, sadr);
            }
            sadrRead = true;
            break;
        case ms_VendorIdSubIndex:
            vendor = Util::GetLittleEndianUInt32(data, 0u);
            vendorIdRead = true;
            break;
        case ms_ProductCodeSubIndex:
            product = Util::GetLittleEndianUInt32(data, 0u);
            productCodeRead = true;
            break;
        default:
            if (!sadrRead || !vendorIdRead || !productCodeRead)
            {
                CloseAndThrow(m_reader, CParameterReaderEventCode::WrongOrder, 0u, index);
            }
            safetyAddress = sadr;
            vendorId = vendor;
            productCode = product;
            minorRevision = Util::GetLittleEndianUInt16(data, 0u);
            majorRevision = Util::GetLittleEndianUInt16(data, 2u);
            return true;
        }
    }
    return false;
}

void CParameterFirmwareVersionReader::Close()
{
    m_reader.Close();
}
} // namespace Param
