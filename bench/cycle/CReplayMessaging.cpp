// In-memory queues replaying one cycle's messages.
#include "bench/cycle/CReplayMessaging.h"

#include <algorithm>
#include <cstring>

namespace Bench
{
void CReplayMessaging::Rewind()
{
    for (CFlow* flow : {&m_unlockRequestsFromRuntime, &m_unlockResponsesFromScm, &m_framesFromRuntime, &m_framesFromScm,
                        &m_commandsFromRuntime, &m_responsesFromScm, &m_eventsFromScm})
    {
        flow->m_next = 0u;
    }
}

bool CReplayMessaging::CanReceive(const CFlow& flow)
{
    return flow.m_next < flow.m_messages.size();
}

// A queue hands over at most the buffer's length; a zero-length buffer discards the message.
std::size_t CReplayMessaging::Receive(CFlow& flow, std::size_t bufferLength, std::uint8_t* buffer)
{
    const Support::Bytes& message = flow.m_messages[flow.m_next];
    ++flow.m_next;
    const std::size_t length = std::min(bufferLength, message.size());
    std::memcpy(buffer, message.data(), length);
    return length;
}

void CReplayMessaging::Send(std::uint64_t& count, std::size_t length, const std::uint8_t* message)
{
    std::memcpy(m_sink, message, std::min(length, sizeof m_sink));
    ++count;
}

bool CReplayMessaging::CanReceiveUnlockRequestFromRuntime()
{
    return CanReceive(m_unlockRequestsFromRuntime);
}

std::uint8_t CReplayMessaging::ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(m_unlockRequestsFromRuntime, bufferLength, buffer));
}

bool CReplayMessaging::CanSendUnlockRequestToScm()
{
    return true;
}

void CReplayMessaging::SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message)
{
    Send(m_sentToScm, length, message);
}

bool CReplayMessaging::CanReceiveUnlockResponseFromScm()
{
    return CanReceive(m_unlockResponsesFromScm);
}

std::uint8_t CReplayMessaging::ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(m_unlockResponsesFromScm, bufferLength, buffer));
}

bool CReplayMessaging::CanSendUnlockResponseToRuntime()
{
    return true;
}

void CReplayMessaging::SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    Send(m_sentToRuntime, length, message);
}

bool CReplayMessaging::CanReceiveFrameFromRuntime()
{
    return !m_framesInhibited && CanReceive(m_framesFromRuntime);
}

std::uint16_t CReplayMessaging::ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint16_t>(Receive(m_framesFromRuntime, bufferLength, buffer));
}

bool CReplayMessaging::CanSendFrameToScm()
{
    return !m_framesInhibited;
}

void CReplayMessaging::SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message)
{
    Send(m_sentToScm, length, message);
}

bool CReplayMessaging::CanReceiveFrameFromScm()
{
    return !m_framesInhibited && CanReceive(m_framesFromScm);
}

std::uint16_t CReplayMessaging::ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint16_t>(Receive(m_framesFromScm, bufferLength, buffer));
}

bool CReplayMessaging::CanSendFrameToRuntime()
{
    return !m_framesInhibited;
}

void CReplayMessaging::SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    Send(m_sentToRuntime, length, message);
}

void CReplayMessaging::InhibitFrames()
{
    m_framesInhibited = true;
}

bool CReplayMessaging::CanReceiveCommandFromRuntime()
{
    return CanReceive(m_commandsFromRuntime);
}

std::uint8_t CReplayMessaging::ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(m_commandsFromRuntime, bufferLength, buffer));
}

bool CReplayMessaging::CanSendCommandToScm()
{
    return true;
}

void CReplayMessaging::SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message)
{
    Send(m_sentToScm, length, message);
}

bool CReplayMessaging::CanReceiveResponseFromScm()
{
    return CanReceive(m_responsesFromScm);
}

std::uint16_t CReplayMessaging::ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint16_t>(Receive(m_responsesFromScm, bufferLength, buffer));
}

bool CReplayMessaging::CanSendResponseToRuntime()
{
    return true;
}

void CReplayMessaging::SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    Send(m_sentToRuntime, length, message);
}

bool CReplayMessaging::CanReceiveEventFromScm()
{
    return CanReceive(m_eventsFromScm);
}

std::uint8_t CReplayMessaging::ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(Receive(m_eventsFromScm, bufferLength, buffer));
}

bool CReplayMessaging::CanSendEventToRuntime()
{
    return true;
}

void CReplayMessaging::SendEventToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    Send(m_sentToRuntime, length, message);
}
} // namespace Bench
