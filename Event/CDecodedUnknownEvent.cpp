// An event the checker relays without acting on it.
#include "Event/CDecodedUnknownEvent.h"

namespace Event
{
void CDecodedUnknownEvent::Accept(CDecodedEventVisitor& /*visitor*/) const {}
} // namespace Event
