// The session's unlock handshake, the reset lock and the unlock-timeout task.
#include "Main/CDefaultSession.h"

#include <cstdlib>
#include <ctime>

#include "Main/CMessaging.h"
#include "Main/CSessionEventCode.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "taskLib.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDefaultSessionUnlock.cpp");
} // namespace

namespace Main
{
void CDefaultSession::HandleAllUnlockRequests()
{
    SCM_GUARD(m_initialized);
    if (m_messaging.CanReceiveUnlockRequestFromRuntime() && m_messaging.CanSendUnlockRequestToScm())
    {
        HandleUnlockRequest();
    }
}

// Once an unlock has been requested the PLC is reset at the deadline at the latest; a later request does not
// move it, and nothing withdraws it. The deadline runs on the monotonic clock: setting the wall clock back must not
// put the reset off.
void CDefaultSession::HandleUnlockRequest()
{
    const std::uint8_t length =
        m_messaging.ReceiveUnlockRequestFromRuntime(ms_UnlockMessageLengthMax, m_unlockRequestResponseBuffer);
    if (m_plcResetTimestamp.load() == ms_NoResetTimestamp)
    {
        timespec now{};
        (void)clockGetTime(CLOCK_MONOTONIC, &now);
        m_plcResetTimestamp.store(static_cast<std::uint32_t>(now.tv_sec) + ms_UnlockResetDelay);
    }
    Util::InvertMemory(length, m_unlockRequestResponseBuffer);
    m_messaging.SendInvertedUnlockRequestToScm(length, m_unlockRequestResponseBuffer);
}

void CDefaultSession::HandleAllUnlockResponses()
{
    SCM_GUARD(m_initialized);
    if (m_messaging.CanReceiveUnlockResponseFromScm() && m_messaging.CanSendUnlockResponseToRuntime())
    {
        HandleUnlockResponse();
    }
}

void CDefaultSession::HandleUnlockResponse()
{
    const std::uint8_t length =
        m_messaging.ReceiveInvertedUnlockResponseFromScm(ms_UnlockMessageLengthMax, m_unlockRequestResponseBuffer);
    Util::InvertMemory(length, m_unlockRequestResponseBuffer);
    m_messaging.SendUnlockResponseToRuntime(length, m_unlockRequestResponseBuffer);
}

std::uint32_t CDefaultSession::GetPlcResetTimestamp() const
{
    SCM_GUARD(m_initialized);
    return m_plcResetTimestamp.load();
}

int CDefaultSession::WaitForUnlockTimeout(CDefaultSession* session)
{
    if (session == nullptr)
    {
        Util::CException::LogError(
            Util::CException(Util::InternalConsistencyEventCode, static_cast<std::uint16_t>(__LINE__), FileIdentifier));
        std::exit(-1);
    }
    const int delay = sysClkRateGet();
    for (;;)
    {
        (void)taskDelay(delay);
        const std::uint32_t stamp = session->GetPlcResetTimestamp();
        if (stamp == ms_NoResetTimestamp)
        {
            continue;
        }
        timespec now{};
        if (clockGetTime(CLOCK_MONOTONIC, &now) != 0)
        {
            Util::CException::LogError(Util::CException(CSessionEventCode::CurrentTimestampFailed));
            session->SwitchToFailSafe();
            return 0;
        }
        if (static_cast<std::uint32_t>(now.tv_sec) > stamp)
        {
            Util::CException::LogError(Util::CException(CSessionEventCode::UnlockTimeoutExceeded));
            ScmResetPlc(SCM_RESET_PLC_MODE_UNLOCK_TIMEOUT);
            session->SwitchToFailSafe();
            return 0;
        }
    }
}

void CDefaultSession::LockReset() const
{
    if (ScmLockReset(GetSafetyDomainNumber()) != 0)
    {
        throw Util::CException(CSessionEventCode::LockResetFailed);
    }
}

void CDefaultSession::UnlockReset() const
{
    if (ScmUnlockReset(GetSafetyDomainNumber()) != 0)
    {
        throw Util::CException(CSessionEventCode::UnlockResetFailed);
    }
}
} // namespace Main
