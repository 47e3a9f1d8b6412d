// The seven message flows of a session in memory, with the checker's safety rules checked at every send.
#ifndef FUZZ_SESSION_CMEMORYMESSAGING_H
#define FUZZ_SESSION_CMEMORYMESSAGING_H

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "Main/CMessaging.h"

namespace Fuzz
{
/// Each flow's source is a queue that the fuzz input fills (the SCM's messages complemented, as they arrive); each
/// destination takes ms_DestinationCapacity messages until the peer empties it (EmptyDestinations, once per
/// cycle). A message longer than its flow's longest cannot be on the queue and is not offered.
///
/// Rules checked at every send (a broken rule aborts): no frame passes in either direction once the session is
/// fail-safe (IsFailSafe); a frame reaches the runtime only as the exact complement of what the SCM sent, that is
/// with every bit restored, and reaches the SCM only as the exact complement of what the runtime sent; commands,
/// unlock messages and events pass unchanged apart from the complement.
class CMemoryMessaging : public Main::CMessaging
{
public:
    enum Flow : unsigned
    {
        UnlockRequest,
        UnlockResponse,
        FrameFromRuntime,
        FrameFromScm,
        Command,
        Response,
        Event,
        FlowCount
    };
    static constexpr std::size_t ms_DestinationCapacity = 8u;
    using Message = std::vector<std::uint8_t>;

    explicit CMemoryMessaging(std::function<bool()> isFailSafe);

    /// The longest message of the flow.
    static std::size_t GetLengthMax(Flow flow);
    /// Queues a message on the flow's source as its sender writes it (complemented for the SCM's flows).
    void Offer(Flow flow, const Message& message);
    void EmptyDestinations();
    bool HasPendingMessages() const;

    bool CanReceiveUnlockRequestFromRuntime() override;
    std::uint8_t ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendUnlockRequestToScm() override;
    void SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveUnlockResponseFromScm() override;
    std::uint8_t ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendUnlockResponseToRuntime() override;
    void SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveFrameFromRuntime() override;
    std::uint16_t ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendFrameToScm() override;
    void SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message) override;

    bool CanReceiveFrameFromScm() override;
    std::uint16_t ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendFrameToRuntime() override;
    void SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message) override;

    void InhibitFrames() override;

    bool CanReceiveCommandFromRuntime() override;
    std::uint8_t ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendCommandToScm() override;
    void SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveResponseFromScm() override;
    std::uint16_t ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendResponseToRuntime() override;
    void SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message) override;

    bool CanReceiveEventFromScm() override;
    std::uint8_t ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendEventToRuntime() override;
    void SendEventToRuntime(std::uint8_t length, const std::uint8_t* message) override;

private:
    struct CFlowState
    {
        std::deque<Message> m_source;
        /// The last message received from the source, as it was on the queue.
        Message m_received;
        std::size_t m_destinationCount = 0u;
    };

    bool CanReceive(Flow flow) const;
    std::size_t Receive(Flow flow, std::size_t bufferLength, std::uint8_t* buffer);
    bool CanSend(Flow flow) const;
    /// Counts the message into the destination and checks it against what was received: complemented when
    /// complemented is true, else unchanged.
    void Send(Flow flow, std::size_t length, const std::uint8_t* message, bool complemented, bool compare);
    void RequireFramesAllowed() const;

    std::function<bool()> m_isFailSafe;
    CFlowState m_flows[FlowCount];
    bool m_framesInhibited;
};
} // namespace Fuzz

#endif
