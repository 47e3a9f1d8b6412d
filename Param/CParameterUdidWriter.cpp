// UDID entries written into an SOD parameter stream.
#include "Param/CParameterUdidWriter.h"

#include "Param/CParameterWriterEventCode.h"
#include "Param/SafetyAddress.h"
#include "Util/CException.h"
#include "Util/Inversion.h"

namespace Param
{
CParameterUdidWriter::CParameterUdidWriter(CParameterWriter& writer) : m_writer(writer) {}

void CParameterUdidWriter::Open()
{
    m_writer.Open();
}

void CParameterUdidWriter::WriteNext(std::uint16_t safetyAddress, const std::uint8_t* udid)
{
    if (!IsValidSafetyAddress(safetyAddress))
    {
        throw Util::CException(CParameterWriterEventCode::InvalidSafetyAddress, safetyAddress);
    }
    m_writer.WriteNext(static_cast<std::uint16_t>(safetyAddress + (ms_SadrUdidIndexMin - 1u)), ms_UdidSubIndexMin,
                       Util::UdidLength, udid);
}

void CParameterUdidWriter::Close()
{
    m_writer.Close();
}

std::uint32_t CParameterUdidWriter::GetContentLength()
{
    return m_writer.GetContentLength();
}
} // namespace Param
