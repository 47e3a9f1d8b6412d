// SNMT response UDID.
#include "Epls/CDecodedSnmtResponseUdid.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"

namespace Epls
{
bool CDecodedSnmtResponseUdid::IsSnmtResponseUdid(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return GetId(frameLength, frame) == Id::SnmtResponseUdid;
}

void CDecodedSnmtResponseUdid::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtResponseUdid(*this);
}

std::uint16_t CDecodedSnmtResponseUdid::GetSafetyAddress() const
{
    return GetTadr();
}

const std::uint8_t* CDecodedSnmtResponseUdid::GetUdid() const
{
    return GetDbs();
}
} // namespace Epls
