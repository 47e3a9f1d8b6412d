// The runtime and the SCM of one domain played together around a running checker, cycle by cycle.
#include "support/Peers/CPlayedDomain.h"

#include <stdexcept>
#include <string>

namespace Support
{
namespace
{
void Require(bool sent, const char* what)
{
    if (!sent)
    {
        throw std::runtime_error(std::string("queue full: ") + what);
    }
}
} // namespace

CPlayedDomain::CPlayedDomain(std::uint16_t safetyDomainNumber, std::chrono::milliseconds handOverWait)
    : m_handOverWait(handOverWait), m_runtime(safetyDomainNumber), m_scm(safetyDomainNumber)
{
}

std::uint32_t CPlayedDomain::Start(std::optional<std::uint32_t> scmRevisionNumber, std::chrono::milliseconds wait)
{
    m_runtime.StartDomain();
    const std::optional<std::uint32_t> checkerRevisionNumber = m_scm.WaitForCheckerRevision(wait);
    if (!checkerRevisionNumber.has_value())
    {
        throw std::runtime_error("the checker did not publish its revision number");
    }
    m_scm.PublishRevision(scmRevisionNumber.value_or(*checkerRevisionNumber));
    return *checkerRevisionNumber;
}

void CPlayedDomain::Cycle(const std::function<void()>& action)
{
    if (!m_scm.PlayCycle(action, m_handOverWait))
    {
        throw std::runtime_error("the checker did not hand over to the SCM within " +
                                 std::to_string(m_handOverWait.count()) + " ms");
    }
}

void CPlayedDomain::Cycles(unsigned count)
{
    for (unsigned cycle = 0u; cycle < count; ++cycle)
    {
        Cycle();
    }
}

std::vector<Bytes> CPlayedDomain::SendFramesFromScm(const std::vector<Bytes>& frames)
{
    Cycle(
        [&]
        {
            for (const Bytes& frame : frames)
            {
                Require(m_scm.SendFrame(frame), "SCM frames");
            }
        });
    Cycle();
    std::vector<Bytes> received;
    for (std::optional<Bytes> frame = m_runtime.ReceiveFrame(); frame.has_value(); frame = m_runtime.ReceiveFrame())
    {
        received.push_back(*frame);
    }
    return received;
}

std::vector<Bytes> CPlayedDomain::SendFramesFromRuntime(const std::vector<Bytes>& frames)
{
    Cycle(
        [&]
        {
            for (const Bytes& frame : frames)
            {
                Require(m_runtime.SendFrame(frame), "runtime frames");
            }
        });
    std::vector<Bytes> received;
    Cycle([&] { received = m_scm.ReceiveFrames(); });
    return received;
}

CPlayedDomain::CExchange CPlayedDomain::Exchange(const Bytes& request, const std::optional<Bytes>& response)
{
    CExchange exchange;
    Cycle([&] { Require(m_scm.SendFrame(request), "SCM frames"); });
    Cycle(
        [&]
        {
            exchange.m_requestAtRuntime = m_runtime.ReceiveFrame();
            if (exchange.m_requestAtRuntime.has_value() && response.has_value())
            {
                Require(m_runtime.SendFrame(*response), "runtime frames");
            }
        });
    Cycle([&] { exchange.m_responseAtScm = m_scm.ReceiveFrame(); });
    return exchange;
}

CPlayedDomain::CRoundTrip CPlayedDomain::SendCommand(const Bytes& command, const Bytes& response)
{
    CRoundTrip roundTrip;
    Cycle([&] { Require(m_runtime.SendCommand(command), "commands"); });
    Cycle(
        [&]
        {
            roundTrip.m_commandAtScm = m_scm.ReceiveCommand();
            Require(m_scm.SendResponse(response), "responses");
        });
    Cycle();
    roundTrip.m_responseAtRuntime = m_runtime.ReceiveResponse();
    return roundTrip;
}
} // namespace Support
