// The SCM of a domain as tests, demonstrations and simulators play it: its seven queue ends, complemented on the
// wire, the frame hand-over with the checker and the start-up conditions.
#include "support/Peers/CPlayedScm.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Scm/ScmKernel.h"
#include "scmKernelEmulation.h"
#include "support/Provision/QueueFlows.h"

namespace Support
{
namespace
{
SEM_ID OpenSemaphore(const std::string& name)
{
    SEM_ID semaphore = semOpen(name.c_str(), SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    if (semaphore == nullptr)
    {
        throw std::runtime_error("cannot open semaphore " + name + ": " + std::strerror(errno));
    }
    return semaphore;
}
} // namespace

CPlayedScm::CPlayedScm(std::uint16_t safetyDomainNumber)
    : m_safetyDomainNumber(safetyDomainNumber),
      m_unlockRequests(ScmGetUnlockRequestQueueToScmName, safetyDomainNumber, true),
      m_unlockResponses(ScmGetUnlockResponseQueueFromScmName, safetyDomainNumber, true),
      m_framesToScm(ScmGetFrameQueueToScmName, safetyDomainNumber, true),
      m_framesFromScm(ScmGetFrameQueueFromScmName, safetyDomainNumber, true),
      m_commands(ScmGetCommandQueueToScmName, safetyDomainNumber, true),
      m_responses(ScmGetResponseQueueFromScmName, safetyDomainNumber, true),
      m_events(ScmGetEventQueueFromScmName, safetyDomainNumber, true),
      m_toScm(OpenSemaphore(GetToScmSemaphoreName(safetyDomainNumber))), m_fromScm(nullptr)
{
    try
    {
        m_fromScm = OpenSemaphore(GetFromScmSemaphoreName(safetyDomainNumber));
    }
    catch (...)
    {
        (void)semClose(m_toScm);
        throw;
    }
}

CPlayedScm::~CPlayedScm()
{
    (void)semClose(m_toScm);
    (void)semClose(m_fromScm);
}

std::optional<std::uint32_t> CPlayedScm::WaitForCheckerRevision(std::chrono::milliseconds wait) const
{
    std::uint32_t revisionNumber = 0u;
    if (scmKernelWaitForCondition(m_safetyDomainNumber, ScmCheckerInitialized, static_cast<int>(wait.count()),
                                  &revisionNumber) != 0)
    {
        return std::nullopt;
    }
    return revisionNumber;
}

void CPlayedScm::PublishRevision(std::uint32_t revisionNumber) const
{
    if (scmKernelSetCondition(m_safetyDomainNumber, ScmScmInitialized, revisionNumber) != 0)
    {
        throw std::runtime_error(std::string("cannot set the SCM's condition: ") + std::strerror(errno));
    }
}

bool CPlayedScm::PlayCycle(const std::function<void()>& action, std::chrono::milliseconds wait)
{
    if (semTake(m_toScm, GetTicks(wait)) != OK)
    {
        return false;
    }
    try
    {
        if (action)
        {
            action();
        }
    }
    catch (...)
    {
        // The checker waits for the SCM without a time-out: hand back even when the SCM's cycle failed.
        (void)semGive(m_fromScm);
        throw;
    }
    return semGive(m_fromScm) == OK;
}

bool CPlayedScm::SendUnlockResponse(const Bytes& response)
{
    return m_unlockResponses.Send(response);
}

bool CPlayedScm::SendFrame(const Bytes& frame)
{
    return m_framesFromScm.Send(frame);
}

bool CPlayedScm::SendResponse(const Bytes& response)
{
    return m_responses.Send(response);
}

bool CPlayedScm::SendEvent(const Bytes& event)
{
    return m_events.Send(event);
}

std::optional<Bytes> CPlayedScm::ReceiveUnlockRequest()
{
    return m_unlockRequests.Receive();
}

std::optional<Bytes> CPlayedScm::ReceiveFrame()
{
    return m_framesToScm.Receive();
}

std::optional<Bytes> CPlayedScm::ReceiveCommand()
{
    return m_commands.Receive();
}

std::vector<Bytes> CPlayedScm::ReceiveFrames()
{
    std::vector<Bytes> frames;
    for (std::optional<Bytes> frame = ReceiveFrame(); frame.has_value(); frame = ReceiveFrame())
    {
        frames.push_back(*frame);
    }
    return frames;
}
} // namespace Support
