// The fourteen named message queues between the runtime, the checker and the SCM of the process's domain.
#include "Main/CDefaultMessaging.h"

#include <cerrno>
#include <initializer_list>

#include "Main/CMessagingEventCode.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = 0x49D80768u;

std::uint32_t GetErrorNumber()
{
    return static_cast<std::uint32_t>(errno);
}
} // namespace

namespace Main
{
CDefaultMessaging::CDefaultMessaging()
    : m_unlockRequestQueueFromRuntime(nullptr), m_unlockRequestQueueToScm(nullptr),
      m_unlockResponseQueueFromScm(nullptr), m_unlockResponseQueueToRuntime(nullptr), m_frameQueueFromRuntime(nullptr),
      m_frameQueueToScm(nullptr), m_frameQueueFromScm(nullptr), m_frameQueueToRuntime(nullptr),
      m_commandQueueFromRuntime(nullptr), m_commandQueueToScm(nullptr), m_responseQueueFromScm(nullptr),
      m_responseQueueToRuntime(nullptr), m_eventQueueFromScm(nullptr), m_eventQueueToRuntime(nullptr),
      m_framesAllowed(true), m_initialized(false)
{
}

// The platform's queue handles are a fixed table: a relay that goes away gives back what it still holds, so that
// a program that builds relays one after another (tools, tests) does not run out of them.
CDefaultMessaging::~CDefaultMessaging()
{
    for (MSG_Q_ID* queue :
         {&m_unlockRequestQueueFromRuntime, &m_unlockRequestQueueToScm, &m_unlockResponseQueueFromScm,
          &m_unlockResponseQueueToRuntime, &m_frameQueueFromRuntime, &m_frameQueueToScm, &m_frameQueueFromScm,
          &m_frameQueueToRuntime, &m_commandQueueFromRuntime, &m_commandQueueToScm, &m_responseQueueFromScm,
          &m_responseQueueToRuntime, &m_eventQueueFromScm, &m_eventQueueToRuntime})
    {
        if (*queue != nullptr)
        {
            CloseQueue(*queue);
        }
    }
}

void CDefaultMessaging::Initialize()
{
    SCM_GUARD(!m_initialized);
    OpenAllQueues();
    m_initialized = true;
}

void CDefaultMessaging::OpenAllQueues()
{
    m_unlockRequestQueueFromRuntime = OpenQueue(ScmGetUnlockRequestQueueFromRuntimeName);
    m_unlockRequestQueueToScm = OpenQueue(ScmGetUnlockRequestQueueToScmName);
    m_unlockResponseQueueFromScm = OpenQueue(ScmGetUnlockResponseQueueFromScmName);
    m_unlockResponseQueueToRuntime = OpenQueue(ScmGetUnlockResponseQueueToRuntimeName);
    m_frameQueueFromRuntime = OpenQueue(ScmGetFrameQueueFromRuntimeName);
    m_frameQueueToScm = OpenQueue(ScmGetFrameQueueToScmName);
    m_frameQueueFromScm = OpenQueue(ScmGetFrameQueueFromScmName);
    m_frameQueueToRuntime = OpenQueue(ScmGetFrameQueueToRuntimeName);
    m_commandQueueFromRuntime = OpenQueue(ScmGetCommandQueueFromRuntimeName);
    m_commandQueueToScm = OpenQueue(ScmGetCommandQueueToScmName);
    m_responseQueueFromScm = OpenQueue(ScmGetResponseQueueFromScmName);
    m_responseQueueToRuntime = OpenQueue(ScmGetResponseQueueToRuntimeName);
    m_eventQueueFromScm = OpenQueue(ScmGetEventQueueFromScmName);
    m_eventQueueToRuntime = OpenQueue(ScmGetEventQueueToRuntimeName);
}

// The runtime and the SCM create the queues; opening without a capacity never creates one.
MSG_Q_ID CDefaultMessaging::OpenQueue(ScmQueueNameFunction nameFunction)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    if (nameFunction(GetSafetyDomainNumber(), name) == nullptr)
    {
        throw Util::CException(CMessagingEventCode::OpenFailed, static_cast<std::uint32_t>(EINVAL));
    }
    MSG_Q_ID queue = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    if (queue == nullptr)
    {
        throw Util::CException(CMessagingEventCode::OpenFailed, GetErrorNumber());
    }
    return queue;
}

void CDefaultMessaging::InhibitFrames()
{
    SCM_GUARD(m_initialized);
    if (m_framesAllowed)
    {
        CloseAllFrameQueues();
        m_framesAllowed = false;
    }
}

void CDefaultMessaging::CloseAllFrameQueues()
{
    CloseQueue(m_frameQueueFromRuntime);
    CloseQueue(m_frameQueueToScm);
    CloseQueue(m_frameQueueFromScm);
    CloseQueue(m_frameQueueToRuntime);
}

// Closing happens on the way to fail-safe: a failure to release a handle changes nothing that matters then.
void CDefaultMessaging::CloseQueue(MSG_Q_ID& queue)
{
    (void)msgQDelete(queue);
    queue = nullptr;
}

bool CDefaultMessaging::IsEmpty(MSG_Q_ID queue)
{
    MSG_Q_INFO information{};
    if (msgQInfoGet(queue, &information) != OK)
    {
        throw Util::CException(CMessagingEventCode::InformationFailed, GetErrorNumber());
    }
    return information.numMsgs == 0u;
}

bool CDefaultMessaging::IsFull(MSG_Q_ID queue)
{
    MSG_Q_INFO information{};
    if (msgQInfoGet(queue, &information) != OK)
    {
        throw Util::CException(CMessagingEventCode::InformationFailed, GetErrorNumber());
    }
    return information.numMsgs == information.maxMsgs;
}

