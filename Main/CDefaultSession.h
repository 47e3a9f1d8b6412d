// The checker's session with the SCM: the relay of every message flow, the fail-safe switch and the reset guard.
#ifndef MAIN_CDEFAULTSESSION_H
#define MAIN_CDEFAULTSESSION_H

#include <atomic>
#include <cstdint>
#include <mutex>

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/CFrameDecoder.h"
#include "Event/CEventDecoder.h"
#include "Hmi/CCommandDecoder.h"
#include "Hmi/CDecodedResponseVisitor.h"
#include "Hmi/CObjectDictionary.h"
#include "Hmi/CResponseDecoder.h"
#include "Main/CSession.h"
#include "Util/Inversion.h"

namespace Main
{
class CMessaging;
class CInspector;

/// Driven by the check task, which calls the handlers in a fixed order every cycle. Frames from the runtime reach
/// the SCM complemented after inspection; frames from the SCM are released only when the four checks have
/// restored every bit of the complemented frame to the session's own decoded copy. Commands are forwarded at once
/// under the reset lock and inspected when the SCM reports their success; responses carry the checker's
/// fail-safe state; events are inspected under the reset lock. The first unlock request starts a deadline after
/// which the timeout task resets the PLC and switches to fail-safe.
///
/// Two tasks share the object: the timeout task reads the reset deadline and may switch to fail-safe. The switch
/// is serialised against each frame operation, so no frame queue is closed under a running send or receive and
/// no frame passes once the switch has returned. Everything else belongs to the check task.
///
/// Raises: every handler, SwitchToFailSafe and GetPlcResetTimestamp raise 0xE200 before Initialize.
class CDefaultSession : public CSession,
                        public Epls::CDecodedFrameVisitor,
                        public Hmi::CDecodedResponseVisitor,
                        public Hmi::CObjectDictionary
{
public:
    static constexpr int ms_TimeoutTaskPriority = 127;
    static constexpr std::uint32_t ms_TimeoutTaskNameLengthMax = 50u;
    static constexpr const char* ms_TimeoutTaskNamePattern = "scm%04d/timeout";
    static constexpr std::uint32_t ms_TimeoutTaskStackSize = 4096u;
    /// No PLC reset pending.
    static constexpr std::uint32_t ms_NoResetTimestamp = 0u;
    /// Seconds from the first unlock request to the PLC reset.
    static constexpr std::uint32_t ms_UnlockResetDelay = 60u;
    /// Microseconds between two warnings about frames dropped on their way to the runtime.
    static constexpr std::uint32_t ms_DoppedSentFrameWarningInterval = 60000000u;

    /// The largest message of each flow that the session takes; longer ones are cut by the queue.
    static constexpr std::uint8_t ms_UnlockMessageLengthMax = 21u;
    static constexpr std::uint16_t ms_FrameLengthMax = 521u;
    static constexpr std::uint8_t ms_CommandLengthMax = 42u;
    static constexpr std::uint16_t ms_ResponseLengthMax = 280u;
    static constexpr std::uint8_t ms_EventLengthMax = 11u;
    /// Messages handled per cycle and flow.
    static constexpr std::uint32_t ms_FrameCountPerCycleMax = 20u;
    static constexpr std::uint32_t ms_EventCountPerCycleMax = 10u;
    /// The checker's own diagnosis object: its minor firmware version.
    static constexpr std::uint16_t ms_FirmwareVersionObjectIndex = 0x2432u;
    static constexpr std::uint8_t ms_FirmwareVersionMinorSubIndex = 1u;
    static constexpr std::uint8_t ms_UnknownSubIndexError = 2u;

    CDefaultSession(CMessaging& messaging, CInspector& inspector);
    CDefaultSession(const CDefaultSession&) = delete;
    CDefaultSession& operator=(const CDefaultSession&) = delete;
    /// Deletes the timeout task if one was spawned (and waits until it has ended).
    ~CDefaultSession() override;

    /// Spawns the timeout task "scm%04d/timeout" of the process's domain. Raises 0xE209 (TimeoutStartTaskFailed)
    /// when it cannot be spawned, 0xE200 when called twice.
    void Initialize();

    /// At most one request per cycle, forwarded complemented; the first one starts the reset deadline, which later
    /// requests leave as it is.
    void HandleAllUnlockRequests() override;
    /// At most one response per cycle, forwarded plain; the deadline stays.
    void HandleAllUnlockResponses() override;
    /// Up to 20 frames, each decoded, inspected and forwarded complemented. A frame that does not decode is logged
    /// as a warning with the decoder's code and dropped; an objection of the inspector leaves as CException.
    void HandleAllReceivedFrames() override;
    /// Nothing once fail-safe. Up to 20 frames: each is released to the runtime only when the inspector has
    /// restored it to the decoded copy (else 0xE20B, FrameCopiesInconsistent, information0/1 = the first two bytes
    /// of the frame and of the copy, little-endian); while the runtime's queue is full, frames are dropped and
    /// counted, and 0xE246 (QueueFull) is logged as a warning with the count at most once per 60 s.
    void HandleAllSentFrames() override;
    /// At most one command per cycle: forwarded complemented under the reset lock (0xE20C, LockResetFailed), and
    /// kept as the postponed command.
    void HandleAllCommands() override;
    /// At most one response per cycle: status responses carry the checker's fail-safe state and, when successful,
    /// have the postponed command inspected if no earlier status has had it inspected; diagnosis responses get the
    /// checker's own object. The reset lock is released in every case (0xE20D, UnlockResetFailed); a fault of decoding
    /// or inspection then leaves as CException and the response is not forwarded.
    void HandleAllResponses() override;
    /// Up to 10 events, each inspected under the reset lock and forwarded plain; the lock is released also when
    /// the inspection objects, and the event is then not forwarded.
    void HandleAllEvents() override;
    void SwitchToFailSafe() override;

    /// The second of the monotonic clock after which the PLC is reset; ms_NoResetTimestamp while no unlock was
    /// requested.
    std::uint32_t GetPlcResetTimestamp() const;
    /// False once the domain is fail-safe.
    bool IsValid() const;

    /// Entry of the timeout task: once a second, resets the PLC (mode 32) and switches to fail-safe after logging
    /// 0xE20E (UnlockTimeoutExceeded) when the deadline has passed on the monotonic clock, or switches to fail-safe
    /// after logging 0xE20A (CurrentTimestampFailed) when that clock cannot be read; then it ends. Without a session it
    /// logs 0xE200 and ends the process with -1.
    static int WaitForUnlockTimeout(CDefaultSession* session);

    /// Learns the UDID of the SCM from a frame that assigns it.
    void VisitSnmtAssignUdidScm(const Epls::CDecodedSnmtAssignUdidScm& frame) override;

    void VisitStatus(Hmi::CDecodedStatus& response) override;
    void VisitStatusNew(Hmi::CDecodedStatusNew& response) override;
    void VisitDiagnosis(Hmi::CDecodedDiagnosis& response) override;

    /// Object 0x2432: sub-index 1 is the checker's minor firmware version (error 0), any other sub-index error 2.
    /// Any other index is not held.
    bool TryGetObject(std::uint16_t index, std::uint8_t subIndex, std::uint8_t& error,
                      std::uint32_t& value) const override;

private:
    void HandleReceivedFrame();
    void HandleSentFrame();
    void DropSentFrame();
    void ReportDroppedSentFrames();
    void HandleUnlockRequest();
    void HandleUnlockResponse();
    void HandleCommand();
    void HandleResponse();
    void HandlePostponedCommand();
    void HandleEvent();
    void LockReset() const;
    void UnlockReset() const;

    CMessaging& m_messaging;
    CInspector& m_inspector;
    int m_timeoutTask;
    std::atomic<std::uint32_t> m_plcResetTimestamp;
    std::uint8_t m_unlockRequestResponseBuffer[ms_UnlockMessageLengthMax];
    std::uint8_t m_frameBuffer[ms_FrameLengthMax];
    std::uint8_t m_frameCopyBuffer[ms_FrameLengthMax];
    Epls::CFrameDecoder m_frameDecoder;
    std::uint32_t m_doppedSentFrameWarningTimestamp;
    std::uint32_t m_doppedSentFrameCount;
    std::uint8_t m_commandLength;
    std::uint8_t m_postponedCommandBuffer[ms_CommandLengthMax];
    std::uint8_t m_commandBuffer[ms_CommandLengthMax];
    /// True once the postponed command has been handed to the inspector; a new command clears it.
    bool m_postponedCommandInspected;
    std::uint8_t m_responseBuffer[ms_ResponseLengthMax];
    Hmi::CCommandDecoder m_commandDecoder;
    Hmi::CResponseDecoder m_responseDecoder;
    std::uint8_t m_eventBuffer[ms_EventLengthMax];
    Event::CEventDecoder m_eventDecoder;
    std::uint8_t m_scmUdid[Util::UdidLength];
    std::atomic<bool> m_valid;
    bool m_initialized;
    /// Held by each frame operation and by the fail-safe switch.
    std::mutex m_frameMutex;
};
} // namespace Main

#endif
