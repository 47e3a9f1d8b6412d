// The SCM reports a number of modules as acknowledged.
#ifndef EVENT_CDECODEDMODULESACKNOWLEDGED_H
#define EVENT_CDECODEDMODULESACKNOWLEDGED_H

#include <cstdint>

#include "Event/CDecodedAcknowledged.h"

namespace Event
{
/// An acknowledgement event with information0 8.
class CDecodedModulesAcknowledged : public CDecodedAcknowledged
{
public:
    static constexpr std::uint16_t ms_Information0 = 8u;

    /// An acknowledgement event with information0 8. Raises 0xE200 for a null event and 0xE2C8 (information1 =
    /// eventLength) for one shorter than 11 bytes.
    static bool IsModulesAcknowledged(std::uint8_t eventLength, const std::uint8_t* event);

    /// Calls VisitModulesAcknowledged.
    void Accept(CDecodedEventVisitor& visitor) const override;
    /// The low 16 bits of information1.
    std::uint16_t GetAcknowledgedModuleCount() const;
};
} // namespace Event

#endif
