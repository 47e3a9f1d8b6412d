// One queue end of a played peer: opened by name, plain or complemented on the wire.
#ifndef SUPPORT_PEERS_CPEERQUEUE_H
#define SUPPORT_PEERS_CPEERQUEUE_H

#include <chrono>
#include <cstdint>
#include <optional>

#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"
#include "support/Messages/Bytes.h"

namespace Support
{
/// Opens an existing queue of the domain (the provisioner created it) and keeps the handle until destruction.
/// A complemented queue carries every byte complemented, as the SCM's side does: Send complements what it is
/// given and Receive complements what it takes, so callers always see plain messages.
class CPeerQueue
{
public:
    /// Throws std::runtime_error naming the queue when it does not exist.
    CPeerQueue(ScmQueueNameFunction nameFunction, std::uint16_t safetyDomainNumber, bool complemented);
    ~CPeerQueue();
    CPeerQueue(const CPeerQueue&) = delete;
    CPeerQueue& operator=(const CPeerQueue&) = delete;

    /// Sends without waiting; false when the queue is full.
    bool Send(const Bytes& message);
    /// The next message, waiting at most the given time for one (zero: not at all); nothing when none came.
    std::optional<Bytes> Receive(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    /// The number of messages waiting.
    std::size_t GetCount() const;

private:
    MSG_Q_ID m_queue;
    bool m_complemented;
};

/// Ticks of the platform's clock for a wait (at least one tick for a non-zero wait).
int GetTicks(std::chrono::milliseconds wait);
} // namespace Support

#endif
