// The SCM reports the firmware of the modules as acknowledged.
#include "Event/CDecodedFirmwareAcknowledged.h"

#include "Event/CDecodedEventVisitor.h"

namespace Event
{
bool CDecodedFirmwareAcknowledged::IsFirmwareAcknowledged(std::uint8_t eventLength, const std::uint8_t* event)
{
    return IsAcknowledged(eventLength, event) && (GetInformation0(eventLength, event) == ms_Information0);
}

void CDecodedFirmwareAcknowledged::Accept(CDecodedEventVisitor& visitor) const
{
    visitor.VisitFirmwareAcknowledged(*this);
}
} // namespace Event
