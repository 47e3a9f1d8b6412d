// One run of scm-sim around a real checker.
#include "tools/scm-sim/CSimulation.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <deque>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>

#include "Scm/ScmEventLog.h"
#include "Scm/ScmKernel.h"
#include "ScmCheckerVersion.h"
#include "scmKernelEmulation.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Test/CCheckerProcess.h"
#include "tools/scm-sim/CNodeNetwork.h"
#include "tools/scm-sim/CPcapWriter.h"
#include "tools/scm-sim/CScmApplication.h"
#include "tools/scm-sim/Spdo.h"

namespace ScmSim
{
namespace
{
using Support::CEventRecord;

constexpr std::size_t StatusFailSafeFlagsOffset = 23u;
constexpr std::uint8_t StatusOk = 0x55u;
constexpr std::uint8_t CheckerFailSafeFlag = 0x04u;
// The checker relays at most 20 frames a cycle each way.
constexpr std::size_t RelayPerCycle = 20u;
// Cycles watched after the domain went fail-safe, so that a frame that still passes would show.
constexpr std::uint64_t WatchAfterFailSafe = 10u;
constexpr Support::Password OperatorPassword{'o', 'p', 'e', 'r', 'a', 't', 'o', 'r', '-', 'k', 'e', 'y'};

std::string Code(std::uint32_t code)
{
    char text[16];
    (void)std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(code));
    return text;
}

const char* ServiceName(std::uint8_t service, bool request)
{
    if (request)
    {
        switch (service)
        {
        case 0u:
            return "pre-operational";
        case 2u:
            return "set-to-operational";
        case 8u:
            return "guarding";
        case 10u:
            return "additional-sadr";
        case 12u:
            return "sn-ack";
        case 14u:
            return "assign-scm-udid";
        case 16u:
            return "assign-initial-ct";
        default:
            return "service";
        }
    }
    switch (service)
    {
    case 1u:
        return "pre-operational-done";
    case 3u:
        return "operational";
    case 5u:
        return "additional-sadr-assigned";
    case 7u:
        return "sn-fail";
    case 9u:
        return "busy";
    case 15u:
        return "scm-udid-assigned";
    case 17u:
        return "initial-ct-assigned";
    default:
        return "service-response";
    }
}

const char* SsdoName(std::uint8_t command)
{
    switch (command & 0xEFu)
    {
    case 0x20u:
        return "upload-initiate";
    case 0x28u:
        return "upload-initiate-segmented";
    case 0x08u:
        return "upload-segment";
    case 0x48u:
        return "upload-end";
    case 0x21u:
        return "download-expedited";
    case 0x29u:
        return "download-initiate";
    case 0x09u:
        return "download-segment";
    case 0x49u:
        return "download-end";
    case 0x2Bu:
        return "download-initiate-preload";
    case 0x0Bu:
        return "download-segment-preload";
    case 0x4Bu:
        return "download-end-preload";
    case 0x04u:
        return "abort";
    default:
        return "ssdo";
    }
}

// The class of a frame and the node it concerns, for the timeline.
std::pair<std::string, std::uint16_t> Describe(const Bytes& frame, const Udid& scmUdid, bool toNetwork)
{
    if (IsSpdo(frame))
    {
        // The producer's address, in either direction.
        return {"spdo", static_cast<std::uint16_t>(frame[0] | ((frame[1] & 3u) << 8u))};
    }
    const std::optional<Support::CFrameFields> fields = Support::ParseFrame(frame, scmUdid);
    if (!fields.has_value())
    {
        const std::uint16_t adr = (frame.size() > 1u) ? static_cast<std::uint16_t>(frame[0] | ((frame[1] & 3u) << 8u))
                                                      : 0u;
        return {"unreadable", adr};
    }
    const std::uint16_t module = toNetwork ? fields->m_adr : fields->m_tadr;
    switch (fields->m_id)
    {
    case 0x28u:
        return {"request-udid", module};
    case 0x29u:
        return {"response-udid", module};
    case 0x2Au:
        return {"assign-sadr", module};
    case 0x2Bu:
        return {"sadr-assigned", module};
    case 0x2Cu:
    case 0x2Du:
        return {fields->m_payload.empty() ? "service" : ServiceName(fields->m_payload[0], fields->m_id == 0x2Cu),
                module};
    default:
        break;
    }
    if (fields->IsSsdo() && !fields->m_payload.empty())
    {
        return {std::string(fields->IsSlim() ? "slim-" : "") + SsdoName(fields->m_payload[0]), module};
    }
    return {"frame", module};
}
// A kernel directory and queue names of the run's own, so that a run disturbs no other domain of the machine and
// leaves nothing behind.
class CPrivateKernel
{
public:
    CPrivateKernel()
    {
        char directory[] = "/tmp/scm-sim.XXXXXX";
        if (mkdtemp(directory) == nullptr)
        {
            throw std::runtime_error("cannot create a kernel directory in /tmp");
        }
        m_directory = directory;
        (void)setenv("SCM_KERNEL_ROOT", directory, 1);
        (void)setenv("SCM_IPC_PREFIX", ("sim" + std::to_string(getpid()) + "-").c_str(), 1);
    }
    ~CPrivateKernel()
    {
        std::error_code ignored;
        (void)std::filesystem::remove_all(m_directory, ignored);
    }
    CPrivateKernel(const CPrivateKernel&) = delete;
    CPrivateKernel& operator=(const CPrivateKernel&) = delete;

private:
    std::string m_directory;
};
} // namespace

