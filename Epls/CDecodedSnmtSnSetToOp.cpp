// SNMT SN set to operational.
#include "Epls/CDecodedSnmtSnSetToOp.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SnmtExtendedService.h"

namespace Epls
{
bool CDecodedSnmtSnSetToOp::IsSnmtSnSetToOp(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return (GetId(frameLength, frame) == Id::SnmtExtendedServiceRequest) &&
           (GetSnmtExtendedService(frameLength, frame) == SnmtExtendedService::SnSetToOp);
}

void CDecodedSnmtSnSetToOp::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtSnSetToOp(*this);
}

std::uint16_t CDecodedSnmtSnSetToOp::GetSafetyAddress() const
{
    return GetAdr();
}
} // namespace Epls
