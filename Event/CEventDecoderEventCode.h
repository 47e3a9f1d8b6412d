// Event codes of the event decoder.
#ifndef EVENT_CEVENTDECODEREVENTCODE_H
#define EVENT_CEVENTDECODEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Event
{
struct CEventDecoderEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        EventTooShort = ScmEventDecoderEventTooShort, ///< event shorter than 11 bytes; information1 = event length
    };
    // clang-format on
};
} // namespace Event

#endif