class CSimulation::CImpl
{
public:
    CImpl(const CScenario& scenario, const CRunOptions& options, std::ostream& out)
        : m_scenario(scenario), m_options(options), m_out(out),
          m_description(scenario.m_makeDomain(options.m_nodes != 0u ? options.m_nodes : scenario.m_defaultNodes,
                                              options.m_seed)),
          m_provisioner(m_description.m_domain)
    {
        if (m_options.m_pcap.has_value())
        {
            m_pcap = std::make_unique<CPcapWriter>(*m_options.m_pcap);
        }
        std::vector<CNodeIdentity> devices;
        for (const CNodeDescription& node : m_description.m_nodes)
        {
            devices.push_back(node.GetDevice());
        }
        m_views = m_description.GetScmViews();
        m_network = std::make_unique<CNodeNetwork>(devices);
    }

    ~CImpl()
    {
        m_peers.reset();
        m_checker.reset();
        m_provisioner.Destroy();
    }

    CRunResult Run()
    {
        m_out << "scenario=" << m_scenario.m_name << " nodes=" << m_network->GetNodes().size() << " seed=" << m_options.m_seed
              << " expected=" << m_scenario.m_expected.ToString() << "\n";
        m_start = std::chrono::steady_clock::now();
        Support::CDomainProvision provision = m_description.GetConfiguration().MakeProvision();
        provision.m_queueCapacity = 32u;
        m_provisioner.Create(provision);
        m_budget = std::min(RelayPerCycle, m_provisioner.GetQueueCapacity());
        StartChecker();
        RunUntilSettled();
        m_commissioningCycles = m_cycle;
        m_commissioningSeconds = Elapsed();
        if (m_scenario.m_restartChecker && !m_failSafeCycle.has_value() && m_scm->IsFinished())
        {
            RestartChecker();
            RunUntilSettled();
        }
        if ((m_scenario.m_spdoCycles != 0u) && !m_failSafeCycle.has_value() && m_scm->IsFinished())
        {
            ExchangeSpdos();
        }
        RequestStatus();
        return Judge();
    }

private:
    double Elapsed() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    void StartChecker()
    {
        m_checker.emplace(Support::CCheckerProcess::CEnvironment{
                              {"SafetyDomainNumber", std::to_string(m_description.m_domain)}},
                          m_options.m_checker);
        m_peers.emplace(m_description.m_domain);
        const std::uint32_t revision = SCM_CHECKER_REVISION_NUMBER + m_description.m_scmRevisionOffset;
        const std::uint32_t checkerRevision = m_peers->Start(revision);
        m_out << "cycle=" << m_cycle << " step=start checker_revision=" << Code(checkerRevision)
              << " scm_revision=" << Code(revision) << "\n";
        CScmSettings settings;
        settings.m_scmUdid = m_description.m_scmUdid;
        settings.m_setupMode = m_description.m_setupMode;
        settings.m_keyMediumAcknowledged = m_description.m_keyMediumAcknowledged;
        m_scm = std::make_unique<CScmApplication>(m_views, settings);
        m_scmSent.clear();
        m_runtimeSent.clear();
        m_unlockSent = false;
    }

