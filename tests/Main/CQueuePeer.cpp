// The runtime's and the SCM's ends of a domain's fourteen queues, for tests that drive the checker over real queues.
#include "CQueuePeer.h"

#include <gtest/gtest.h>

#include <array>

#include "support/Provision/QueueFlows.h"

namespace Doubles
{
CQueuePeer::CQueuePeer(std::uint16_t safetyDomainNumber)
{
    for (const Support::CQueueFlow& flow : Support::GetQueueFlows())
    {
        const std::string name = Support::GetQueueName(flow, safetyDomainNumber);
        MSG_Q_ID queue = msgQOpen(name.c_str(), 0u, 0u, 0, 0, nullptr);
        EXPECT_NE(nullptr, queue) << "queue " << name << " is not there";
        m_queues[flow.m_nameFunction] = queue;
    }
}

CQueuePeer::~CQueuePeer()
{
    for (const auto& entry : m_queues)
    {
        if (entry.second != nullptr)
        {
            (void)msgQDelete(entry.second);
        }
    }
}

MSG_Q_ID CQueuePeer::Get(ScmQueueNameFunction queue) const
{
    const auto found = m_queues.find(queue);
    return (found != m_queues.end()) ? found->second : nullptr;
}

bool CQueuePeer::Send(ScmQueueNameFunction queue, const Support::Bytes& message)
{
    return msgQSend(Get(queue), reinterpret_cast<const char*>(message.data()), message.size(), NO_WAIT,
                    MSG_PRI_NORMAL) == OK;
}

std::optional<Support::Bytes> CQueuePeer::Receive(ScmQueueNameFunction queue)
{
    std::array<char, MSG_Q_MAX_MESSAGE_LENGTH> buffer{};
    const ssize_t length = msgQReceive(Get(queue), buffer.data(), buffer.size(), NO_WAIT);
    if (length < 0)
    {
        return std::nullopt;
    }
    return Support::Bytes(buffer.begin(), buffer.begin() + length);
}

std::size_t CQueuePeer::Count(ScmQueueNameFunction queue)
{
    MSG_Q_INFO info{};
    EXPECT_EQ(OK, msgQInfoGet(Get(queue), &info));
    return info.numMsgs;
}

std::size_t CQueuePeer::Capacity(ScmQueueNameFunction queue)
{
    MSG_Q_INFO info{};
    EXPECT_EQ(OK, msgQInfoGet(Get(queue), &info));
    return info.maxMsgs;
}

std::size_t CQueuePeer::Fill(ScmQueueNameFunction queue, const Support::Bytes& message)
{
    std::size_t count = 0u;
    while (Send(queue, message))
    {
        ++count;
    }
    return count;
}

void CQueuePeer::Drain(ScmQueueNameFunction queue)
{
    while (Receive(queue).has_value())
    {
    }
}
} // namespace Doubles
