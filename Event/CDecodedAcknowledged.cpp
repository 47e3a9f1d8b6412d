// The SCM's acknowledgement events.
#include "Event/CDecodedAcknowledged.h"

namespace Event
{
bool CDecodedAcknowledged::IsAcknowledged(std::uint8_t eventLength, const std::uint8_t* event)
{
    if (GetLevel(eventLength, event) != ms_AcknowledgedLevel)
    {
        return false;
    }
    const std::uint16_t code = GetCode(eventLength, event);
    return (code == ScmSetupModeCode) || (code == ScmAutomaticCode);
}

CDecodedAcknowledged::Kind CDecodedAcknowledged::GetKind() const
{
    return (GetCode() == ScmSetupModeCode) ? SetupMode : Automatic;
}
} // namespace Event