bool CDefaultMessaging::CanReceiveMessage(MSG_Q_ID queue) const
{
    SCM_GUARD(m_initialized);
    return !IsEmpty(queue);
}

bool CDefaultMessaging::CanSendMessage(MSG_Q_ID queue) const
{
    SCM_GUARD(m_initialized);
    return !IsFull(queue);
}

bool CDefaultMessaging::CanReceiveFrame(MSG_Q_ID queue) const
{
    SCM_GUARD(m_initialized);
    return m_framesAllowed && CanReceiveMessage(queue);
}

bool CDefaultMessaging::CanSendFrame(MSG_Q_ID queue) const
{
    SCM_GUARD(m_initialized);
    return m_framesAllowed && CanSendMessage(queue);
}

std::uint16_t CDefaultMessaging::ReceiveMessage(MSG_Q_ID queue, std::uint16_t bufferLength, std::uint8_t* buffer) const
{
    SCM_GUARD(m_initialized);
    SCM_GUARD(buffer != nullptr);
    const ssize_t length = msgQReceive(queue, reinterpret_cast<char*>(buffer), bufferLength, NO_WAIT);
    if (length == ERROR)
    {
        throw Util::CException(CMessagingEventCode::ReceiveFailed, GetErrorNumber());
    }
    return static_cast<std::uint16_t>(length);
}

void CDefaultMessaging::SendMessage(MSG_Q_ID queue, std::uint16_t length, const std::uint8_t* message) const
{
    SCM_GUARD(m_initialized);
    SCM_GUARD(message != nullptr);
    if (msgQSend(queue, reinterpret_cast<const char*>(message), length, NO_WAIT, MSG_PRI_NORMAL) != OK)
    {
        throw Util::CException(CMessagingEventCode::SendFailed, GetErrorNumber());
    }
}

bool CDefaultMessaging::CanReceiveUnlockRequestFromRuntime()
{
    return CanReceiveMessage(m_unlockRequestQueueFromRuntime);
}

std::uint8_t CDefaultMessaging::ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(ReceiveMessage(m_unlockRequestQueueFromRuntime, bufferLength, buffer));
}

bool CDefaultMessaging::CanSendUnlockRequestToScm()
{
    return CanSendMessage(m_unlockRequestQueueToScm);
}

void CDefaultMessaging::SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message)
{
    SendMessage(m_unlockRequestQueueToScm, length, message);
}

bool CDefaultMessaging::CanReceiveUnlockResponseFromScm()
{
    return CanReceiveMessage(m_unlockResponseQueueFromScm);
}

std::uint8_t CDefaultMessaging::ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(ReceiveMessage(m_unlockResponseQueueFromScm, bufferLength, buffer));
}

bool CDefaultMessaging::CanSendUnlockResponseToRuntime()
{
    return CanSendMessage(m_unlockResponseQueueToRuntime);
}

void CDefaultMessaging::SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    SendMessage(m_unlockResponseQueueToRuntime, length, message);
}

bool CDefaultMessaging::CanReceiveFrameFromRuntime()
{
    return CanReceiveFrame(m_frameQueueFromRuntime);
}

std::uint16_t CDefaultMessaging::ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return ReceiveMessage(m_frameQueueFromRuntime, bufferLength, buffer);
}

bool CDefaultMessaging::CanSendFrameToScm()
{
    return CanSendFrame(m_frameQueueToScm);
}

void CDefaultMessaging::SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message)
{
    SendMessage(m_frameQueueToScm, length, message);
}

bool CDefaultMessaging::CanReceiveFrameFromScm()
{
    return CanReceiveFrame(m_frameQueueFromScm);
}

std::uint16_t CDefaultMessaging::ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return ReceiveMessage(m_frameQueueFromScm, bufferLength, buffer);
}

bool CDefaultMessaging::CanSendFrameToRuntime()
{
    return CanSendFrame(m_frameQueueToRuntime);
}

void CDefaultMessaging::SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    SendMessage(m_frameQueueToRuntime, length, message);
}

bool CDefaultMessaging::CanReceiveCommandFromRuntime()
{
    return CanReceiveMessage(m_commandQueueFromRuntime);
}

std::uint8_t CDefaultMessaging::ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(ReceiveMessage(m_commandQueueFromRuntime, bufferLength, buffer));
}

bool CDefaultMessaging::CanSendCommandToScm()
{
    return CanSendMessage(m_commandQueueToScm);
}

void CDefaultMessaging::SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message)
{
    SendMessage(m_commandQueueToScm, length, message);
}

bool CDefaultMessaging::CanReceiveResponseFromScm()
{
    return CanReceiveMessage(m_responseQueueFromScm);
}

std::uint16_t CDefaultMessaging::ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer)
{
    return ReceiveMessage(m_responseQueueFromScm, bufferLength, buffer);
}

bool CDefaultMessaging::CanSendResponseToRuntime()
{
    return CanSendMessage(m_responseQueueToRuntime);
}

void CDefaultMessaging::SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message)
{
    SendMessage(m_responseQueueToRuntime, length, message);
}

bool CDefaultMessaging::CanReceiveEventFromScm()
{
    return CanReceiveMessage(m_eventQueueFromScm);
}

std::uint8_t CDefaultMessaging::ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer)
{
    return static_cast<std::uint8_t>(ReceiveMessage(m_eventQueueFromScm, bufferLength, buffer));
}

bool CDefaultMessaging::CanSendEventToRuntime()
{
    return CanSendMessage(m_eventQueueToRuntime);
}

void CDefaultMessaging::SendEventToRuntime(std::uint8_t length, const std::uint8_t* message)
{
    SendMessage(m_eventQueueToRuntime, length, message);
}
} // namespace Main