    void RestartChecker()
    {
        // The SCM keeps what it recorded; its new run starts again at the SADR assignment of every slot.
        m_views.clear();
        for (const CNodeCommissioning& slot : m_scm->GetSlots())
        {
            m_views.push_back(slot.GetView());
        }
        m_peers.reset();
        m_checker.reset();
        for (std::uint32_t condition : {ScmStarted, ScmCheckerInitialized, ScmScmInitialized})
        {
            (void)scmKernelClearCondition(m_description.m_domain, condition);
        }
        m_provisioner.Create(Support::CDomainProvision());
        m_out << "cycle=" << m_cycle << " step=restart\n";
        StartChecker();
        m_acknowledgementsWritten = m_scm->GetAcknowledgementCount();
    }

    void RunUntilSettled()
    {
        while (m_cycle < m_options.m_maxCycles)
        {
            m_peers->Cycle([this] { Act(); });
            ++m_cycle;
            Progress(false);
            if (m_failSafeCycle.has_value() && (m_cycle > *m_failSafeCycle + WatchAfterFailSafe))
            {
                break;
            }
            // Once every slot is done only guarding goes on, which never stops by itself.
            if (!m_failSafeCycle.has_value() && m_scm->IsFinished() && !m_commandOutstanding)
            {
                break;
            }
        }
        Progress(true);
    }

    // Process data for the scenario's cycles, then cycles to see what still arrives. When the SCM sends its own,
    // it starts alone, so that the first event is its frame's; the nodes follow from the next cycle.
    void ExchangeSpdos()
    {
        m_out << "cycle=" << m_cycle << " step=spdo-traffic cycles=" << m_scenario.m_spdoCycles
              << " scm=" << (m_scenario.m_scmSendsSpdos ? "yes" : "no") << "\n";
        for (unsigned i = 0u; i < m_scenario.m_spdoCycles + 2u; ++i)
        {
            m_scmSpdoActive = m_scenario.m_scmSendsSpdos && (i < m_scenario.m_spdoCycles);
            m_nodeSpdoActive = (i < m_scenario.m_spdoCycles) && (!m_scenario.m_scmSendsSpdos || (i > 0u));
            m_peers->Cycle([this] { Act(); });
            ++m_cycle;
        }
        m_scmSpdoActive = false;
        m_nodeSpdoActive = false;
        while (m_failSafeCycle.has_value() && (m_cycle <= *m_failSafeCycle + WatchAfterFailSafe))
        {
            m_peers->Cycle([this] { Act(); });
            ++m_cycle;
        }
    }

    void Progress(bool last)
    {
        if (!m_options.m_progress || (!last && (m_cycle % 25u) != 0u))
        {
            return;
        }
        std::cerr << "\rcycle " << m_cycle << ": " << CountOperational() << "/" << m_network->GetNodes().size()
                  << " nodes operational" << (last ? "\n" : "") << std::flush;
    }

    unsigned CountOperational() const
    {
        unsigned count = 0u;
        for (const CNodeCommissioning& slot : m_scm->GetSlots())
        {
            count += (slot.GetStep() == CStep::Operational) ? 1u : 0u;
        }
        return count;
    }

    void Line(const std::string& flow, const std::string& direction, const std::string& what, std::uint16_t module,
              const std::string& verdict, bool isFrame)
    {
        if (isFrame && (verdict == "released" || verdict == "relayed"))
        {
            static const std::set<std::string> keySteps = {"request-udid", "response-udid", "sn-fail", "sn-ack",
                                                           "operational", "abort", "slim-abort"};
            const bool shown = (m_options.m_frameLines == CRunOptions::CFrameLines::All) ||
                               ((m_options.m_frameLines == CRunOptions::CFrameLines::Key) && (keySteps.count(what) != 0u));
            if (!shown)
            {
                return;
            }
        }
        m_out << "cycle=" << m_cycle << " flow=" << flow << " direction=" << direction << " class=" << what
              << " module=" << module << " verdict=" << verdict << "\n";
    }

