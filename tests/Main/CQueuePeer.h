// The runtime's and the SCM's ends of a domain's fourteen queues, for tests that drive the checker over real queues.
#ifndef TESTS_MAIN_CQUEUEPEER_H
#define TESTS_MAIN_CQUEUEPEER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"
#include "support/Messages/Bytes.h"

namespace Doubles
{
/// Opens the queues that a provisioner has created and moves raw bytes on any of them, named by their name
/// function (ScmGetFrameQueueFromRuntimeName, ...). What the SCM's side carries complemented is left to the
/// test. Failures are test failures.
class CQueuePeer
{
public:
    explicit CQueuePeer(std::uint16_t safetyDomainNumber);
    ~CQueuePeer();
    CQueuePeer(const CQueuePeer&) = delete;
    CQueuePeer& operator=(const CQueuePeer&) = delete;

    /// Sends without waiting; false when the queue is full.
    bool Send(ScmQueueNameFunction queue, const Support::Bytes& message);
    /// The next message, or nothing when the queue is empty.
    std::optional<Support::Bytes> Receive(ScmQueueNameFunction queue);
    std::size_t Count(ScmQueueNameFunction queue);
    std::size_t Capacity(ScmQueueNameFunction queue);
    /// Sends copies of message until the queue is full; returns how many went in.
    std::size_t Fill(ScmQueueNameFunction queue, const Support::Bytes& message);
    /// Receives everything waiting.
    void Drain(ScmQueueNameFunction queue);

private:
    MSG_Q_ID Get(ScmQueueNameFunction queue) const;

    std::map<ScmQueueNameFunction, MSG_Q_ID> m_queues;
};
} // namespace Doubles

#endif
