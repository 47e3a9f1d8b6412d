// msgQLib over POSIX message queues: a fixed handle table with one receive buffer per handle.
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mqueue.h>
#include <mutex>
#include <sys/stat.h>

#include "CCancellationPoint.h"
#include "CIpcName.h"
#include "IpcRegistry.h"
#include "KernelFiles.h"
#include "PlatformErrors.h"
#include "PlatformHooks.h"
#include "Ticks.h"
#include "msgQLib.h"

/// One open queue. Messages shorter than the queue's maximum need a receive buffer of the queue's size, as
/// POSIX refuses shorter ones: each handle owns one, guarded by its own lock.
struct ScmPlatformMessageQueue
{
    bool m_inUse;
    mqd_t m_descriptor;
    std::size_t m_maxMessageLength;
    std::mutex m_receiveMutex;
    std::array<char, MSG_Q_MAX_MESSAGE_LENGTH> m_receiveBuffer;
};

namespace
{
using Platform::Fail;
using Platform::FailNull;

static_assert(MSG_Q_MAX_OPEN > 14, "the checker holds its fourteen queues at once");
static_assert(MSG_Q_MAX_OPEN * MSG_Q_MAX_MESSAGE_LENGTH <= 512 * 1024, "receive buffers stay a bounded table");

constexpr mode_t QueuePermissions = 0660;
constexpr long DefaultSystemCapacityMax = 10;

std::mutex tableMutex;
std::array<ScmPlatformMessageQueue, MSG_Q_MAX_OPEN> queueTable;

ScmPlatformMessageQueue* FindQueue(MSG_Q_ID id)
{
    const auto address = reinterpret_cast<std::uintptr_t>(id);
    const auto first = reinterpret_cast<std::uintptr_t>(queueTable.data());
    if ((address < first) || ((address - first) % sizeof(ScmPlatformMessageQueue) != 0u))
    {
        return nullptr;
    }
    const std::size_t index = (address - first) / sizeof(ScmPlatformMessageQueue);
    if ((index >= queueTable.size()) || !queueTable[index].m_inUse)
    {
        return nullptr;
    }
    return &queueTable[index];
}

// /proc/sys/fs/mqueue/msg_max: the largest capacity for processes without CAP_SYS_RESOURCE.
long GetSystemCapacityMax()
{
    std::uint64_t value = 0u;
    if (!Platform::ReadUnsignedFile("/proc/sys/fs/mqueue/msg_max", 65536u, &value) || (value == 0u))
    {
        return DefaultSystemCapacityMax;
    }
    return static_cast<long>(value);
}

mqd_t CreateQueue(const char* posixName, std::size_t maxMsgs, std::size_t maxMsgLength, bool exclusive)
{
    mq_attr attributes{};
    attributes.mq_maxmsg = static_cast<long>(maxMsgs);
    attributes.mq_msgsize = static_cast<long>(maxMsgLength);
    for (;;)
    {
        const mqd_t descriptor =
            mq_open(posixName, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, QueuePermissions, &attributes);
        if (descriptor != static_cast<mqd_t>(-1))
        {
            Platform::RegisterCreatedIpcObject(Platform::RegistryQueue, posixName);
            // The mode given to mq_open passes through the umask: set it as meant.
            if (fchmod(descriptor, QueuePermissions) != 0)
            {
                const int error = errno;
                (void)mq_close(descriptor);
                (void)mq_unlink(posixName);
                errno = error;
                return static_cast<mqd_t>(-1);
            }
            return descriptor;
        }
        if ((errno == EEXIST) && !exclusive)
        {
            return mq_open(posixName, O_RDWR | O_CLOEXEC);
        }
        const long systemMax = GetSystemCapacityMax();
        if ((errno != EINVAL) || (attributes.mq_maxmsg <= systemMax))
        {
            return static_cast<mqd_t>(-1);
        }
        // Unprivileged processes may not exceed msg_max: take the largest capacity the system allows.
        attributes.mq_maxmsg = systemMax;
    }
}

timespec GetQueueDeadline(int timeout)
{
    // A deadline in the past makes the OS return at once instead of blocking: the NO_WAIT case on a blocking
    // descriptor, which the waiting calls need.
    return (timeout == NO_WAIT) ? timespec{} : Platform::GetDeadline(CLOCK_REALTIME, timeout);
}
} // namespace

