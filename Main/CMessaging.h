// Interface: The seven message flows between the runtime and the SCM, as the session moves them.
#ifndef MAIN_CMESSAGING_H
#define MAIN_CMESSAGING_H

#include <cstdint>

namespace Main
{
/// One operation set per flow: a non-blocking test whether a message can be received (one waits) or sent (the
/// destination has room), and the receive and send operations. The SCM's side carries every byte complemented;
/// the operations that touch it say so in their names and move the bytes unchanged: the caller complements them.
///
/// A receive returns the number of bytes received; a longer message is cut to bufferLength, and a bufferLength of
/// 0 removes and discards the next message. A send never waits: callers test the Can operation first. Failures of
/// the queues raise Util::CException with a code of Main::CMessagingEventCode (information1 = errno); a null
/// buffer or a use before initialisation raises 0xE200.
///
/// After InhibitFrames the four frame tests are false for good, while the other flows go on. InhibitFrames must
/// not run while another task is inside one of the frame operations: the session serialises them.
class CMessaging
{
public:
    virtual ~CMessaging() = default;

    virtual bool CanReceiveUnlockRequestFromRuntime() = 0;
    virtual std::uint8_t ReceiveUnlockRequestFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendUnlockRequestToScm() = 0;
    virtual void SendInvertedUnlockRequestToScm(std::uint8_t length, const std::uint8_t* message) = 0;

    virtual bool CanReceiveUnlockResponseFromScm() = 0;
    virtual std::uint8_t ReceiveInvertedUnlockResponseFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendUnlockResponseToRuntime() = 0;
    virtual void SendUnlockResponseToRuntime(std::uint8_t length, const std::uint8_t* message) = 0;

    virtual bool CanReceiveFrameFromRuntime() = 0;
    virtual std::uint16_t ReceiveFrameFromRuntime(std::uint16_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendFrameToScm() = 0;
    virtual void SendInvertedFrameToScm(std::uint16_t length, const std::uint8_t* message) = 0;

    virtual bool CanReceiveFrameFromScm() = 0;
    virtual std::uint16_t ReceiveInvertedFrameFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendFrameToRuntime() = 0;
    virtual void SendFrameToRuntime(std::uint16_t length, const std::uint8_t* message) = 0;

    /// Closes the four frame queues for good; a second call does nothing. Raises nothing once initialised.
    virtual void InhibitFrames() = 0;

    virtual bool CanReceiveCommandFromRuntime() = 0;
    virtual std::uint8_t ReceiveCommandFromRuntime(std::uint8_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendCommandToScm() = 0;
    virtual void SendInvertedCommandToScm(std::uint8_t length, const std::uint8_t* message) = 0;

    virtual bool CanReceiveResponseFromScm() = 0;
    virtual std::uint16_t ReceiveInvertedResponseFromScm(std::uint16_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendResponseToRuntime() = 0;
    virtual void SendResponseToRuntime(std::uint16_t length, const std::uint8_t* message) = 0;

    virtual bool CanReceiveEventFromScm() = 0;
    virtual std::uint8_t ReceiveInvertedEventFromScm(std::uint8_t bufferLength, std::uint8_t* buffer) = 0;
    virtual bool CanSendEventToRuntime() = 0;
    virtual void SendEventToRuntime(std::uint8_t length, const std::uint8_t* message) = 0;

protected:
    CMessaging() = default;
    CMessaging(const CMessaging&) = default;
    CMessaging& operator=(const CMessaging&) = default;
};
} // namespace Main

#endif
