// SNMT SN ACK.
#include "Epls/CDecodedSnmtSnAck.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SnmtExtendedService.h"

namespace Epls
{
bool CDecodedSnmtSnAck::IsSnmtSnAck(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return (GetId(frameLength, frame) == Id::SnmtExtendedServiceRequest) &&
           (GetSnmtExtendedService(frameLength, frame) == SnmtExtendedService::SnAck);
}

void CDecodedSnmtSnAck::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtSnAck(*this);
}

std::uint16_t CDecodedSnmtSnAck::GetSafetyAddress() const
{
    return GetAdr();
}

std::uint8_t CDecodedSnmtSnAck::GetErrorGroup() const
{
    return GetDbs()[ms_ErrorGroupOffset];
}

std::uint8_t CDecodedSnmtSnAck::GetErrorCode() const
{
    return GetDbs()[ms_ErrorCodeOffset];
}
} // namespace Epls
