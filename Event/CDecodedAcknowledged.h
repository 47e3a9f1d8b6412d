// Common base of the SCM's acknowledgement events: level 1 with one of two acknowledgement codes.
#ifndef EVENT_CDECODEDACKNOWLEDGED_H
#define EVENT_CDECODEDACKNOWLEDGED_H

#include <cstdint>

#include "Event/CDecodedEvent.h"

namespace Event
{
/// The SCM reports that the operator, in the setup mode, or the automatic configuration acknowledged something;
/// information0 tells what.
class CDecodedAcknowledged : public CDecodedEvent
{
public:
    /// Level of the SCM's acknowledgement events.
    static constexpr std::uint8_t ms_AcknowledgedLevel = 1u;
    static constexpr std::uint16_t ScmSetupModeCode = 49300u;
    static constexpr std::uint16_t ScmAutomaticCode = 49301u;

    enum Kind
    {
        /// Acknowledged while the setup mode is active.
        SetupMode = 1,
        /// Acknowledged automatically.
        Automatic = 2,
    };

    /// Level 1 and a code whose low 16 bits are ScmSetupModeCode or ScmAutomaticCode. Raises 0xE200 for a null
    /// event and 0xE2C8 (information1 = eventLength) for one shorter than 11 bytes.
    static bool IsAcknowledged(std::uint8_t eventLength, const std::uint8_t* event);

    /// SetupMode for ScmSetupModeCode, Automatic for any other code.
    Kind GetKind() const;
};
} // namespace Event

#endif
