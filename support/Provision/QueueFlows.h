// The fourteen queues of a domain with the longest message of each flow, and the two hand-over semaphores.
#ifndef SUPPORT_PROVISION_QUEUEFLOWS_H
#define SUPPORT_PROVISION_QUEUEFLOWS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "Scm/ScmQueueNames.h"

namespace Support
{
/// One queue: the function that names it and the longest message of its flow.
struct CQueueFlow
{
    ScmQueueNameFunction m_nameFunction;
    std::size_t m_maxMessageLength;
};

constexpr std::size_t QueueCount = 14u;
constexpr std::size_t UnlockMessageLengthMax = 21u;
constexpr std::size_t FrameLengthMax = 521u;
constexpr std::size_t CommandLengthMax = 42u;
constexpr std::size_t ResponseLengthMax = 280u;
constexpr std::size_t EventLengthMax = 11u;

/// The fourteen queues in the checker's opening order.
const std::array<CQueueFlow, QueueCount>& GetQueueFlows();

/// The name of a queue for the domain ("/scm0007/~frame-send").
std::string GetQueueName(const CQueueFlow& flow, std::uint16_t safetyDomainNumber);

/// Names of the two hand-over semaphores: to the SCM ("/scm%04u/~frame-send") and from it
/// ("/scm%04u/~frame-receive").
std::string GetToScmSemaphoreName(std::uint16_t safetyDomainNumber);
std::string GetFromScmSemaphoreName(std::uint16_t safetyDomainNumber);
} // namespace Support

#endif
