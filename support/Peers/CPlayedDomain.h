// The runtime and the SCM of one domain played together around a running checker, cycle by cycle.
#ifndef SUPPORT_PEERS_CPLAYEDDOMAIN_H
#define SUPPORT_PEERS_CPLAYEDDOMAIN_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Peers/CPlayedRuntime.h"
#include "support/Peers/CPlayedScm.h"

namespace Support
{
/// Both peers of a provisioned domain. The helpers send only while the checker waits in the hand-over and read
/// only after the next hand-over, by which the checker has handled everything of the cycle before; so what they
/// return does not depend on timing. A checker that stops handing over makes them throw std::runtime_error.
class CPlayedDomain
{
public:
    /// What a frame exchange delivered: the SCM's request as the runtime received it (nothing when the checker
    /// withheld it) and the module's answer as the SCM received it.
    struct CExchange
    {
        std::optional<Bytes> m_requestAtRuntime;
        std::optional<Bytes> m_responseAtScm;
    };

    /// What a command round trip delivered: the command as the SCM received it and the SCM's response as the
    /// runtime received it.
    struct CRoundTrip
    {
        std::optional<Bytes> m_commandAtScm;
        std::optional<Bytes> m_responseAtRuntime;
    };

    explicit CPlayedDomain(std::uint16_t safetyDomainNumber,
                           std::chrono::milliseconds handOverWait = std::chrono::milliseconds(10000));

    CPlayedRuntime& GetRuntime()
    {
        return m_runtime;
    }

    CPlayedScm& GetScm()
    {
        return m_scm;
    }

    /// The start-up handshake: the runtime starts the domain, the SCM waits at most `wait` for the checker's
    /// revision number and publishes its own (the checker's when none is given). Returns the checker's revision
    /// number; throws std::runtime_error when the checker does not publish one in time.
    std::uint32_t Start(std::optional<std::uint32_t> scmRevisionNumber = std::nullopt,
                        std::chrono::milliseconds wait = std::chrono::milliseconds(30000));

    /// One hand-over with the SCM's action in it.
    void Cycle(const std::function<void()>& action = {});
    void Cycles(unsigned count);

    /// The SCM sends the frames in one cycle; returns every frame that reached the runtime by the next hand-over.
    std::vector<Bytes> SendFramesFromScm(const std::vector<Bytes>& frames);
    /// The runtime sends the frames during one hand-over; returns every frame that reached the SCM by the next.
    std::vector<Bytes> SendFramesFromRuntime(const std::vector<Bytes>& frames);
    /// The SCM sends a request to a module; if the runtime receives it and a response is given, the runtime sends
    /// the module's response back. Three hand-overs.
    CExchange Exchange(const Bytes& request, const std::optional<Bytes>& response = std::nullopt);
    /// The runtime sends an operator command; the SCM receives it and answers with the response; the runtime
    /// receives the answer. Three hand-overs. The response is sent also when the command did not arrive.
    CRoundTrip SendCommand(const Bytes& command, const Bytes& response);

private:
    std::chrono::milliseconds m_handOverWait;
    CPlayedRuntime m_runtime;
    CPlayedScm m_scm;
};
} // namespace Support

#endif
