// SNMT SADR assigned.
#include "Epls/CDecodedSnmtSadrAssigned.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"

namespace Epls
{
bool CDecodedSnmtSadrAssigned::IsSnmtSadrAssigned(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return GetId(frameLength, frame) == Id::SnmtSadrAssigned;
}

void CDecodedSnmtSadrAssigned::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtSadrAssigned(*this);
}

std::uint16_t CDecodedSnmtSadrAssigned::GetSafetyAddress() const
{
    return GetTadr();
}

const std::uint8_t* CDecodedSnmtSadrAssigned::GetUdid() const
{
    return GetDbs();
}
} // namespace Epls
