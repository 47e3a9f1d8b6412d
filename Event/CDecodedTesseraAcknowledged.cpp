// The SCM reports the key medium as acknowledged.
#include "Event/CDecodedTesseraAcknowledged.h"

#include "Event/CDecodedEventVisitor.h"

namespace Event
{
bool CDecodedTesseraAcknowledged::IsTesseraAcknowledged(std::uint8_t eventLength, const std::uint8_t* event)
{
    return IsAcknowledged(eventLength, event) && (GetInformation0(eventLength, event) == ms_Information0);
}

void CDecodedTesseraAcknowledged::Accept(CDecodedEventVisitor& visitor) const
{
    visitor.VisitTesseraAcknowledged(*this);
}
} // namespace Event