    // One cycle of the runtime, the nodes, the SCM and the operator, while the checker waits in the hand-over.
    void Act()
    {
        Support::CPlayedRuntime& runtime = m_peers->GetRuntime();
        Support::CPlayedScm& scm = m_peers->GetScm();
        TakeEvents(runtime);
        TakeResponses(runtime);
        for (std::optional<Bytes> response = runtime.ReceiveUnlockResponse(); response.has_value();
             response = runtime.ReceiveUnlockResponse())
        {
            Line("unlock-response", "scm>runtime", "unlock-response", 0u, "relayed", false);
        }
        ReleasedToNetwork(runtime);
        if (m_nodeSpdoActive)
        {
            const auto ct = static_cast<std::uint16_t>(m_cycle);
            for (const CSafetyNode& node : m_network->GetNodes())
            {
                for (Bytes& frame : node.ProduceSpdos(ct))
                {
                    m_runtimeOutbox.push_back(std::move(frame));
                    ++m_spdoOffered;
                }
            }
        }
        SendAnswers(runtime);
        ArrivedAtScm(scm);
        for (std::optional<Bytes> command = scm.ReceiveCommand(); command.has_value(); command = scm.ReceiveCommand())
        {
            (void)scm.SendResponse(m_scm->AnswerCommand(*command, m_cycle));
        }
        for (std::optional<Bytes> request = scm.ReceiveUnlockRequest(); request.has_value();
             request = scm.ReceiveUnlockRequest())
        {
            // The SCM grants the unlock: the response echoes the request's first bytes.
            (void)scm.SendUnlockResponse(Bytes(request->begin(), request->begin() + std::min<std::size_t>(4u, request->size())));
        }
        for (const Bytes& event : m_scm->TakeEvents(m_cycle))
        {
            (void)scm.SendEvent(event);
            static const char* const acknowledged[] = {"key-medium-acknowledged", "modules-acknowledged",
                                                       "firmware-acknowledged"};
            Line("event", "scm>runtime", acknowledged[(event[5] - 7u) % 3u], 0u, "sent", false);
        }
        SendRequests(scm);
        Operate(runtime);
        RecordAcknowledgements();
        if (!m_unlockSent)
        {
            // The runtime's unlock handshake with the SCM at the start of every run.
            (void)runtime.SendUnlockRequest(Bytes{0x01u, 0x00u, 0x00u, 0x00u, 0x5Au});
            Line("unlock-request", "runtime>scm", "unlock-request", 0u, "sent", false);
            m_unlockSent = true;
        }
    }

    void TakeEvents(Support::CPlayedRuntime& runtime)
    {
        for (const CEventRecord& event : runtime.ReceiveEvents())
        {
            m_out << "cycle=" << m_cycle << " flow=event direction=to-runtime level=" << unsigned(event.m_level)
                  << " code=" << Code(event.m_code) << " info0=" << event.m_information0
                  << " info1=" << event.m_information1 << "\n";
            if ((event.m_level == ScmEvent::Error) && !m_failSafeCycle.has_value())
            {
                m_failSafeCycle = m_cycle;
                m_firstError = event;
            }
        }
    }

    void TakeResponses(Support::CPlayedRuntime& runtime)
    {
        for (std::optional<Bytes> response = runtime.ReceiveResponse(); response.has_value();
             response = runtime.ReceiveResponse())
        {
            m_commandOutstanding = false;
            if (response->size() > StatusFailSafeFlagsOffset)
            {
                m_statusFlags = (*response)[StatusFailSafeFlagsOffset];
            }
            Line("response", "scm>runtime", "status", 0u, "relayed", false);
        }
    }

    // Frames the SCM sent last cycle against those the checker released to the network (in order, some missing).
    void ReleasedToNetwork(Support::CPlayedRuntime& runtime)
    {
        std::vector<Bytes> released;
        for (std::optional<Bytes> frame = runtime.ReceiveFrame(); frame.has_value(); frame = runtime.ReceiveFrame())
        {
            released.push_back(*frame);
        }
        std::size_t next = 0u;
        for (const Bytes& sent : m_scmSent)
        {
            const auto [what, module] = Describe(sent, m_description.m_scmUdid, true);
            const bool passed = (next < released.size()) && (released[next] == sent);
            Line("frame", "scm>network", what, module, passed ? "released" : "withheld", true);
            if (!passed)
            {
                continue;
            }
            ++next;
            ++m_framesRelayed;
            m_spdoPassed += IsSpdo(sent) ? 1u : 0u;
            if (m_failSafeCycle.has_value() && (m_cycle > *m_failSafeCycle + 1u))
            {
                ++m_releasedAfterFailSafe;
            }
            if (m_pcap)
            {
                m_pcap->Write(sent, true);
            }
            Deliver(sent);
        }
        for (; next < released.size(); ++next)
        {
            Line("frame", "scm>network", "unexpected", 0u, "released", false);
            ++m_unexpected;
        }
        m_scmSent.clear();
    }

