// Traffic in every flow around a running checker, cycle by cycle, for campaigns that also meet a checker which no
// longer hands over.
#ifndef SUPPORT_LOAD_CLOADPLAYER_H
#define SUPPORT_LOAD_CLOADPLAYER_H

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Peers/CPlayedDomain.h"

namespace Support
{
/// What one drain of every queue of the peers found, and when it began.
struct CDrain
{
    /// CLOCK_MONOTONIC in microseconds when the drain began: whatever a later drain finds was sent after it.
    std::uint64_t m_startUs = 0u;
    /// The checker handed over in this cycle (the drain ran inside the hand-over).
    bool m_handedOver = false;
    std::uint64_t m_framesAtRuntime = 0u;
    std::uint64_t m_framesAtScm = 0u;
    std::uint64_t m_commandsAtScm = 0u;
    std::uint64_t m_responsesAtRuntime = 0u;
    std::uint64_t m_unlockRequestsAtScm = 0u;
    std::uint64_t m_unlockResponsesAtRuntime = 0u;
    /// Events of the checker itself (0xE200 to 0xE2FF) and events of the SCM that it relayed.
    std::vector<CEventRecord> m_checkerEvents;
    std::uint64_t m_relayedEvents = 0u;
    /// A status response at the runtime carried the checker's fail-safe flag.
    bool m_checkerFailSafe = false;

    std::uint64_t GetFrames() const
    {
        return m_framesAtRuntime + m_framesAtScm;
    }
    /// Anything at all arrived, or the checker handed over: its check task is cycling.
    bool ShowsProgress() const;
};

/// What the peers send in one cycle besides the steady load.
struct CCycleLoad
{
    /// Frames each way (each side stops early when its queue is full).
    unsigned m_framesEachWay = 1u;
    /// The runtime's operator command; nothing sends a status request when m_statusRequest is set.
    std::optional<Bytes> m_command;
    bool m_statusRequest = true;
    /// The runtime also sends an unlock request (the first one starts the checker's 60-second reset deadline).
    bool m_unlockRequest = false;
};

/// Both peers of a provisioned domain played with a steady load: in each cycle the SCM answers every command with
/// a successful status and sends frames, an event and an unlock response; the runtime sends frames, a command and,
/// when asked, an unlock request. A cycle drains every queue first, inside the hand-over when the checker hands
/// over within the wait, otherwise without it, so that a checker that stopped handing over is still served.
class CLoadPlayer
{
public:
    /// The peers of the domain (its queues and semaphores must exist). `frameSadr` and `frameUdid` name the module
    /// whose SADR assignment (from the SCM) and answer (from the runtime) make up the frame load.
    CLoadPlayer(std::uint16_t safetyDomainNumber, std::chrono::milliseconds handOverWait, std::uint16_t frameSadr,
                const Udid& frameUdid);

    CPlayedDomain& GetPeers()
    {
        return m_peers;
    }

    /// One cycle; returns what its drain found.
    CDrain Cycle(const CCycleLoad& load = CCycleLoad());

    /// The time of CLOCK_MONOTONIC in microseconds, as the checker's event log stamps its records.
    static std::uint64_t GetMonotonicUs();

private:
    void Drain(CDrain& drain);
    void Send(const CCycleLoad& load);

    std::chrono::milliseconds m_handOverWait;
    CPlayedDomain m_peers;
    Bytes m_frameFromRuntime;
    Bytes m_frameFromScm;
    Bytes m_statusRequest;
    Bytes m_status;
    Bytes m_event;
    Bytes m_unlock;
};
} // namespace Support

#endif