extern "C" MSG_Q_ID msgQOpen(const char* name, size_t maxMsgs, size_t maxMsgLength, int options, int mode,
                             void* context)
{
    (void)options;
    (void)context;
    if (Platform::TryFail(Platform::FaultMsgQOpen))
    {
        return nullptr;
    }
    const Platform::CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        return FailNull<ScmPlatformMessageQueue>(posixName.GetError());
    }
    const bool create = (static_cast<unsigned>(mode) & OM_CREATE) != 0u;
    if (create && ((maxMsgs == 0u) || (maxMsgLength == 0u)))
    {
        return FailNull<ScmPlatformMessageQueue>(EINVAL);
    }
    if (create && (maxMsgLength > MSG_Q_MAX_MESSAGE_LENGTH))
    {
        return FailNull<ScmPlatformMessageQueue>(EMSGSIZE);
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    ScmPlatformMessageQueue* slot = nullptr;
    for (ScmPlatformMessageQueue& entry : queueTable)
    {
        if (!entry.m_inUse)
        {
            slot = &entry;
            break;
        }
    }
    if (slot == nullptr)
    {
        return FailNull<ScmPlatformMessageQueue>(EMFILE);
    }
    const mqd_t descriptor =
        create ? CreateQueue(posixName.Get(), maxMsgs, maxMsgLength, (static_cast<unsigned>(mode) & OM_EXCL) != 0u)
               : mq_open(posixName.Get(), O_RDWR | O_CLOEXEC);
    if (descriptor == static_cast<mqd_t>(-1))
    {
        return FailNull<ScmPlatformMessageQueue>(Platform::TranslateOpenError(errno));
    }
    mq_attr attributes{};
    if ((mq_getattr(descriptor, &attributes) != 0) || (attributes.mq_msgsize <= 0) ||
        (static_cast<std::size_t>(attributes.mq_msgsize) > MSG_Q_MAX_MESSAGE_LENGTH))
    {
        (void)mq_close(descriptor);
        return FailNull<ScmPlatformMessageQueue>(EMSGSIZE);
    }
    slot->m_descriptor = descriptor;
    slot->m_maxMessageLength = static_cast<std::size_t>(attributes.mq_msgsize);
    slot->m_inUse = true;
    return slot;
}

extern "C" STATUS msgQSend(MSG_Q_ID msgQId, const char* buffer, size_t nBytes, int timeout, int priority)
{
    if (Platform::TryFail(Platform::FaultMsgQSend))
    {
        return ERROR;
    }
    ScmPlatformMessageQueue* queue = FindQueue(msgQId);
    if (queue == nullptr)
    {
        return Fail(EBADF);
    }
    if (((buffer == nullptr) && (nBytes != 0u)) || (timeout < WAIT_FOREVER))
    {
        return Fail(EINVAL);
    }
    if (nBytes > queue->m_maxMessageLength)
    {
        return Fail(EMSGSIZE);
    }
    const unsigned posixPriority = (priority == MSG_PRI_URGENT) ? 1u : 0u;
    const char* message = (buffer == nullptr) ? "" : buffer;
    int result = 0;
    if (timeout == WAIT_FOREVER)
    {
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            result = mq_send(queue->m_descriptor, message, nBytes, posixPriority);
        } while ((result != 0) && (errno == EINTR));
    }
    else
    {
        const timespec deadline = GetQueueDeadline(timeout);
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            result = mq_timedsend(queue->m_descriptor, message, nBytes, posixPriority, &deadline);
        } while ((result != 0) && (errno == EINTR));
    }
    return (result == 0) ? OK : Fail(Platform::TranslateWaitError(errno, timeout));
}

