// The session's core: life cycle, the fail-safe switch and the relay of safety frames in both directions.
#include "Main/CDefaultSession.h"

#include <cstdio>
#include <cstring>

#include "Epls/CDecodedSnmtAssignUdidScm.h"
#include "Main/CInspector.h"
#include "Main/CMessaging.h"
#include "Main/CMessagingEventCode.h"
#include "Main/CSessionEventCode.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"
#include "taskLib.h"

namespace
{
constexpr std::uint32_t FileIdentifier = 0x51400732u;
constexpr int NoTask = -1;

int RunTimeoutTask(_Vx_usr_arg_t session, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                   _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    return Main::CDefaultSession::WaitForUnlockTimeout(reinterpret_cast<Main::CDefaultSession*>(session));
}
} // namespace

namespace Main
{
CDefaultSession::CDefaultSession(CMessaging& messaging, CInspector& inspector)
    : m_messaging(messaging), m_inspector(inspector), m_timeoutTask(NoTask),
      m_plcResetTimestamp(ms_NoResetTimestamp), m_unlockRequestResponseBuffer{}, m_frameBuffer{}, m_frameCopyBuffer{},
      m_frameDecoder(), m_doppedSentFrameWarningTimestamp(0u), m_doppedSentFrameCount(0u),
      m_commandLength(0u), m_postponedCommandBuffer{}, m_commandBuffer{},
      m_postponedCommandInspected(false), m_responseBuffer{}, m_commandDecoder(), m_responseDecoder(), m_eventBuffer{},
      m_eventDecoder(), m_scmUdid{}, m_valid(true), m_initialized(false), m_frameMutex()
{
}

CDefaultSession::~CDefaultSession()
{
    if (m_timeoutTask != NoTask)
    {
        // A task that has already ended after acting is no longer there to delete.
        (void)taskDelete(m_timeoutTask);
        m_timeoutTask = NoTask;
    }
}

void CDefaultSession::Initialize()
{
    SCM_GUARD(!m_initialized);
    char name[ms_TimeoutTaskNameLengthMax + 1u] = {};
    (void)std::snprintf(name, sizeof name, ms_TimeoutTaskNamePattern, static_cast<int>(GetSafetyDomainNumber()));
    name[ms_TimeoutTaskNameLengthMax] = '\0';
    // The timeout task finds the session initialised from its first moment: the flag is set before the spawn,
    // which orders it before everything the task does.
    m_initialized = true;
    const int task = taskSpawn(name, ms_TimeoutTaskPriority, 0, ms_TimeoutTaskStackSize, RunTimeoutTask,
                               reinterpret_cast<_Vx_usr_arg_t>(this), 0, 0, 0, 0, 0, 0, 0, 0, 0);
    if (task == ERROR)
    {
        m_initialized = false;
        throw Util::CException(CSessionEventCode::TimeoutStartTaskFailed);
    }
    m_timeoutTask = task;
}

// The timeout task may switch while the check task is between two frames; holding the frame lock keeps the
// frame queues open until the running frame operation has finished.
void CDefaultSession::SwitchToFailSafe()
{
    SCM_GUARD(m_initialized);
    const std::lock_guard<std::mutex> lock(m_frameMutex);
    m_valid.store(false);
    if (SCM_PLANTED_FAULT_ON(FailSafeKeepsFrames) == 0u)
    {
        m_messaging.InhibitFrames();
    }
}

bool CDefaultSession::IsValid() const
{
    return m_valid.load();
}

void CDefaultSession::HandleAllReceivedFrames()
{
    SCM_GUARD(m_initialized);
    for (std::uint32_t i = 0u; i < ms_FrameCountPerCycleMax; ++i)
    {
        const std::lock_guard<std::mutex> lock(m_frameMutex);
        if (!m_messaging.CanReceiveFrameFromRuntime() || !m_messaging.CanSendFrameToScm())
        {
            break;
        }
        HandleReceivedFrame();
    }
}

void CDefaultSession::HandleReceivedFrame()
{
    const std::uint16_t length = m_messaging.ReceiveFrameFromRuntime(ms_FrameLengthMax, m_frameBuffer);
    const Epls::CDecodedFrame* decoded = nullptr;
    try
    {
        decoded = &m_frameDecoder.GetDecodedFrame(length, m_frameBuffer, m_scmUdid);
    }
    catch (const Util::CException& exception)
    {
        // A malformed frame from the network is the network's fault, not the SCM's: it is dropped.
        Util::CException::LogWarning(exception);
        return;
    }
    m_inspector.InspectReceivedFrame(*decoded);
    Util::InvertMemory(length, m_frameBuffer);
    m_messaging.SendInvertedFrameToScm(length, m_frameBuffer);
}

void CDefaultSession::HandleAllSentFrames()
{
    SCM_GUARD(m_initialized);
    if (!m_valid.load())
    {
        return;
    }
    for (std::uint32_t i = 0u; i < ms_FrameCountPerCycleMax; ++i)
    {
        const std::lock_guard<std::mutex> lock(m_frameMutex);
        if (!m_messaging.CanReceiveFrameFromScm())
        {
            break;
        }
        if (m_messaging.CanSendFrameToRuntime())
        {
            HandleSentFrame();
        }
        else
        {
            DropSentFrame();
        }
    }
    ReportDroppedSentFrames();
}

// The frame as received stays complemented; the inspector restores it bit pair by bit pair, and only a frame
// that every check has restored equals the plain copy that was decoded and inspected.
void CDefaultSession::HandleSentFrame()
{
    const std::uint16_t length = m_messaging.ReceiveInvertedFrameFromScm(ms_FrameLengthMax, m_frameBuffer);
    Util::CopyInvertedMemory(length, m_frameBuffer, m_frameCopyBuffer);
    const Epls::CDecodedFrame& decoded = m_frameDecoder.GetDecodedFrame(length, m_frameCopyBuffer, m_scmUdid);
    m_inspector.InspectSentFrame(decoded, length, m_frameBuffer);
    decoded.Accept(*this);
    if (std::memcmp(m_frameBuffer, m_frameCopyBuffer, length) != 0)
    {
        throw Util::CException(CSessionEventCode::FrameCopiesInconsistent,
                               Util::GetLittleEndianUInt16(m_frameBuffer, 0u),
                               Util::GetLittleEndianUInt16(m_frameCopyBuffer, 0u));
    }
    m_messaging.SendFrameToRuntime(length, m_frameBuffer);
}

void CDefaultSession::DropSentFrame()
{
    (void)m_messaging.ReceiveInvertedFrameFromScm(0u, m_frameBuffer);
    ++m_doppedSentFrameCount;
}

// With the timestamp starting at 0, the first drops after the system has run 60 s are reported at once.
void CDefaultSession::ReportDroppedSentFrames()
{
    if (m_doppedSentFrameCount == 0u)
    {
        return;
    }
    const auto now = static_cast<std::uint32_t>(ScmGetUSecCounter());
    if ((now - m_doppedSentFrameWarningTimestamp) > ms_DoppedSentFrameWarningInterval)
    {
        Util::CException::LogWarning(Util::CException(CMessagingEventCode::QueueFull, 0u, m_doppedSentFrameCount));
        m_doppedSentFrameWarningTimestamp = now;
        m_doppedSentFrameCount = 0u;
    }
}

void CDefaultSession::VisitSnmtAssignUdidScm(const Epls::CDecodedSnmtAssignUdidScm& frame)
{
    std::memcpy(m_scmUdid, frame.GetScmUdid(), sizeof m_scmUdid);
}
} // namespace Main
