// The SCM reports the firmware of the modules as acknowledged.
#ifndef EVENT_CDECODEDFIRMWAREACKNOWLEDGED_H
#define EVENT_CDECODEDFIRMWAREACKNOWLEDGED_H

#include <cstdint>

#include "Event/CDecodedAcknowledged.h"

namespace Event
{
/// An acknowledgement event with information0 9.
class CDecodedFirmwareAcknowledged : public CDecodedAcknowledged
{
public:
    static constexpr std::uint16_t ms_Information0 = 9u;

    /// An acknowledgement event with information0 9. Raises 0xE200 for a null event and 0xE2C8 (information1 =
    /// eventLength) for one shorter than 11 bytes.
    static bool IsFirmwareAcknowledged(std::uint8_t eventLength, const std::uint8_t* event);

    /// Calls VisitFirmwareAcknowledged.
    void Accept(CDecodedEventVisitor& visitor) const override;
};
} // namespace Event

#endif