    void Deliver(const Bytes& frame)
    {
        for (Bytes& answer : m_network->Deliver(frame))
        {
            m_runtimeOutbox.push_back(std::move(answer));
        }
    }

    void SendAnswers(Support::CPlayedRuntime& runtime)
    {
        m_runtimeSent.clear();
        while (!m_runtimeOutbox.empty() && (m_runtimeSent.size() < m_budget))
        {
            if (!runtime.SendFrame(m_runtimeOutbox.front()))
            {
                break;
            }
            if (m_pcap)
            {
                m_pcap->Write(m_runtimeOutbox.front(), false);
            }
            m_runtimeSent.push_back(m_runtimeOutbox.front());
            m_runtimeOutbox.pop_front();
        }
    }

    // What the runtime sent last cycle against what reached the SCM.
    void ArrivedAtScm(Support::CPlayedScm& scm)
    {
        const std::vector<Bytes> arrived = scm.ReceiveFrames();
        std::size_t next = 0u;
        for (const Bytes& sent : m_previousRuntimeSent)
        {
            const auto [what, module] = Describe(sent, m_description.m_scmUdid, false);
            const bool passed = (next < arrived.size()) && (arrived[next] == sent);
            Line("frame", "network>scm", what, module, passed ? "relayed" : "withheld", true);
            if (passed)
            {
                ++next;
                ++m_framesRelayed;
                m_spdoPassed += IsSpdo(sent) ? 1u : 0u;
                (void)m_scm->TakeResponse(sent, m_cycle);
            }
        }
        m_previousRuntimeSent = m_runtimeSent;
    }

    void SendRequests(Support::CPlayedScm& scm)
    {
        if (m_scmSpdoActive)
        {
            // The safety controller's own process data, under the SCM's SADR.
            const auto ct = static_cast<std::uint16_t>(m_cycle);
            const Bytes spdo = BuildSpdo(Support::CFrameBuilder::ms_ScmAddress, Support::CFrameBuilder::ms_Sdn, ct,
                                         {0x01u, static_cast<std::uint8_t>(ct), 0x5Au, 0xC3u},
                                         m_description.m_scmUdid);
            if (scm.SendFrame(spdo))
            {
                m_scmSent.push_back(spdo);
                ++m_spdoOffered;
            }
        }
        for (Bytes& request : m_scm->TakeRequests(m_cycle, m_budget))
        {
            if ((m_scenario.m_flipBitForSadr != 0u) && !m_flipped && (request.size() > 4u) &&
                (((request[1] >> 2u) & 0x38u) == 0x38u) && (request[0] == (m_scenario.m_flipBitForSadr & 0xFFu)))
            {
                // One bit of the SCM's complemented frame turns over on its way to the checker.
                request[4] ^= 0x10u;
                m_flipped = true;
                Line("frame", "scm>network", "bit-flipped", m_scenario.m_flipBitForSadr, "sent", false);
            }
            if (!scm.SendFrame(request))
            {
                break;
            }
            m_scmSent.push_back(request);
        }
    }

    // The operator acknowledges what the SCM holds back, once everything waits for it (outside setup mode).
    void Operate(Support::CPlayedRuntime& runtime)
    {
        if (m_commandOutstanding || m_failSafeCycle.has_value() || m_description.m_setupMode)
        {
            return;
        }
        const CPendingAcknowledgements pending = m_scm->GetPendingAcknowledgements();
        if (!pending.m_ready || !pending.Any())
        {
            return;
        }
        using Support::CCommandBuilder;
        Bytes command;
        std::string what;
        if (pending.m_keyMedium)
        {
            command = CCommandBuilder::AcknowledgeTessera(OperatorPassword).Build();
            what = "acknowledge-key-medium";
        }
        else if (pending.m_modules > 0u)
        {
            command = CCommandBuilder::AcknowledgeModules(OperatorPassword, std::min(pending.m_modules, 5u)).Build();
            what = "acknowledge-modules-" + std::to_string(pending.m_modules);
        }
        else
        {
            command = CCommandBuilder::AcknowledgeFirmware(OperatorPassword).Build();
            what = "acknowledge-firmware";
        }
        if (runtime.SendCommand(command))
        {
            m_commandOutstanding = true;
            Line("command", "runtime>scm", what, 0u, "sent", false);
        }
    }

