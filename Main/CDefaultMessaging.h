// The fourteen named message queues between the runtime, the checker and the SCM of the process's domain.
#ifndef MAIN_CDEFAULTMESSAGING_H
#define MAIN_CDEFAULTMESSAGING_H

#include <cstdint>

#include "Main/CMessaging.h"
#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"

namespace Main
{
/// Opens the queues that the runtime and the SCM have created (never creates one) and holds them for the life of
/// the process, except the four frame queues, which InhibitFrames closes. Only the check task uses the object
/// after start-up; InhibitFrames from another task must be serialised against the frame operations by the caller.
///
/// Raises: every operation other than construction raises 0xE200 before Initialize, and Initialize raises it when
/// called twice; receive and send raise 0xE200 for a null buffer. The Can operations raise 0xE243
/// (InformationFailed, information1 = errno), receives 0xE244 (ReceiveFailed), sends 0xE245 (SendFailed).
class CDefaultMessaging : public CMessaging
{
public:
    /// Every handle null, frames allowed, not initialised.
    CDefaultMessaging();
    CDefaultMessaging(const CDefaultMessaging&) = delete;
    CDefaultMessaging& operator=(const CDefaultMessaging&) = delete;
    /// Releases the handles still held (the queues themselves belong to the runtime and the SCM and stay).
    ~CDefaultMessaging() override;

    /// Opens the fourteen queues of GetSafetyDomainNumber() in member order. A queue that cannot be opened raises
    /// 0xE242 (OpenFailed, information1 = errno); the queues opened before it stay open.
    void Initialize();

    bool CanReceiveUnlockRequestFromRuntime() override;
    std::uint8_t ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendUnlockRequestToScm() override;
    void SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveUnlockResponseFromScm() override;
    std::uint8_t ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendUnlockResponseToRuntime() override;
    void SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveFrameFromRuntime() override;
    std::uint16_t ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendFrameToScm() override;
    void SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message) override;

    bool CanReceiveFrameFromScm() override;
    std::uint16_t ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendFrameToRuntime() override;
    void SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message) override;

    void InhibitFrames() override;

    bool CanReceiveCommandFromRuntime() override;
    std::uint8_t ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendCommandToScm() override;
    void SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message) override;

    bool CanReceiveResponseFromScm() override;
    std::uint16_t ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendResponseToRuntime() override;
    void SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message) override;

    bool CanReceiveEventFromScm() override;
    std::uint8_t ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) override;
    bool CanSendEventToRuntime() override;
    void SendEventToRuntime(std::uint8_t length, const std::uint8_t* message) override;

private:
    void OpenAllQueues();
    static MSG_Q_ID OpenQueue(ScmQueueNameFunction nameFunction);
    void CloseAllFrameQueues();
    static void CloseQueue(MSG_Q_ID& queue);
    static bool IsEmpty(MSG_Q_ID queue);
    static bool IsFull(MSG_Q_ID queue);
    bool CanReceiveMessage(MSG_Q_ID queue) const;
    std::uint16_t ReceiveMessage(MSG_Q_ID queue, std::uint16_t bufferLength, std::uint8_t* buffer) const;
    bool CanSendMessage(MSG_Q_ID queue) const;
    void SendMessage(MSG_Q_ID queue, std::uint16_t length, const std::uint8_t* message) const;
    bool CanReceiveFrame(MSG_Q_ID queue) const;
    bool CanSendFrame(MSG_Q_ID queue) const;

    MSG_Q_ID m_unlockRequestQueueFromRuntime;
    MSG_Q_ID m_unlockRequestQueueToScm;
    MSG_Q_ID m_unlockResponseQueueFromScm;
    MSG_Q_ID m_unlockResponseQueueToRuntime;
    MSG_Q_ID m_frameQueueFromRuntime;
    MSG_Q_ID m_frameQueueToScm;
    MSG_Q_ID m_frameQueueFromScm;
    MSG_Q_ID m_frameQueueToRuntime;
    MSG_Q_ID m_commandQueueFromRuntime;
    MSG_Q_ID m_commandQueueToScm;
    MSG_Q_ID m_responseQueueFromScm;
    MSG_Q_ID m_responseQueueToRuntime;
    MSG_Q_ID m_eventQueueFromScm;
    MSG_Q_ID m_eventQueueToRuntime;
    bool m_framesAllowed;
    bool m_initialized;
};
} // namespace Main

#endif
