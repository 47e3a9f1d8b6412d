// In-memory queues that offer the same messages in every cycle, so that a benchmark times the session's own work.
#ifndef BENCH_CYCLE_CREPLAYMESSAGING_H
#define BENCH_CYCLE_CREPLAYMESSAGING_H

#include <cstdint>
#include <vector>

#include "Main/CMessaging.h"
#include "support/Messages/Bytes.h"

namespace Bench
{
/// Each flow holds the messages it offers in one cycle, as they would arrive (the SCM's complemented: the caller
/// gives them so). A receive copies the next one like a queue and a send copies into a sink and counts; Rewind
/// offers them all again. Sends always find room. Allocates nothing after the flows are set.
class CReplayMessaging : public Main::CMessaging
{
public:
    struct CFlow
    {
        std::vector<Support::Bytes> m_messages;
        std::size_t m_next = 0u;
    };

    CFlow m_unlockRequestsFromRuntime;
    CFlow m_unlockResponsesFromScm;
    CFlow m_framesFromRuntime;
    CFlow m_framesFromScm;
    CFlow m_commandsFromRuntime;
    CFlow m_responsesFromScm;
    CFlow m_eventsFromScm;

    /// Every message the session sent, per destination, since construction.
    std::uint64_t m_sentToScm = 0u;
    std::uint64_t m_sentToRuntime = 0u;
    bool m_framesInhibited = false;

    void Rewind();

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
    static bool CanReceive(const CFlow& flow);
    static std::size_t Receive(CFlow& flow, std::size_t bufferLength, std::uint8_t* buffer);
    void Send(std::uint64_t& count, std::size_t length, const std::uint8_t* message);

    std::uint8_t m_sink[521] = {};
};
} // namespace Bench

#endif
