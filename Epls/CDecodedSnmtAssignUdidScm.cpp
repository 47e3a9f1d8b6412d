// SNMT assign UDID of the SCM.
#include "Epls/CDecodedSnmtAssignUdidScm.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SnmtExtendedService.h"

namespace Epls
{
bool CDecodedSnmtAssignUdidScm::IsSnmtAssignUdidScm(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return (GetId(frameLength, frame) == Id::SnmtExtendedServiceRequest) &&
           (GetSnmtExtendedService(frameLength, frame) == SnmtExtendedService::AssignUdidScm);
}

void CDecodedSnmtAssignUdidScm::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtAssignUdidScm(*this);
}

const std::uint8_t* CDecodedSnmtAssignUdidScm::GetScmUdid() const
{
    return GetDbs() + ms_ScmUdidDbOffset;
}
} // namespace Epls
