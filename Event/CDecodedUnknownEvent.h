// An event the checker relays without acting on it.
#ifndef EVENT_CDECODEDUNKNOWNEVENT_H
#define EVENT_CDECODEDUNKNOWNEVENT_H

#include "Event/CDecodedEvent.h"

namespace Event
{
class CDecodedUnknownEvent : public CDecodedEvent
{
public:
    /// Calls no visitor operation.
    void Accept(CDecodedEventVisitor& visitor) const override;
};
} // namespace Event

#endif