    // The SCM writes what it acknowledged into its own files at once, as the checker does into its copies.
    void RecordAcknowledgements()
    {
        if (m_scm->GetAcknowledgementCount() == m_acknowledgementsWritten)
        {
            return;
        }
        m_acknowledgementsWritten = m_scm->GetAcknowledgementCount();
        Support::CDomainConfiguration configuration = m_description.GetConfiguration();
        configuration.m_tesseraAcknowledged = m_scm->IsKeyMediumAcknowledged();
        if (m_scm->GetPassword().has_value())
        {
            configuration.m_password = m_scm->GetPassword();
        }
        for (std::size_t i = 0u; i < configuration.m_modules.size(); ++i)
        {
            const CScmNodeView& view = m_scm->GetSlots()[i].GetView();
            configuration.m_modules[i].m_udid = view.m_expectedUdid;
            configuration.m_modules[i].m_udidAcknowledged = view.m_udidAcknowledged;
            configuration.m_modules[i].m_acknowledgedMinorRevision = view.m_acknowledgedMinorRevision;
        }
        for (const char* name : {"tessera.dat", "fwrevcnf.bin"})
        {
            const Bytes content = configuration.BuildFile(name);
            (void)scmKernelWriteStorage(m_description.m_domain, name, content.data(), content.size());
        }
    }

    void RequestStatus()
    {
        if (!m_peers->GetRuntime().SendCommand(Support::CCommandBuilder::RequestStatus().Build()))
        {
            return;
        }
        m_commandOutstanding = true;
        Line("command", "runtime>scm", "request-status", 0u, "sent", false);
        for (int cycle = 0; (cycle < 6) && m_commandOutstanding; ++cycle)
        {
            m_peers->Cycle([this] { Act(); });
            ++m_cycle;
        }
    }

    std::string RefusingCheck(std::uint32_t code) const
    {
        switch (code)
        {
        case 0xE2D8u:
            return "udid";
        case 0xE2DFu:
            return "firmware";
        case 0xE2E6u:
            return "parameters";
        case 0xE2ECu:
        case 0xE2EDu:
            return "additional-parameters";
        case 0xE249u:
            return "key-medium";
        default:
            return Code(code);
        }
    }

    CRunResult Judge()
    {
        CRunResult result;
        result.m_nodes = static_cast<unsigned>(m_network->GetNodes().size());
        result.m_operational = CountOperational();
        result.m_cycles = m_cycle;
        std::vector<std::string> faults;
        for (const CSafetyNode& node : m_network->GetNodes())
        {
            for (const std::string& violation : node.GetViolations())
            {
                faults.push_back("node " + std::to_string(node.GetIdentity().m_slot) + ": " + violation);
            }
        }
        if (m_unexpected != 0u)
        {
            faults.push_back(std::to_string(m_unexpected) + " frames released that the SCM never sent");
        }
        if (m_scenario.m_spdoCycles != 0u)
        {
            // The checker carries SNMT and SSDO frames only.
            m_out << "spdo offered=" << m_spdoOffered << " passed=" << m_spdoPassed << "\n";
            if (m_spdoOffered == 0u)
            {
                faults.push_back("no SPDO was offered to the checker");
            }
            if (m_spdoPassed != 0u)
            {
                faults.push_back(std::to_string(m_spdoPassed) + " SPDO frames passed the checker");
            }
        }
        if (m_firstError.has_value())
        {
            result.m_observed = "fail-safe:" + Code(m_firstError->m_code);
            if (m_releasedAfterFailSafe != 0u)
            {
                faults.push_back(std::to_string(m_releasedAfterFailSafe) + " frames released while fail-safe");
            }
            if (!m_statusFlags.has_value() || ((*m_statusFlags & CheckerFailSafeFlag) == 0u))
            {
                faults.push_back("status does not report fail-safe");
            }
        }
        else if (result.m_operational == result.m_nodes)
        {
            result.m_observed = "commissioned";
            if (m_statusFlags != std::optional<std::uint8_t>(StatusOk))
            {
                faults.push_back("status does not report the checker valid");
            }
        }
        else
        {
            result.m_observed = "incomplete";
        }
        for (const std::string& fault : faults)
        {
            m_out << "fault=\"" << fault << "\"\n";
        }
        result.m_asExpected = faults.empty() && (result.m_observed == m_scenario.m_expected.ToString());
        if (m_options.m_summary)
        {
            PrintSummary();
        }
        const double seconds = Elapsed();
        if (m_options.m_stats)
        {
            char line[256];
            (void)std::snprintf(line, sizeof(line),
                                "stats cycles=%llu seconds=%.2f frames=%zu frames_per_second=%.0f "
                                "commissioning_cycles=%llu commissioning_seconds=%.2f\n",
                                static_cast<unsigned long long>(m_cycle), seconds, m_framesRelayed,
                                (seconds > 0.0) ? static_cast<double>(m_framesRelayed) / seconds : 0.0,
                                static_cast<unsigned long long>(m_commissioningCycles), m_commissioningSeconds);
            m_out << line;
        }
        if (m_pcap)
        {
            m_out << "capture=" << *m_options.m_pcap << " frames=" << m_pcap->GetCount() << "\n";
        }
        m_out << "verdict=" << (result.m_asExpected ? "pass" : "fail") << " scenario=" << m_scenario.m_name
              << " expected=" << m_scenario.m_expected.ToString() << " observed=" << result.m_observed
              << " operational=" << result.m_operational << "/" << result.m_nodes << " cycles=" << m_cycle << "\n";
        return result;
    }

