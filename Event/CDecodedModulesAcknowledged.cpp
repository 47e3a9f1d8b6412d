// The SCM reports a number of modules as acknowledged.
#include "Event/CDecodedModulesAcknowledged.h"

#include "Event/CDecodedEventVisitor.h"

namespace Event
{
bool CDecodedModulesAcknowledged::IsModulesAcknowledged(std::uint8_t eventLength, const std::uint8_t* event)
{
    return IsAcknowledged(eventLength, event) && (GetInformation0(eventLength, event) == ms_Information0);
}

void CDecodedModulesAcknowledged::Accept(CDecodedEventVisitor& visitor) const
{
    visitor.VisitModulesAcknowledged(*this);
}

std::uint16_t CDecodedModulesAcknowledged::GetAcknowledgedModuleCount() const
{
    return static_cast<std::uint16_t>(GetInformation1());
}
} // namespace Event
