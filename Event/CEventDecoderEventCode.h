// Event codes of the event decoder.
#ifndef EVENT_CEVENTDECODEREVENTCODE_H
#define EVENT_CEVENTDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Event
{
struct CEventDecoderEventCode
{
    enum Enum : std::uint16_t
    {
        EventTooShort = ScmEventDecoderEventTooShort,
    };
};
} // namespace Event

#endif
