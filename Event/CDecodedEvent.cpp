// Readers of the event record.
#include "Event/CDecodedEvent.h"

#include "Event/CEventDecoderEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedEvent.cpp");
} // namespace

namespace Event
{
CDecodedEvent::CDecodedEvent() : m_eventLength(0u), m_event(nullptr) {}

CDecodedEvent::~CDecodedEvent()
{
    m_event = nullptr;
}

void CDecodedEvent::Initialize(std::uint8_t eventLength, const std::uint8_t* event)
{
    m_eventLength = eventLength;
    m_event = event;
}

const std::uint8_t* CDecodedEvent::GetEvent(std::uint8_t eventLength, const std::uint8_t* event)
{
    SCM_GUARD(event != nullptr);
    if (eventLength < ms_EventLength - SCM_PLANTED_FAULT_ON(EventLength))
    {
        throw Util::CException(CEventDecoderEventCode::EventTooShort, eventLength);
    }
    return event;
}

std::uint8_t CDecodedEvent::GetLevel(std::uint8_t eventLength, const std::uint8_t* event)
{
    return GetEvent(eventLength, event)[ms_LevelOffset];
}

std::uint16_t CDecodedEvent::GetCode(std::uint8_t eventLength, const std::uint8_t* event)
{
    return Util::GetLittleEndianUInt16(GetEvent(eventLength, event), ms_CodeOffset);
}

std::uint16_t CDecodedEvent::GetInformation0(std::uint8_t eventLength, const std::uint8_t* event)
{
    return Util::GetLittleEndianUInt16(GetEvent(eventLength, event), ms_Information0Offset);
}

std::uint32_t CDecodedEvent::GetInformation1(std::uint8_t eventLength, const std::uint8_t* event)
{
    return Util::GetLittleEndianUInt32(GetEvent(eventLength, event), ms_Information1Offset);
}

std::uint8_t CDecodedEvent::GetLevel() const
{
    return GetLevel(m_eventLength, m_event);
}

std::uint16_t CDecodedEvent::GetCode() const
{
    return GetCode(m_eventLength, m_event);
}

std::uint16_t CDecodedEvent::GetInformation0() const
{
    return GetInformation0(m_eventLength, m_event);
}

std::uint32_t CDecodedEvent::GetInformation1() const
{
    return GetInformation1(m_eventLength, m_event);
}
} // namespace Event
