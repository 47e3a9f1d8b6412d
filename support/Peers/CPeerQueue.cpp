// One queue end of a played peer: opened by name, plain or complemented on the wire.
#include "support/Peers/CPeerQueue.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "taskLib.h"

namespace Support
{
int GetTicks(std::chrono::milliseconds wait)
{
    if (wait.count() <= 0)
    {
        return NO_WAIT;
    }
    const long long ticks = (wait.count() * sysClkRateGet() + 999) / 1000;
    return static_cast<int>((ticks > 0) ? ticks : 1);
}

CPeerQueue::CPeerQueue(ScmQueueNameFunction nameFunction, std::uint16_t safetyDomainNumber, bool complemented)
    : m_queue(nullptr), m_complemented(complemented)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    if (nameFunction(safetyDomainNumber, name) == nullptr)
    {
        throw std::invalid_argument("safety domain number outside 1 to 1023: " + std::to_string(safetyDomainNumber));
    }
    m_queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    if (m_queue == nullptr)
    {
        throw std::runtime_error(std::string("cannot open queue ") + name + ": " + std::strerror(errno));
    }
}

CPeerQueue::~CPeerQueue()
{
    (void)msgQDelete(m_queue);
}

bool CPeerQueue::Send(const Bytes& message)
{
    const Bytes wire = m_complemented ? GetInverted(message) : message;
    return msgQSend(m_queue, reinterpret_cast<const char*>(wire.data()), wire.size(), NO_WAIT, MSG_PRI_NORMAL) == OK;
}

std::optional<Bytes> CPeerQueue::Receive(std::chrono::milliseconds wait)
{
    std::array<char, MSG_Q_MAX_MESSAGE_LENGTH> buffer{};
    const ssize_t length = msgQReceive(m_queue, buffer.data(), buffer.size(), GetTicks(wait));
    if (length < 0)
    {
        return std::nullopt;
    }
    const Bytes wire(buffer.begin(), buffer.begin() + length);
    return m_complemented ? GetInverted(wire) : wire;
}

std::size_t CPeerQueue::GetCount() const
{
    MSG_Q_INFO info{};
    if (msgQInfoGet(m_queue, &info) != OK)
    {
        throw std::runtime_error(std::string("cannot read queue information: ") + std::strerror(errno));
    }
    return info.numMsgs;
}
} // namespace Support