namespace
{
ssize_t ReceiveInto(mqd_t descriptor, char* buffer, std::size_t length, int timeout)
{
    ssize_t received = -1;
    if (timeout == WAIT_FOREVER)
    {
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            received = mq_receive(descriptor, buffer, length, nullptr);
        } while ((received < 0) && (errno == EINTR));
    }
    else
    {
        const timespec deadline = GetQueueDeadline(timeout);
        const Platform::CCancellationPoint cancellationPoint;
        do
        {
            received = mq_timedreceive(descriptor, buffer, length, nullptr, &deadline);
        } while ((received < 0) && (errno == EINTR));
    }
    if (received < 0)
    {
        errno = Platform::TranslateWaitError(errno, timeout);
    }
    return received;
}
} // namespace

extern "C" ssize_t msgQReceive(MSG_Q_ID msgQId, char* buffer, size_t maxNBytes, int timeout)
{
    if (Platform::TryFail(Platform::FaultMsgQReceive))
    {
        return ERROR;
    }
    ScmPlatformMessageQueue* queue = FindQueue(msgQId);
    if (queue == nullptr)
    {
        return Fail(EBADF);
    }
    if (((buffer == nullptr) && (maxNBytes != 0u)) || (timeout < WAIT_FOREVER))
    {
        return Fail(EINVAL);
    }
    if (maxNBytes >= queue->m_maxMessageLength)
    {
        return ReceiveInto(queue->m_descriptor, buffer, maxNBytes, timeout);
    }
    std::unique_lock<std::mutex> lock(queue->m_receiveMutex, std::defer_lock);
    if (timeout == NO_WAIT)
    {
        // Another task receiving on this very handle holds the buffer; NO_WAIT must not wait for it.
        if (!lock.try_lock())
        {
            return Fail(EAGAIN);
        }
    }
    else
    {
        lock.lock();
    }
    const ssize_t received =
        ReceiveInto(queue->m_descriptor, queue->m_receiveBuffer.data(), queue->m_maxMessageLength, timeout);
    if (received < 0)
    {
        return ERROR;
    }
    const std::size_t kept =
        (static_cast<std::size_t>(received) < maxNBytes) ? static_cast<std::size_t>(received) : maxNBytes;
    if (kept > 0u)
    {
        std::memcpy(buffer, queue->m_receiveBuffer.data(), kept);
    }
    return static_cast<ssize_t>(kept);
}

extern "C" STATUS msgQInfoGet(MSG_Q_ID msgQId, MSG_Q_INFO* info)
{
    if (Platform::TryFail(Platform::FaultMsgQInfoGet))
    {
        return ERROR;
    }
    ScmPlatformMessageQueue* queue = FindQueue(msgQId);
    if (queue == nullptr)
    {
        return Fail(EBADF);
    }
    if (info == nullptr)
    {
        return Fail(EINVAL);
    }
    mq_attr attributes{};
    if (mq_getattr(queue->m_descriptor, &attributes) != 0)
    {
        return Fail(errno);
    }
    info->numMsgs = static_cast<size_t>(attributes.mq_curmsgs);
    info->maxMsgs = static_cast<size_t>(attributes.mq_maxmsg);
    info->maxMsgLength = static_cast<size_t>(attributes.mq_msgsize);
    info->options = MSG_Q_FIFO;
    return OK;
}

extern "C" STATUS msgQDelete(MSG_Q_ID msgQId)
{
    if (Platform::TryFail(Platform::FaultMsgQDelete))
    {
        return ERROR;
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    ScmPlatformMessageQueue* queue = FindQueue(msgQId);
    if (queue == nullptr)
    {
        return Fail(EBADF);
    }
    // Only the handle goes: the queue and its messages stay for the peer that created it.
    (void)mq_close(queue->m_descriptor);
    queue->m_inUse = false;
    return OK;
}

extern "C" STATUS msgQUnlink(const char* name)
{
    if (Platform::TryFail(Platform::FaultMsgQUnlink))
    {
        return ERROR;
    }
    const Platform::CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        return Fail(posixName.GetError());
    }
    return (mq_unlink(posixName.Get()) == 0) ? OK : Fail(errno);
}
