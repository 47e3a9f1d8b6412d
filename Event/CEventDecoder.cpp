// Classification of the SCM's events.
#include "Event/CEventDecoder.h"

namespace Event
{
const CDecodedEvent& CEventDecoder::GetDecodedEvent(std::uint8_t eventLength, const std::uint8_t* event)
{
    CDecodedEvent* decoded = &m_unknownEvent;
    if (CDecodedTesseraAcknowledged::IsTesseraAcknowledged(eventLength, event))
    {
        decoded = &m_tesseraAcknowledged;
    }
    else if (CDecodedModulesAcknowledged::IsModulesAcknowledged(eventLength, event))
    {
        decoded = &m_modulesAcknowledged;
    }
    else if (CDecodedFirmwareAcknowledged::IsFirmwareAcknowledged(eventLength, event))
    {
        decoded = &m_firmwareAcknowledged;
    }
    decoded->Initialize(eventLength, event);
    return *decoded;
}
} // namespace Event
