// Traffic in every flow around a running checker, cycle by cycle.
#include "support/Load/CLoadPlayer.h"

#include <time.h>

#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"

namespace Support
{
namespace
{
constexpr std::uint32_t CheckerEventFirst = 0xE200u;
constexpr std::uint32_t CheckerEventLast = 0xE2FFu;
// The fail-safe flags of the older status response, as the checker rewrites them when it is fail-safe.
constexpr std::size_t StatusFailSafeFlagsOffset = 23u;
constexpr std::uint8_t CheckerFailSafeFlag = 0x04u;
} // namespace

bool CDrain::ShowsProgress() const
{
    return m_handedOver || (GetFrames() != 0u) || (m_commandsAtScm != 0u) || (m_responsesAtRuntime != 0u) ||
           (m_unlockRequestsAtScm != 0u) || (m_unlockResponsesAtRuntime != 0u) || !m_checkerEvents.empty() ||
           (m_relayedEvents != 0u);
}

CLoadPlayer::CLoadPlayer(std::uint16_t safetyDomainNumber, std::chrono::milliseconds handOverWait,
                         std::uint16_t frameSadr, const Udid& frameUdid)
    : m_handOverWait(handOverWait), m_peers(safetyDomainNumber, handOverWait),
      m_frameFromRuntime(CFrameBuilder::SnmtSadrAssigned(frameSadr, frameUdid).Build()),
      m_frameFromScm(CFrameBuilder::SnmtAssignSadr(frameSadr, frameUdid).Build()),
      m_statusRequest(CCommandBuilder::RequestStatus().Build()), m_status(CStatusBuilder().Number(3u).Build()),
      m_event(CEventBuilder().Level(2u).Code(0xC123u).Information0(9u).Information1(7u).Build()),
      m_unlock(21u, 0x5Au)
{
}

std::uint64_t CLoadPlayer::GetMonotonicUs()
{
    timespec now = {};
    (void)clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

CDrain CLoadPlayer::Cycle(const CCycleLoad& load)
{
    CDrain drain;
    const auto work = [&]
    {
        Drain(drain);
        Send(load);
    };
    drain.m_handedOver = m_peers.GetScm().PlayCycle(work, m_handOverWait);
    if (!drain.m_handedOver)
    {
        work();
    }
    return drain;
}

void CLoadPlayer::Drain(CDrain& drain)
{
    drain.m_startUs = GetMonotonicUs();
    CPlayedScm& scm = m_peers.GetScm();
    CPlayedRuntime& runtime = m_peers.GetRuntime();
    drain.m_framesAtScm += scm.ReceiveFrames().size();
    while (scm.ReceiveCommand().has_value())
    {
        ++drain.m_commandsAtScm;
        (void)scm.SendResponse(m_status);
    }
    while (scm.ReceiveUnlockRequest().has_value())
    {
        ++drain.m_unlockRequestsAtScm;
    }
    while (runtime.ReceiveFrame().has_value())
    {
        ++drain.m_framesAtRuntime;
    }
    for (std::optional<Bytes> response = runtime.ReceiveResponse(); response.has_value();
         response = runtime.ReceiveResponse())
    {
        ++drain.m_responsesAtRuntime;
        if ((response->size() == CStatusBuilder::ms_Length) &&
            ((*response)[StatusFailSafeFlagsOffset] == CheckerFailSafeFlag))
        {
            drain.m_checkerFailSafe = true;
        }
    }
    while (runtime.ReceiveUnlockResponse().has_value())
    {
        ++drain.m_unlockResponsesAtRuntime;
    }
    for (std::optional<Bytes> message = runtime.ReceiveEventMessage(); message.has_value();
         message = runtime.ReceiveEventMessage())
    {
        const std::optional<CEventRecord> record = CEventRecord::Parse(*message);
        if (record.has_value() && (record->m_code >= CheckerEventFirst) && (record->m_code <= CheckerEventLast))
        {
            drain.m_checkerEvents.push_back(*record);
        }
        else
        {
            ++drain.m_relayedEvents;
        }
    }
}

void CLoadPlayer::Send(const CCycleLoad& load)
{
    CPlayedScm& scm = m_peers.GetScm();
    CPlayedRuntime& runtime = m_peers.GetRuntime();
    for (unsigned i = 0u; (i < load.m_framesEachWay) && scm.SendFrame(m_frameFromScm); ++i)
    {
    }
    for (unsigned i = 0u; (i < load.m_framesEachWay) && runtime.SendFrame(m_frameFromRuntime); ++i)
    {
    }
    (void)scm.SendEvent(m_event);
    (void)scm.SendUnlockResponse(m_unlock);
    if (load.m_command.has_value())
    {
        (void)runtime.SendCommand(*load.m_command);
    }
    else if (load.m_statusRequest)
    {
        (void)runtime.SendCommand(m_statusRequest);
    }
    if (load.m_unlockRequest)
    {
        (void)runtime.SendUnlockRequest(m_unlock);
    }
}
} // namespace Support
