// The PLC runtime of a domain as tests, demonstrations and simulators play it: its seven queue ends, plain.
#include "support/Peers/CPlayedRuntime.h"

#include <cerrno>
#include <cstring>
#include <ios>
#include <stdexcept>
#include <string>

#include "Scm/ScmEventLog.h"
#include "Scm/ScmKernel.h"
#include "scmKernelEmulation.h"

namespace Support
{
namespace
{
std::uint32_t ReadLittleEndian(const Bytes& bytes, std::size_t offset, std::size_t length)
{
    std::uint32_t value = 0u;
    for (std::size_t i = length; i > 0u; --i)
    {
        value = (value << 8u) | bytes[offset + i - 1u];
    }
    return value;
}
} // namespace

std::optional<CEventRecord> CEventRecord::Parse(const Bytes& message)
{
    if (message.size() != ScmEvent::ms_Length)
    {
        return std::nullopt;
    }
    CEventRecord record;
    record.m_level = message[ScmEvent::ms_LevelOffset];
    record.m_code = ReadLittleEndian(message, ScmEvent::ms_CodeOffset, 4u);
    record.m_information0 = static_cast<std::uint16_t>(ReadLittleEndian(message, ScmEvent::ms_Information0Offset, 2u));
    record.m_information1 = ReadLittleEndian(message, ScmEvent::ms_Information1Offset, 4u);
    return record;
}

bool operator==(const CEventRecord& left, const CEventRecord& right)
{
    return (left.m_level == right.m_level) && (left.m_code == right.m_code) &&
           (left.m_information0 == right.m_information0) && (left.m_information1 == right.m_information1);
}

bool operator!=(const CEventRecord& left, const CEventRecord& right)
{
    return !(left == right);
}

std::ostream& operator<<(std::ostream& stream, const CEventRecord& record)
{
    const std::ios_base::fmtflags flags = stream.flags();
    stream << "level=" << static_cast<unsigned>(record.m_level) << " code=0x" << std::hex << std::uppercase
           << record.m_code;
    stream.flags(flags);
    return stream << " info0=" << record.m_information0 << " info1=" << record.m_information1;
}

CPlayedRuntime::CPlayedRuntime(std::uint16_t safetyDomainNumber)
    : m_safetyDomainNumber(safetyDomainNumber),
      m_unlockRequests(ScmGetUnlockRequestQueueFromRuntimeName, safetyDomainNumber, false),
      m_unlockResponses(ScmGetUnlockResponseQueueToRuntimeName, safetyDomainNumber, false),
      m_framesToScm(ScmGetFrameQueueFromRuntimeName, safetyDomainNumber, false),
      m_framesFromScm(ScmGetFrameQueueToRuntimeName, safetyDomainNumber, false),
      m_commands(ScmGetCommandQueueFromRuntimeName, safetyDomainNumber, false),
      m_responses(ScmGetResponseQueueToRuntimeName, safetyDomainNumber, false),
      m_events(ScmGetEventQueueToRuntimeName, safetyDomainNumber, false)
{
}

void CPlayedRuntime::StartDomain()
{
    if (scmKernelSetCondition(m_safetyDomainNumber, ScmStarted, 0u) != 0)
    {
        throw std::runtime_error(std::string("cannot set the started condition: ") + std::strerror(errno));
    }
}

bool CPlayedRuntime::SendUnlockRequest(const Bytes& request)
{
    return m_unlockRequests.Send(request);
}

bool CPlayedRuntime::SendFrame(const Bytes& frame)
{
    return m_framesToScm.Send(frame);
}

bool CPlayedRuntime::SendCommand(const Bytes& command)
{
    return m_commands.Send(command);
}

std::optional<Bytes> CPlayedRuntime::ReceiveUnlockResponse(std::chrono::milliseconds wait)
{
    return m_unlockResponses.Receive(wait);
}

std::optional<Bytes> CPlayedRuntime::ReceiveFrame(std::chrono::milliseconds wait)
{
    return m_framesFromScm.Receive(wait);
}

std::optional<Bytes> CPlayedRuntime::ReceiveResponse(std::chrono::milliseconds wait)
{
    return m_responses.Receive(wait);
}

std::optional<Bytes> CPlayedRuntime::ReceiveEventMessage(std::chrono::milliseconds wait)
{
    return m_events.Receive(wait);
}

std::optional<CEventRecord> CPlayedRuntime::ReceiveEvent(std::chrono::milliseconds wait)
{
    const std::optional<Bytes> message = m_events.Receive(wait);
    return message.has_value() ? CEventRecord::Parse(*message) : std::nullopt;
}

std::vector<CEventRecord> CPlayedRuntime::ReceiveEvents()
{
    std::vector<CEventRecord> events;
    for (std::optional<CEventRecord> event = ReceiveEvent(); event.has_value(); event = ReceiveEvent())
    {
        events.push_back(*event);
    }
    return events;
}
} // namespace Support
