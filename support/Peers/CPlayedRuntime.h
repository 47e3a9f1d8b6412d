// The PLC runtime of a domain as tests, demonstrations and simulators play it: its seven queue ends, plain.
#ifndef SUPPORT_PEERS_CPLAYEDRUNTIME_H
#define SUPPORT_PEERS_CPLAYEDRUNTIME_H

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Peers/CPeerQueue.h"

namespace Support
{
/// One record of the runtime's event queue: the checker's own events and the SCM's relayed ones alike.
struct CEventRecord
{
    std::uint8_t m_level = 0u;
    std::uint32_t m_code = 0u;
    std::uint16_t m_information0 = 0u;
    std::uint32_t m_information1 = 0u;

    /// The 11-byte record (level, code 32 bits, information0 16 bits, information1 32 bits, little-endian), or
    /// nothing for a message of another length.
    static std::optional<CEventRecord> Parse(const Bytes& message);
};

bool operator==(const CEventRecord& left, const CEventRecord& right);
bool operator!=(const CEventRecord& left, const CEventRecord& right);
/// "level=3 code=0xE2D8 info0=2 info1=55".
std::ostream& operator<<(std::ostream& stream, const CEventRecord& record);

/// The runtime's side of a provisioned domain: it sends unlock requests, frames from the network and operator
/// commands, and receives unlock responses, frames for the network, responses and events, all plain. It also
/// starts the domain (kernel condition 0). The queues must exist (CDomainProvisioner) before construction;
/// a missing one throws std::runtime_error.
class CPlayedRuntime
{
public:
    explicit CPlayedRuntime(std::uint16_t safetyDomainNumber);

    /// Sets condition 0: the runtime has started the domain, so that the checker goes on with its start-up.
    /// Throws std::runtime_error when the kernel refuses.
    void StartDomain();

    /// Each sends one message without waiting; false when the queue is full.
    bool SendUnlockRequest(const Bytes& request);
    bool SendFrame(const Bytes& frame);
    bool SendCommand(const Bytes& command);

    /// Each takes the next message, waiting at most the given time for one; nothing when none came.
    std::optional<Bytes> ReceiveUnlockResponse(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    std::optional<Bytes> ReceiveFrame(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    std::optional<Bytes> ReceiveResponse(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    std::optional<Bytes> ReceiveEventMessage(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    /// The next event message as a record; nothing when none came or it was not 11 bytes long.
    std::optional<CEventRecord> ReceiveEvent(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    /// Every event waiting now, oldest first (a message of another length ends the list).
    std::vector<CEventRecord> ReceiveEvents();

    std::uint16_t GetSafetyDomainNumber() const
    {
        return m_safetyDomainNumber;
    }

private:
    std::uint16_t m_safetyDomainNumber;
    CPeerQueue m_unlockRequests;
    CPeerQueue m_unlockResponses;
    CPeerQueue m_framesToScm;
    CPeerQueue m_framesFromScm;
    CPeerQueue m_commands;
    CPeerQueue m_responses;
    CPeerQueue m_events;
};
} // namespace Support

#endif
