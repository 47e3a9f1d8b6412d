// Common base of every decoded event from the SCM: the fields of the 11-byte event record.
#ifndef EVENT_CDECODEDEVENT_H
#define EVENT_CDECODEDEVENT_H

#include <cstdint>

namespace Event
{
class CDecodedEventVisitor;

/// An event record (little-endian, no padding): level (offset 0), code (uint32 at 1, of which the low 16 bits
/// count), information0 (uint16 at 5) and information1 (uint32 at 7). The object points into the caller's event
/// buffer and is valid until the owning decoder decodes the next event.
class CDecodedEvent
{
public:
    static constexpr std::uint32_t ms_EventLength = 11u;
    static constexpr std::uint32_t ms_LevelOffset = 0u;
    static constexpr std::uint32_t ms_CodeOffset = 1u;
    static constexpr std::uint32_t ms_Information0Offset = 5u;
    static constexpr std::uint32_t ms_Information1Offset = 7u;

    CDecodedEvent();
    CDecodedEvent(const CDecodedEvent&) = delete;
    CDecodedEvent& operator=(const CDecodedEvent&) = delete;

    /// Calls the visitor operation named after the concrete class, or none for an unknown event.
    virtual void Accept(CDecodedEventVisitor& visitor) const = 0;
    virtual ~CDecodedEvent();

    /// Stores the event without checking it; only the event decoder calls it.
    void Initialize(std::uint8_t eventLength, const std::uint8_t* event);

    // Readers of a raw event: a null event raises 0xE200; one shorter than 11 bytes raises 0xE2C8 (EventTooShort,
    // information1 = eventLength).

    /// The checked record itself.
    static const std::uint8_t* GetEvent(std::uint8_t eventLength, const std::uint8_t* event);
    static std::uint8_t GetLevel(std::uint8_t eventLength, const std::uint8_t* event);
    /// The low 16 bits of the code field.
    static std::uint16_t GetCode(std::uint8_t eventLength, const std::uint8_t* event);
    static std::uint16_t GetInformation0(std::uint8_t eventLength, const std::uint8_t* event);
    static std::uint32_t GetInformation1(std::uint8_t eventLength, const std::uint8_t* event);

    // The same readers over the stored event, with the same codes.

    std::uint8_t GetLevel() const;
    std::uint16_t GetCode() const;
    std::uint16_t GetInformation0() const;
    std::uint32_t GetInformation1() const;

private:
    std::uint8_t m_eventLength;
    const std::uint8_t* m_event;
};
} // namespace Event

#endif
