// SNMT assign SADR.
#include "Epls/CDecodedSnmtAssignSadr.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"

namespace Epls
{
bool CDecodedSnmtAssignSadr::IsSnmtAssignSadr(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return GetId(frameLength, frame) == Id::SnmtAssignSadr;
}

void CDecodedSnmtAssignSadr::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtAssignSadr(*this);
}

std::uint16_t CDecodedSnmtAssignSadr::GetSafetyAddress() const
{
    return GetAdr();
}

const std::uint8_t* CDecodedSnmtAssignSadr::GetUdid() const
{
    return GetDbs();
}
} // namespace Epls
