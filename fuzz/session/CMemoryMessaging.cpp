// The seven message flows of a session in memory, with the checker's safety rules checked at every send.
#include "fuzz/session/CMemoryMessaging.h"

#include <cstring>

#include "Main/CDefaultSession.h"
#include "fuzz/common/FuzzSupport.h"

namespace Fuzz
{
CMemoryMessaging::CMemoryMessaging(std::function<bool()> isFailSafe)
    : m_isFailSafe(std::move(isFailSafe)), m_flows(), m_framesInhibited(false)
{
}

std::size_t CMemoryMessaging::GetLengthMax(Flow flow)
{
    using Session = Main::CDefaultSession;
    switch (flow)
    {
    case UnlockRequest:
    case UnlockResponse:
        return Session::ms_UnlockMessageLengthMax;
    case FrameFromRuntime:
    case FrameFromScm:
        return Session::ms_FrameLengthMax;
    case Command:
        return Session::ms_CommandLengthMax;
    case Response:
        return Session::ms_ResponseLengthMax;
    case Event:
    default:
        return Session::ms_EventLengthMax;
    }
}

void CMemoryMessaging::Offer(Flow flow, const Message& message)
{
    if (message.size() <= GetLengthMax(flow))
    {
        m_flows[flow].m_source.push_back(message);
    }
}

void CMemoryMessaging::EmptyDestinations()
{
    for (CFlowState& state : m_flows)
    {
        state.m_destinationCount = 0u;
    }
}

bool CMemoryMessaging::HasPendingMessages() const
{
    // Frames wait for good once the frame queues are closed.
    for (unsigned flow = 0u; flow < FlowCount; ++flow)
    {
        const bool frames = (flow == FrameFromRuntime) || (flow == FrameFromScm);
        if (!m_flows[flow].m_source.empty() && !(frames && m_framesInhibited))
        {
            return true;
        }
    }
    return false;
}

bool CMemoryMessaging::CanReceive(Flow flow) const
{
    return !m_flows[flow].m_source.empty();
}

std::size_t CMemoryMessaging::Receive(Flow flow, std::size_t bufferLength, std::uint8_t* buffer)
{
    CFlowState& state = m_flows[flow];
    FUZZ_REQUIRE(!state.m_source.empty(), "the session receives only after a successful test");
    FUZZ_REQUIRE(buffer != nullptr, "the session receives into a buffer");
    FUZZ_REQUIRE((bufferLength == 0u) || (bufferLength >= GetLengthMax(flow)),
                 "the session's buffer takes the longest message of the flow");
    state.m_received = std::move(state.m_source.front());
    state.m_source.pop_front();
    const std::size_t length = (state.m_received.size() < bufferLength) ? state.m_received.size() : bufferLength;
    if (length != 0u)
    {
        std::memcpy(buffer, state.m_received.data(), length);
    }
    return length;
}

bool CMemoryMessaging::CanSend(Flow flow) const
{
    return m_flows[flow].m_destinationCount < ms_DestinationCapacity;
}

void CMemoryMessaging::Send(Flow flow, std::size_t length, const std::uint8_t* message, bool complemented, bool compare)
{
    CFlowState& state = m_flows[flow];
    FUZZ_REQUIRE(state.m_destinationCount < ms_DestinationCapacity, "the session sends only where there is room");
    FUZZ_REQUIRE(length <= GetLengthMax(flow), "a sent message fits its flow");
    ++state.m_destinationCount;
    // A heap copy of exactly the sent length, so that a read past the session's message is seen.
    const Message sent(message, message + length);
    if (!compare)
    {
        return;
    }
    FUZZ_REQUIRE(sent.size() == state.m_received.size(), "a relayed message keeps its length");
    for (std::size_t i = 0u; i < sent.size(); ++i)
    {
        const auto expected = static_cast<std::uint8_t>(complemented ? ~state.m_received[i] : state.m_received[i]);
        FUZZ_REQUIRE(sent[i] == expected, "a relayed message is the received one, every bit restored or complemented");
    }
}

void CMemoryMessaging::RequireFramesAllowed() const
{
    FUZZ_REQUIRE(!m_framesInhibited, "no frame passes once the frame queues are closed");
    FUZZ_REQUIRE(!m_isFailSafe(), "no frame passes once the domain is fail-safe");
}

bool CMemoryMessaging::CanReceiveUnlockRequestFromRuntime()
{
    return CanReceive(UnlockRequest);
}

std::uint8_t CMemoryMessaging::ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(UnlockRequest, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendUnlockRequestToScm()
{
    return CanSend(UnlockRequest);
}

void CMemoryMessaging::SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message)
{
    Send(UnlockRequest, length, message, true, true);
}

bool CMemoryMessaging::CanReceiveUnlockResponseFromScm()
{
    return CanReceive(UnlockResponse);
}

std::uint8_t CMemoryMessaging::ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(UnlockResponse, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendUnlockResponseToRuntime()
{
    return CanSend(UnlockResponse);
}

void CMemoryMessaging::SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    Send(UnlockResponse, length, message, true, true);
}

bool CMemoryMessaging::CanReceiveFrameFromRuntime()
{
    return !m_framesInhibited && CanReceive(FrameFromRuntime);
}

std::uint16_t CMemoryMessaging::ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    RequireFramesAllowed();
    return static_cast<std::uint16_t>(Receive(FrameFromRuntime, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendFrameToScm()
{
    return !m_framesInhibited && CanSend(FrameFromRuntime);
}

void CMemoryMessaging::SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message)
{
    RequireFramesAllowed();
    Send(FrameFromRuntime, length, message, true, true);
}

bool CMemoryMessaging::CanReceiveFrameFromScm()
{
    return !m_framesInhibited && CanReceive(FrameFromScm);
}

std::uint16_t CMemoryMessaging::ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    RequireFramesAllowed();
    return static_cast<std::uint16_t>(Receive(FrameFromScm, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendFrameToRuntime()
{
    return !m_framesInhibited && CanSend(FrameFromScm);
}

void CMemoryMessaging::SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    RequireFramesAllowed();
    Send(FrameFromScm, length, message, true, true);
}

void CMemoryMessaging::InhibitFrames()
{
    m_framesInhibited = true;
}

bool CMemoryMessaging::CanReceiveCommandFromRuntime()
{
    return CanReceive(Command);
}

std::uint8_t CMemoryMessaging::ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(Command, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendCommandToScm()
{
    return CanSend(Command);
}

void CMemoryMessaging::SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message)
{
    Send(Command, length, message, true, true);
}

bool CMemoryMessaging::CanReceiveResponseFromScm()
{
    return CanReceive(Response);
}

std::uint16_t CMemoryMessaging::ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint16_t>(Receive(Response, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendResponseToRuntime()
{
    return CanSend(Response);
}

// The session writes its fail-safe state and its own objects into responses: only the length is kept.
void CMemoryMessaging::SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    FUZZ_REQUIRE(length == m_flows[Response].m_received.size(), "a relayed response keeps its length");
    Send(Response, length, message, true, false);
}

bool CMemoryMessaging::CanReceiveEventFromScm()
{
    return CanReceive(Event);
}

std::uint8_t CMemoryMessaging::ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(Event, bufferLength, buffer));
}

bool CMemoryMessaging::CanSendEventToRuntime()
{
    return CanSend(Event);
}

void CMemoryMessaging::SendEventToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    Send(Event, length, message, true, true);
}
} // namespace Fuzz
