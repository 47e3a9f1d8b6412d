// The SCM of a domain as tests, demonstrations and simulators play it: its seven queue ends, complemented on the
// wire, the frame hand-over with the checker and the start-up conditions.
#ifndef SUPPORT_PEERS_CPLAYEDSCM_H
#define SUPPORT_PEERS_CPLAYEDSCM_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "semLib.h"
#include "support/Messages/Bytes.h"
#include "support/Peers/CPeerQueue.h"

namespace Support
{
/// The SCM's side of a provisioned domain. Everything on its queues travels complemented; this peer complements
/// for its caller, so that callers send and receive plain messages. The queues and the two hand-over semaphores
/// must exist (CDomainProvisioner) before construction; a missing one throws std::runtime_error.
///
/// The checker hands over once per cycle: it gives the to-SCM semaphore after it has forwarded the runtime's
/// unlock requests, unlock responses and frames, and waits for the from-SCM semaphore before it takes the SCM's
/// events, frames, (forwards the runtime's command) and responses. Within PlayCycle's action the checker
/// therefore waits: what the action sends is handled in this cycle, and what the checker forwarded before this
/// hand-over is already in the SCM's queues.
class CPlayedScm
{
public:
    explicit CPlayedScm(std::uint16_t safetyDomainNumber);
    ~CPlayedScm();
    CPlayedScm(const CPlayedScm&) = delete;
    CPlayedScm& operator=(const CPlayedScm&) = delete;

    /// Waits at most the given time for the checker's revision number (condition 1); nothing when it did not come.
    std::optional<std::uint32_t> WaitForCheckerRevision(std::chrono::milliseconds wait) const;
    /// Sets condition 2 with the SCM's revision number: the SCM has initialised. Throws std::runtime_error when the
    /// kernel refuses.
    void PublishRevision(std::uint32_t revisionNumber) const;

    /// One cycle of the hand-over: waits at most `wait` for the checker's give of the to-SCM semaphore, runs the
    /// action (the SCM's own cycle), then gives the from-SCM semaphore back, also when the action throws. False when
    /// the checker did not hand over in time (nothing is given back then).
    bool PlayCycle(const std::function<void()>& action = {},
                   std::chrono::milliseconds wait = std::chrono::milliseconds(10000));

    /// Each sends one plain message complemented, without waiting; false when the queue is full.
    bool SendUnlockResponse(const Bytes& response);
    bool SendFrame(const Bytes& frame);
    bool SendResponse(const Bytes& response);
    bool SendEvent(const Bytes& event);

    /// Each takes the next message and returns it plain; nothing when none is waiting.
    std::optional<Bytes> ReceiveUnlockRequest();
    std::optional<Bytes> ReceiveFrame();
    std::optional<Bytes> ReceiveCommand();
    /// Every frame waiting now, oldest first.
    std::vector<Bytes> ReceiveFrames();

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
    SEM_ID m_toScm;
    SEM_ID m_fromScm;
};
} // namespace Support

#endif
