// The session's relay of operator commands, the SCM's responses and events, and the checker's diagnosis object.
#include "Main/CDefaultSession.h"

#include "Hmi/CDecodedDiagnosis.h"
#include "Hmi/CDecodedStatus.h"
#include "Hmi/CDecodedStatusNew.h"
#include "Main/CInspector.h"
#include "Main/CMessaging.h"
#include "Scm/ScmFirmwareIdentification.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDefaultSessionCommandRelay.cpp");
} // namespace

namespace Main
{
void CDefaultSession::HandleAllCommands()
{
    SCM_GUARD(m_initialized);
    if (m_messaging.CanReceiveCommandFromRuntime() && m_messaging.CanSendCommandToScm())
    {
        HandleCommand();
    }
}

// The command is judged only when the SCM reports its success; until the SCM's response has been handled the
// PLC must not be reset under the SCM's work.
void CDefaultSession::HandleCommand()
{
    m_commandLength = m_messaging.ReceiveCommandFromRuntime(ms_CommandLengthMax, m_postponedCommandBuffer);
    m_postponedCommandInspected = false;
    LockReset();
    Util::CopyInvertedMemory(m_commandLength, m_postponedCommandBuffer, m_commandBuffer);
    m_messaging.SendInvertedCommandToScm(m_commandLength, m_commandBuffer);
}

void CDefaultSession::HandleAllResponses()
{
    SCM_GUARD(m_initialized);
    if (m_messaging.CanReceiveResponseFromScm() && m_messaging.CanSendResponseToRuntime())
    {
        HandleResponse();
    }
}

void CDefaultSession::HandleResponse()
{
    const std::uint16_t length = m_messaging.ReceiveInvertedResponseFromScm(ms_ResponseLengthMax, m_responseBuffer);
    Util::InvertMemory(length, m_responseBuffer);
    try
    {
        Hmi::CDecodedResponse& decoded = m_responseDecoder.GetDecodedResponse(length, m_responseBuffer);
        decoded.Accept(*this);
    }
    catch (const Util::CException&)
    {
        UnlockReset();
        throw;
    }
    UnlockReset();
    m_messaging.SendResponseToRuntime(length, m_responseBuffer);
}

void CDefaultSession::VisitStatus(Hmi::CDecodedStatus& response)
{
    response.SetFailSafeFlags(!m_valid.load());
    if (response.IsSuccessful())
    {
        HandlePostponedCommand();
    }
}

void CDefaultSession::VisitStatusNew(Hmi::CDecodedStatusNew& response)
{
    response.SetFailSafeFlag(!m_valid.load());
    if (response.IsSuccessful())
    {
        HandlePostponedCommand();
    }
}

void CDefaultSession::VisitDiagnosis(Hmi::CDecodedDiagnosis& response)
{
    response.FillIn(*this);
}

// A command takes effect once: an extra successful status from the SCM must not make the checker apply the
// operator's last command again. It is marked before the inspection, so a refused command is not judged twice
// either. Without any command since start-up the empty command is judged (and refused) at the first status.
void CDefaultSession::HandlePostponedCommand()
{
    if (m_postponedCommandInspected)
    {
        return;
    }
    m_postponedCommandInspected = true;
    const Hmi::CDecodedCommand& decoded = m_commandDecoder.GetDecodedCommand(m_commandLength, m_postponedCommandBuffer);
    m_inspector.InspectCommand(decoded);
}

bool CDefaultSession::TryGetObject(std::uint16_t index, std::uint8_t subIndex, std::uint8_t& error,
                                   std::uint32_t& value) const
{
    if (index != ms_FirmwareVersionObjectIndex)
    {
        return false;
    }
    if (subIndex == ms_FirmwareVersionMinorSubIndex)
    {
        error = 0u;
        value = Util::GetLittleEndianUInt16(GetFirmwareIdentification(), SCM_FW_IDENT_VERSION_MINOR_OFFSET);
    }
    else
    {
        error = ms_UnknownSubIndexError;
    }
    return true;
}

void CDefaultSession::HandleAllEvents()
{
    SCM_GUARD(m_initialized);
    for (std::uint32_t i = 0u; i < ms_EventCountPerCycleMax; ++i)
    {
        if (!m_messaging.CanReceiveEventFromScm() || !m_messaging.CanSendEventToRuntime())
        {
            break;
        }
        HandleEvent();
    }
}

// The SCM's work that the event reports, and what the checks make of it, is bracketed by the reset lock.
void CDefaultSession::HandleEvent()
{
    const std::uint8_t length = m_messaging.ReceiveInvertedEventFromScm(ms_EventLengthMax, m_eventBuffer);
    Util::InvertMemory(length, m_eventBuffer);
    LockReset();
    try
    {
        const Event::CDecodedEvent& decoded = m_eventDecoder.GetDecodedEvent(length, m_eventBuffer);
        m_inspector.InspectEvent(decoded);
    }
    catch (const Util::CException&)
    {
        UnlockReset();
        throw;
    }
    UnlockReset();
    m_messaging.SendEventToRuntime(length, m_eventBuffer);
}
} // namespace Main
