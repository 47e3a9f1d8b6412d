// Recognises the SCM's acknowledgement events among all its events.
#ifndef EVENT_CEVENTDECODER_H
#define EVENT_CEVENTDECODER_H

#include <cstdint>

#include "Event/CDecodedFirmwareAcknowledged.h"
#include "Event/CDecodedModulesAcknowledged.h"
#include "Event/CDecodedTesseraAcknowledged.h"
#include "Event/CDecodedUnknownEvent.h"

namespace Event
{
/// Owns one object of every decoded-event class and re-initialises one of them per event: nothing is allocated
/// per event, and a decoded event is valid until the next decode and while the caller's buffer holds it.
class CEventDecoder
{
public:
    CEventDecoder() = default;
    CEventDecoder(const CEventDecoder&) = delete;
    CEventDecoder& operator=(const CEventDecoder&) = delete;
    virtual ~CEventDecoder() = default;

    /// Key medium, modules, firmware acknowledged, else CDecodedUnknownEvent. Raises 0xE200 for a null event and
    /// 0xE2C8 (information1 = eventLength) for one shorter than 11 bytes, which therefore never decodes.
    const CDecodedEvent& GetDecodedEvent(std::uint8_t eventLength, const std::uint8_t* event);

private:
    CDecodedTesseraAcknowledged m_tesseraAcknowledged;
    CDecodedModulesAcknowledged m_modulesAcknowledged;
    CDecodedFirmwareAcknowledged m_firmwareAcknowledged;
    CDecodedUnknownEvent m_unknownEvent;
};
} // namespace Event

#endif