    void PrintSummary()
    {
        for (const CNodeCommissioning& slot : m_scm->GetSlots())
        {
            const std::uint16_t sadr = slot.GetView().m_sadr;
            m_out << "node=" << sadr << " result=";
            if (slot.GetStep() == CStep::Operational)
            {
                m_out << "commissioned cycles=" << slot.GetFinishCycle() << "\n";
            }
            else if (m_firstError.has_value() && (m_firstError->m_information0 == sadr))
            {
                m_out << "refused check=" << RefusingCheck(m_firstError->m_code) << " cycles=" << *m_failSafeCycle
                      << "\n";
            }
            else if (slot.GetStep() == CStep::Invalid)
            {
                m_out << "refused check=scm reason=\"" << slot.GetFailure() << "\" cycles=" << slot.GetFinishCycle()
                      << "\n";
            }
            else
            {
                m_out << "incomplete step=" << GetStepName(slot.GetStep()) << "\n";
            }
        }
    }

    const CScenario& m_scenario;
    CRunOptions m_options;
    std::ostream& m_out;
    CDomainDescription m_description;
    CPrivateKernel m_kernel;
    Support::CDomainProvisioner m_provisioner;
    std::optional<Support::CCheckerProcess> m_checker;
    std::optional<Support::CPlayedDomain> m_peers;
    std::unique_ptr<CPcapWriter> m_pcap;
    std::unique_ptr<CNodeNetwork> m_network;
    std::vector<CScmNodeView> m_views;
    std::unique_ptr<CScmApplication> m_scm;
    std::vector<Bytes> m_scmSent;
    std::vector<Bytes> m_runtimeSent;
    std::vector<Bytes> m_previousRuntimeSent;
    std::deque<Bytes> m_runtimeOutbox;
    std::size_t m_budget = 10u;
    std::uint64_t m_cycle = 0u;
    std::optional<std::uint64_t> m_failSafeCycle;
    std::optional<CEventRecord> m_firstError;
    std::optional<std::uint8_t> m_statusFlags;
    bool m_commandOutstanding = false;
    bool m_unlockSent = false;
    bool m_flipped = false;
    bool m_nodeSpdoActive = false;
    bool m_scmSpdoActive = false;
    std::size_t m_spdoOffered = 0u;
    std::size_t m_spdoPassed = 0u;
    unsigned m_acknowledgementsWritten = 0u;
    std::size_t m_framesRelayed = 0u;
    std::size_t m_releasedAfterFailSafe = 0u;
    std::size_t m_unexpected = 0u;
    std::uint64_t m_commissioningCycles = 0u;
    double m_commissioningSeconds = 0.0;
    std::chrono::steady_clock::time_point m_start;
};

CSimulation::CSimulation(const CScenario& scenario, const CRunOptions& options, std::ostream& out)
    : m_impl(std::make_unique<CImpl>(scenario, options, out))
{
}

CSimulation::~CSimulation() = default;

CRunResult CSimulation::Run()
{
    return m_impl->Run();
}
} // namespace ScmSim
