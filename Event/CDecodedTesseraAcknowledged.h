// The SCM reports the key medium as acknowledged.
#ifndef EVENT_CDECODEDTESSERAACKNOWLEDGED_H
#define EVENT_CDECODEDTESSERAACKNOWLEDGED_H

#include <cstdint>

#include "Event/CDecodedAcknowledged.h"

namespace Event
{
/// An acknowledgement event with information0 7.
class CDecodedTesseraAcknowledged : public CDecodedAcknowledged
{
public:
    static constexpr std::uint16_t ms_Information0 = 7u;

    /// An acknowledgement event with information0 7. Raises 0xE200 for a null event and 0xE2C8 (information1 =
    /// eventLength) for one shorter than 11 bytes.
    static bool IsTesseraAcknowledged(std::uint8_t eventLength, const std::uint8_t* event);

    /// Calls VisitTesseraAcknowledged.
    void Accept(CDecodedEventVisitor& visitor) const override;
};
} // namespace Event

#endif
