// The scm-checker process between a played runtime and a played SCM over the real queues, semaphores and domain
// files: the relay of every flow, the commissioning of modules through the four checks, each check's refusal and
// the fail-safe state after it, damaged files at start-up and acknowledgements that outlive a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Scm/ScmEventLog.h"
#include "Scm/ScmKernel.h"
#include "ScmCheckerVersion.h"
#include "scmKernelEmulation.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CDiagnosisBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Peers/CDomainConfiguration.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using Support::Bytes;
using Support::CEventRecord;
using Support::CFrameBuilder;
using Support::CPlayedDomain;
using Support::CPlayedModule;

constexpr std::uint16_t Domain = 7u;
constexpr Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0x5Cu, 0x3Du, 0x01u};
constexpr Support::Password OperatorPassword{'o', 'p', 'e', 'r', 'a', 't', 'o', 'r',
                                             '-', 'k', 'e', 'y', 0u,  0u,  0u,  1u};
constexpr std::uint8_t StatusFailSafeFlagsOffset = 23u;
constexpr std::uint8_t StatusOk = 0x55u;
constexpr std::uint8_t CheckerFailSafeFlag = 0x04u;

// One frame exchange of a commissioning: the SCM's request and the module's answer (none for an acknowledgement).
struct CStep
{
    std::string m_name;
    Bytes m_request;
    std::optional<Bytes> m_response;
};

// Messages and files print as hex in failures; "(none)" for one that did not come.
std::string Hex(const std::optional<Bytes>& bytes)
{
    return bytes.has_value() ? Support::ToHex(*bytes) : std::string("(none)");
}

Bytes UInt32Bytes(std::uint32_t value)
{
    Bytes bytes;
    Support::AppendLittleEndian(bytes, value, 4u);
    return bytes;
}

// The SCM's side of commissioning one module and the module's answers, as an openSAFETY stack exchanges them: SNMT
// frames plain, SSDO frames XORed with the SCM's UDID, one access number per SSDO request, echoed by the answer.
// The SCM assigns the SADR with the UDID that the module reports (a new one when it was exchanged).
class CScript
{
public:
    explicit CScript(const CPlayedModule& module) : m_module(module), m_ct(0u) {}

    // SADR assignment, the SCM's UDID and the three uploads of the device vendor information.
    std::vector<CStep> Identify()
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        std::vector<CStep> steps = {
            {"assign SADR", CFrameBuilder::SnmtAssignSadr(sadr, m_module.m_udid).Build(),
             CFrameBuilder::SnmtSadrAssigned(sadr, m_module.m_udid).Build()},
            {"assign the SCM's UDID", CFrameBuilder::SnmtAssignUdidScm(sadr, ScmUdid).Build(),
             CFrameBuilder::SnmtExtendedServiceResponse(sadr, 15u, Bytes(ScmUdid.begin(), ScmUdid.end())).Build()}};
        steps.push_back(Upload(1u, UInt32Bytes(m_module.m_vendorId)));
        steps.push_back(Upload(2u, UInt32Bytes(m_module.m_productCode)));
        steps.push_back(Upload(3u, UInt32Bytes(m_module.GetRevisionNumber())));
        return steps;
    }

    // The upload of the checksum 0x1018/6: expedited up to 4 bytes, else segmented at a payload of 8 (an initiate
    // with the total length only, then 7 bytes a segment).
    std::vector<CStep> UploadChecksum(const Bytes& checksum)
    {
        if (checksum.size() <= 4u)
        {
            return {Upload(6u, checksum)};
        }
        const std::uint16_t sadr = m_module.m_safetyAddress;
        std::uint16_t ct = NextCt();
        std::vector<CStep> steps = {
            {"upload 0x1018/6 initiate", Ssdo(CFrameBuilder::SsdoRequest(sadr, 0x20u, {0x18u, 0x10u, 6u}), ct),
             Ssdo(CFrameBuilder::SsdoUploadInitiateSegmentedResponse(sadr, 0x1018u, 6u,
                                                                     static_cast<std::uint32_t>(checksum.size()), {}),
                  ct)}};
        bool odd = true;
        for (std::size_t offset = 0u; offset < checksum.size(); offset += 7u)
        {
            const std::size_t length = std::min<std::size_t>(7u, checksum.size() - offset);
            const bool isEnd = (offset + length) == checksum.size();
            const Bytes data(checksum.begin() + static_cast<std::ptrdiff_t>(offset),
                             checksum.begin() + static_cast<std::ptrdiff_t>(offset + length));
            ct = NextCt();
            steps.push_back({"upload 0x1018/6 segment",
                             Ssdo(CFrameBuilder::SsdoRequest(sadr, odd ? 0x18u : 0x08u, {0x18u, 0x10u, 6u}), ct),
                             Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(sadr, isEnd, odd, data), ct)});
            odd = !odd;
        }
        return steps;
    }

    CStep SetToPreOp()
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        return {"set to PRE-OPERATIONAL", CFrameBuilder::SnmtExtendedServiceRequest(sadr, 0u).Build(),
                CFrameBuilder::SnmtExtendedServiceResponse(sadr, 1u).Build()};
    }

    // A slim download to 0x101A/0 at a payload of 14: expedited up to 10 bytes, else an initiate with the total
    // length and 6 bytes, then 13 bytes a segment.
    std::vector<CStep> Download(const Bytes& data)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        const Bytes target = {0x1Au, 0x10u, 0u};
        std::uint16_t ct = NextCt();
        if (data.size() <= 10u)
        {
            return {{"download expedited",
                     Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(sadr, 0x101Au, 0u, data, true), ct),
                     Ssdo(CFrameBuilder::SsdoResponse(sadr, 0x21u, target, true), ct)}};
        }
        std::vector<CStep> steps = {{"download initiate",
                                     Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(
                                              sadr, 0x101Au, 0u, static_cast<std::uint32_t>(data.size()),
                                              Bytes(data.begin(), data.begin() + 6), false, true),
                                          ct),
                                     Ssdo(CFrameBuilder::SsdoResponse(sadr, 0x29u, target, true), ct)}};
        bool odd = true;
        for (std::size_t offset = 6u; offset < data.size(); offset += 13u)
        {
            const std::size_t length = std::min<std::size_t>(13u, data.size() - offset);
            const bool isEnd = (offset + length) == data.size();
            const std::uint8_t command = static_cast<std::uint8_t>((isEnd ? 0x49u : 0x09u) | (odd ? 0x10u : 0x00u));
            ct = NextCt();
            steps.push_back({isEnd ? "download end segment" : "download middle segment",
                             Ssdo(CFrameBuilder::SsdoDownloadSegment(
                                      sadr, isEnd, odd,
                                      Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                                            data.begin() + static_cast<std::ptrdiff_t>(offset + length)),
                                      false, true),
                                  ct),
                             Ssdo(CFrameBuilder::SsdoResponse(sadr, command, {}, true), ct)});
            odd = !odd;
        }
        return steps;
    }

    // Set to OPERATIONAL with the module's answer.
    CStep SetToOp(const Bytes& answer)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        return {"set to OPERATIONAL", CFrameBuilder::SnmtSnSetToOp(sadr, 0x5F000000u + sadr).Build(), answer};
    }

    // The SCM acknowledges a failure the module reported; the module does not answer.
    CStep AcknowledgeFailure(std::uint8_t errorGroup, std::uint8_t errorCode)
    {
        return {"SN ACK", CFrameBuilder::SnmtSnAck(m_module.m_safetyAddress, errorGroup, errorCode).Build(),
                std::nullopt};
    }

private:
    CStep Upload(std::uint8_t subIndex, const Bytes& value)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        const std::uint16_t ct = NextCt();
        return {"upload 0x1018/" + std::to_string(subIndex),
                Ssdo(CFrameBuilder::SsdoRequest(sadr, 0x20u, {0x18u, 0x10u, subIndex}), ct),
                Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(sadr, 0x1018u, subIndex, value), ct)};
    }

    static Bytes Ssdo(CFrameBuilder builder, std::uint16_t ct)
    {
        return builder.Ct(ct).ScmUdid(ScmUdid).Build();
    }

    // Access numbers skip 0, which the checker takes for "no segmented transfer".
    std::uint16_t NextCt()
    {
        m_ct = static_cast<std::uint16_t>((m_ct == 0xFFFFu) ? 1u : m_ct + 1u);
        return m_ct;
    }

    CPlayedModule m_module;
    std::uint16_t m_ct;
};

// The parameter set that the SCM downloads: one application object and the checksum entry.
Bytes BuildParameterSet(const Bytes& checksum)
{
    Support::CParameterStreamBuilder stream;
    stream.AddRecord(0x6000u, 1u, {0x01u, 0x00u});
    stream.AddRecord(0x1018u, 6u, checksum);
    return stream.Build();
}

// A checker process on a provisioned domain of its own, with the runtime and the SCM played around it.
class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd() : m_provisioner(Domain) {}

    ~EndToEnd() override
    {
        m_peers.reset();
        m_checker.reset();
        m_provisioner.Destroy();
    }

    void StartChecker(const Support::CDomainProvision& provision,
                      std::optional<std::uint32_t> scmRevisionNumber = std::nullopt)
    {
        m_provisioner.Create(provision);
        Launch(scmRevisionNumber);
    }

    // Ends the checker and starts another on the storages it left; queues, semaphores and conditions start afresh.
    void RestartChecker()
    {
        m_peers.reset();
        m_checker.reset();
        for (std::uint32_t condition : {ScmStarted, ScmCheckerInitialized, ScmScmInitialized})
        {
            ASSERT_EQ(0, scmKernelClearCondition(Domain, condition));
        }
        m_provisioner.Create(Support::CDomainProvision());
        Launch(std::nullopt);
    }

    CPlayedDomain& Peers()
    {
        return *m_peers;
    }

    // Plays the exchanges in order; each request must reach the runtime and each answer the SCM, byte for byte.
    void Play(const std::vector<CStep>& steps)
    {
        for (const CStep& step : steps)
        {
            const CPlayedDomain::CExchange exchange = m_peers->Exchange(step.m_request, step.m_response);
            ASSERT_EQ(Hex(step.m_request), Hex(exchange.m_requestAtRuntime)) << step.m_name;
            if (step.m_response.has_value())
            {
                ASSERT_EQ(Hex(step.m_response), Hex(exchange.m_responseAtScm)) << step.m_name;
            }
        }
    }

    // The SCM's request of the step must not reach the runtime.
    void PlayRefused(const CStep& step)
    {
        const CPlayedDomain::CExchange exchange = m_peers->Exchange(step.m_request, step.m_response);
        EXPECT_EQ(Hex(std::nullopt), Hex(exchange.m_requestAtRuntime)) << step.m_name << " was released";
    }

    std::vector<CEventRecord> TakeEvents()
    {
        return m_peers->GetRuntime().ReceiveEvents();
    }

    static CEventRecord Error(std::uint16_t code, std::uint16_t information0, std::uint32_t information1)
    {
        return CEventRecord{ScmEvent::Error, code, information0, information1};
    }

    // The operator asks for the status and the SCM reports success; returns the fail-safe flags that reach the
    // runtime.
    std::optional<std::uint8_t> RequestStatus()
    {
        const Bytes command = Support::CCommandBuilder::RequestStatus().Build();
        const CPlayedDomain::CRoundTrip roundTrip = m_peers->SendCommand(command, Support::CStatusBuilder().Build());
        EXPECT_EQ(Hex(command), Hex(roundTrip.m_commandAtScm));
        if (!roundTrip.m_responseAtRuntime.has_value())
        {
            return std::nullopt;
        }
        return (*roundTrip.m_responseAtRuntime)[StatusFailSafeFlagsOffset];
    }

    std::optional<Bytes> ReadStorage(const char* name) const
    {
        Bytes content(262144u);
        const ssize_t length = scmKernelReadStorage(Domain, name, content.data(), content.size());
        if (length < 0)
        {
            return std::nullopt;
        }
        content.resize(static_cast<std::size_t>(length));
        return content;
    }

    void WriteStorage(const std::string& name, const Bytes& content) const
    {
        ASSERT_EQ(0, scmKernelWriteStorage(Domain, name.c_str(), content.data(), content.size())) << name;
    }

    // Once fail-safe, no frame passes either way, while unlock messages, commands, responses and events still
    // flow, and status responses carry the checker's fail-safe flag.
    void ExpectFailSafeFlows()
    {
        EXPECT_TRUE(m_peers->SendFramesFromScm({CFrameBuilder::SnmtRequestUdid(2u).Build()}).empty())
            << "a frame from the SCM passed";
        EXPECT_TRUE(m_peers->SendFramesFromRuntime({CFrameBuilder::SnmtResponseUdid(2u, ScmUdid).Build()}).empty())
            << "a frame from the runtime passed";
        EXPECT_EQ(std::optional<std::uint8_t>(CheckerFailSafeFlag), RequestStatus());
        const Bytes event = Support::CEventBuilder().Level(2u).Code(0xC0DEu).Information0(7u).Build();
        m_peers->Cycle([&] { ASSERT_TRUE(m_peers->GetScm().SendEvent(event)); });
        m_peers->Cycle();
        EXPECT_EQ(Hex(event), Hex(m_peers->GetRuntime().ReceiveEventMessage()));
        const Bytes request = {0x01u, 0x02u, 0x03u};
        m_peers->Cycle([&] { ASSERT_TRUE(m_peers->GetRuntime().SendUnlockRequest(request)); });
        std::optional<Bytes> received;
        m_peers->Cycle([&] { received = m_peers->GetScm().ReceiveUnlockRequest(); });
        EXPECT_EQ(Hex(request), Hex(received));
        const Bytes response = {0x04u, 0x05u};
        m_peers->Cycle([&] { ASSERT_TRUE(m_peers->GetScm().SendUnlockResponse(response)); });
        m_peers->Cycle();
        EXPECT_EQ(Hex(response), Hex(m_peers->GetRuntime().ReceiveUnlockResponse()));
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;

private:
    void Launch(std::optional<std::uint32_t> scmRevisionNumber)
    {
        m_checker.emplace(Support::CCheckerProcess::CEnvironment{{"SafetyDomainNumber", std::to_string(Domain)}});
        m_peers.emplace(Domain);
        (void)m_peers->Start(scmRevisionNumber);
    }

    std::optional<Support::CCheckerProcess> m_checker;
    std::optional<CPlayedDomain> m_peers;
};

// ---------------------------------------------------------------------------------------------------------------
// Every flow, relayed plain on the runtime's side and complemented on the SCM's, with the checker valid and with
// the checker fail-safe after the SCM published another revision number.

// One flow: what the sending peer sent and what the receiving peer got.
struct CFlowCase
{
    const char* m_name;
    bool m_isFrame;
    std::function<std::pair<Bytes, std::optional<Bytes>>(CPlayedDomain&)> m_play;
};

void PrintTo(const CFlowCase& flow, std::ostream* stream)
{
    *stream << flow.m_name;
}

const std::vector<CFlowCase>& GetFlowCases()
{
    static const std::vector<CFlowCase> cases = {
        {"UnlockRequest", false,
         [](CPlayedDomain& peers)
         {
             const Bytes request(21u, 0x5Au);
             peers.Cycle([&] { (void)peers.GetRuntime().SendUnlockRequest(request); });
             std::optional<Bytes> received;
             peers.Cycle([&] { received = peers.GetScm().ReceiveUnlockRequest(); });
             return std::make_pair(request, received);
         }},
        {"UnlockResponse", false,
         [](CPlayedDomain& peers)
         {
             const Bytes response = {0x10u, 0x00u, 0xFFu, 0x42u};
             peers.Cycle([&] { (void)peers.GetScm().SendUnlockResponse(response); });
             peers.Cycle();
             return std::make_pair(response, peers.GetRuntime().ReceiveUnlockResponse());
         }},
        {"FrameFromRuntime", true,
         [](CPlayedDomain& peers)
         {
             const Bytes frame = CFrameBuilder::SnmtResponseUdid(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
             const std::vector<Bytes> received = peers.SendFramesFromRuntime({frame});
             return std::make_pair(frame, received.empty() ? std::nullopt : std::optional<Bytes>(received.front()));
         }},
        {"FrameFromScm", true,
         [](CPlayedDomain& peers)
         {
             const Bytes frame = CFrameBuilder::SnmtAssignSadr(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
             const std::vector<Bytes> received = peers.SendFramesFromScm({frame});
             return std::make_pair(frame, received.empty() ? std::nullopt : std::optional<Bytes>(received.front()));
         }},
        {"Command", false,
         [](CPlayedDomain& peers)
         {
             const Bytes command = Support::CCommandBuilder::AcknowledgeFirmware(OperatorPassword).Build();
             // A failed status: the command is not judged.
             const CPlayedDomain::CRoundTrip roundTrip =
                 peers.SendCommand(command, Support::CStatusBuilder().Status(1u).Build());
             return std::make_pair(command, roundTrip.m_commandAtScm);
         }},
        {"StatusResponse", false,
         [](CPlayedDomain& peers)
         {
             const Bytes response = Support::CStatusBuilder().Number(3u).Byte(100u, 0xA5u).Build();
             const CPlayedDomain::CRoundTrip roundTrip =
                 peers.SendCommand(Support::CCommandBuilder::RequestStatus().Build(), response);
             return std::make_pair(response, roundTrip.m_responseAtRuntime);
         }},
        // The checker answers its own object in a diagnosis with the version of its identification record.
        {"DiagnosisResponse", false,
         [](CPlayedDomain& peers)
         {
             const Bytes response = Support::CDiagnosisBuilder().Object(0x2432u, 1u, 7u, 0xFFFFFFFFu).Build();
             const CPlayedDomain::CRoundTrip roundTrip =
                 peers.SendCommand(Support::CCommandBuilder::RequestStatus().Build(), response);
             return std::make_pair(
                 Support::CDiagnosisBuilder().Object(0x2432u, 1u, 0u, SCM_CHECKER_VERSION_MINOR).Build(),
                 roundTrip.m_responseAtRuntime);
         }},
        {"Event", false,
         [](CPlayedDomain& peers)
         {
             const Bytes event =
                 Support::CEventBuilder().Level(2u).Code(0xC123u).Information0(9u).Information1(0x01020304u).Build();
             peers.Cycle([&] { (void)peers.GetScm().SendEvent(event); });
             peers.Cycle();
             return std::make_pair(event, peers.GetRuntime().ReceiveEventMessage());
         }},
    };
    return cases;
}

class EndToEndFlow : public EndToEnd, public ::testing::WithParamInterface<std::tuple<CFlowCase, bool>>
{
};

TEST_P(EndToEndFlow, IsRelayedPlainExceptFramesOnceFailSafe)
{
    const CFlowCase& flow = std::get<0>(GetParam());
    const bool revisionMismatch = std::get<1>(GetParam());
    const std::uint32_t scmRevisionNumber = SCM_CHECKER_REVISION_NUMBER + (revisionMismatch ? 1u : 0u);
    StartChecker(Support::MakeCleanDomainProvision(), scmRevisionNumber);
    // By the first hand-over the checker has logged everything of its start.
    Peers().Cycle();
    std::vector<CEventRecord> startEvents;
    if (revisionMismatch)
    {
        startEvents.push_back(Error(0xE203u, 0u, scmRevisionNumber));
    }
    EXPECT_EQ(startEvents, TakeEvents());

    const auto [sent, received] = flow.m_play(Peers());
    std::optional<Bytes> expected = sent;
    if (revisionMismatch && flow.m_isFrame)
    {
        expected = std::nullopt;
    }
    else if (revisionMismatch && (std::string(flow.m_name) == "StatusResponse"))
    {
        (*expected)[StatusFailSafeFlagsOffset] = CheckerFailSafeFlag;
    }
    EXPECT_EQ(Hex(expected), Hex(received));
    EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents());
}

INSTANTIATE_TEST_SUITE_P(Flows, EndToEndFlow,
                         ::testing::Combine(::testing::ValuesIn(GetFlowCases()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<CFlowCase, bool>>& testCase)
                         {
                             return std::string(std::get<0>(testCase.param).m_name) +
                                    (std::get<1>(testCase.param) ? "AfterScmRevisionMismatch" : "");
                         });

// A clean domain starts without event and not fail-safe, and so again on the files that its first checker left.
TEST_F(EndToEnd, CleanDomainStartsCleanAlsoAfterARestart)
{
    StartChecker(Support::MakeCleanDomainProvision());
    for (int start = 1; start <= 2; ++start)
    {
        if (start == 2)
        {
            RestartChecker();
        }
        EXPECT_EQ(std::optional<std::uint8_t>(StatusOk), RequestStatus()) << "start " << start;
        EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents()) << "start " << start;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Modules commissioned through the four checks: every frame of the SCM released plain, every answer relayed.

Bytes Operational(std::uint16_t sadr)
{
    return CFrameBuilder::SnmtExtendedServiceResponse(sadr, 3u).Build();
}

// What the SCM does with the module as configured (the module reports itself as given).
using CScriptFunction = std::function<std::vector<CStep>(CScript&, const CPlayedModule&)>;

std::vector<CStep> Concatenate(std::initializer_list<std::vector<CStep>> parts)
{
    std::vector<CStep> steps;
    for (const std::vector<CStep>& part : parts)
    {
        steps.insert(steps.end(), part.begin(), part.end());
    }
    return steps;
}

// The happy path: identification, the checksum upload that matches, set to operational.
std::vector<CStep> CommissionByUpload(CScript& script, const CPlayedModule& module)
{
    return Concatenate({script.Identify(),
                        script.UploadChecksum(module.m_parameterChecksum),
                        {script.SetToOp(Operational(module.m_safetyAddress))}});
}

// A fresh module reports another checksum; the SCM downloads the parameter set with the configured one.
std::vector<CStep> CommissionByDownload(CScript& script, const CPlayedModule& module)
{
    return Concatenate({script.Identify(),
                        script.UploadChecksum({0xDEu, 0xADu, 0xBEu, 0xEFu}),
                        {script.SetToPreOp()},
                        script.Download(BuildParameterSet(module.m_parameterChecksum)),
                        {script.SetToOp(Operational(module.m_safetyAddress))}});
}

// The module asks for its additional parameter 1 (whole block) when set to operational; the SCM acknowledges,
// downloads it and sets the module to operational again.
std::vector<CStep> CommissionWithAdditionalParameter(CScript& script, const CPlayedModule& module,
                                                     const Support::CAdditionalParameterRecord& download)
{
    const std::uint16_t sadr = module.m_safetyAddress;
    return Concatenate(
        {script.Identify(),
         script.UploadChecksum(module.m_parameterChecksum),
         {script.SetToOp(CFrameBuilder::SnmtSnFail(sadr, 5u, 0xF0u).Build()), script.AcknowledgeFailure(5u, 0xF0u)},
         script.Download(Support::BuildAdditionalParameter(download)),
         {script.SetToOp(Operational(sadr))}});
}

struct CCommissioningCase
{
    const char* m_name;
    std::uint16_t m_safetyAddress;
    CScriptFunction m_script;
};

void PrintTo(const CCommissioningCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class EndToEndCommissioning : public EndToEnd, public ::testing::WithParamInterface<CCommissioningCase>
{
};

TEST_P(EndToEndCommissioning, ReleasesEveryFrameOfTheScmPlain)
{
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    StartChecker(configuration.MakeProvision());
    const CPlayedModule& module = configuration.GetModule(GetParam().m_safetyAddress);
    CScript script(module);
    Play(GetParam().m_script(script, module));
    EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents());
    EXPECT_EQ(std::optional<std::uint8_t>(StatusOk), RequestStatus());
}

INSTANTIATE_TEST_SUITE_P(Paths, EndToEndCommissioning,
                         ::testing::Values(CCommissioningCase{"ChecksumUploadedExpedited", 2u, CommissionByUpload},
                                           CCommissioningCase{"ChecksumUploadedSegmented", 3u, CommissionByUpload},
                                           CCommissioningCase{"ParameterSetDownloaded", 2u, CommissionByDownload},
                                           CCommissioningCase{"AdditionalParameterDownloaded", 4u,
                                                              [](CScript& script, const CPlayedModule& module) {
                                                                  return CommissionWithAdditionalParameter(
                                                                      script, module,
                                                                      module.m_additionalParameters.front());
                                                              }}),
                         [](const ::testing::TestParamInfo<CCommissioningCase>& testCase)
                         { return testCase.param.m_name; });

// ---------------------------------------------------------------------------------------------------------------
// Each check refuses its own violation: the frame is withheld, the event carries the check's code and information,
// and the domain is fail-safe for good.

struct CRefusalCase
{
    const char* m_name;
    std::uint16_t m_safetyAddress;
    // Changes the configuration and the module as it reports itself.
    std::function<void(Support::CDomainConfiguration&, CPlayedModule&)> m_prepare;
    // The exchanges up to and including the refused one, which comes last.
    CScriptFunction m_script;
    CEventRecord m_event;
};

void PrintTo(const CRefusalCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class EndToEndRefusal : public EndToEnd, public ::testing::WithParamInterface<CRefusalCase>
{
};

TEST_P(EndToEndRefusal, WithholdsTheFrameLogsTheCheckAndGoesFailSafe)
{
    const CRefusalCase& refusal = GetParam();
    Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    CPlayedModule reported = configuration.GetModule(refusal.m_safetyAddress);
    refusal.m_prepare(configuration, reported);
    StartChecker(configuration.MakeProvision());

    CScript script(reported);
    std::vector<CStep> steps = refusal.m_script(script, configuration.GetModule(refusal.m_safetyAddress));
    const CStep refused = steps.back();
    steps.pop_back();
    Play(steps);
    ASSERT_FALSE(HasFailure());
    PlayRefused(refused);
    EXPECT_EQ(std::vector<CEventRecord>{refusal.m_event}, TakeEvents());
    ExpectFailSafeFlows();
    EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents());
}

void NoChange(Support::CDomainConfiguration&, CPlayedModule&) {}

// The steps of a script up to and including the first whose name starts with the given text.
CScriptFunction UpTo(CScriptFunction script, std::string stepName)
{
    return [script, stepName](CScript& played, const CPlayedModule& module)
    {
        std::vector<CStep> steps = script(played, module);
        const auto refused = std::find_if(steps.begin(), steps.end(),
                                          [&](const CStep& step) { return step.m_name.rfind(stepName, 0u) == 0u; });
        steps.erase((refused == steps.end()) ? refused : refused + 1, steps.end());
        return steps;
    };
}

// The additional parameter that the SCM downloads instead of the configured one.
CScriptFunction DownloadingAdditionalParameter(std::function<void(Support::CAdditionalParameterRecord&)> change)
{
    return UpTo(
        [change](CScript& script, const CPlayedModule& module)
        {
            Support::CAdditionalParameterRecord download = module.m_additionalParameters.front();
            change(download);
            return CommissionWithAdditionalParameter(script, module, download);
        },
        "download middle segment");
}

// Module flags in the refusals: required 1, discovered 2, acknowledged 4; then UDID: matching 8, consistent 16,
// unique 32; firmware: compatible 8, matching 16; parameters: compatible 4.
INSTANTIATE_TEST_SUITE_P(
    Checks, EndToEndRefusal,
    ::testing::Values(
        CRefusalCase{"UdidDiffersFromTheAcknowledgedOne", 2u,
                     [](Support::CDomainConfiguration&, CPlayedModule& reported) { reported.m_udid[5] = 0x82u; },
                     CommissionByUpload, CEventRecord{ScmEvent::Error, 0xE2D8u, 2u, 1u | 2u | 4u | 16u | 32u}},
        CRefusalCase{"MinorRevisionNotAcknowledged", 2u,
                     [](Support::CDomainConfiguration&, CPlayedModule& reported) { reported.m_minorRevision = 4u; },
                     CommissionByUpload, CEventRecord{ScmEvent::Error, 0xE2DFu, 2u, 1u | 2u | 4u | 8u}},
        CRefusalCase{"VendorDiffersFromTheConfiguredOne", 2u,
                     [](Support::CDomainConfiguration&, CPlayedModule& reported) { reported.m_vendorId += 1u; },
                     CommissionByUpload, CEventRecord{ScmEvent::Error, 0xE2DFu, 2u, 1u | 2u | 4u}},
        CRefusalCase{"ParameterChecksumDiffers", 2u,
                     [](Support::CDomainConfiguration&, CPlayedModule& reported) {
                         reported.m_parameterChecksum = {0xDEu, 0xADu, 0xBEu, 0xEFu};
                     },
                     [](CScript& script, const CPlayedModule& module)
                     {
                         // The SCM sets the module to operational without downloading the parameter set.
                         return Concatenate({script.Identify(),
                                             script.UploadChecksum({0xDEu, 0xADu, 0xBEu, 0xEFu}),
                                             {script.SetToOp(Operational(module.m_safetyAddress))}});
                     },
                     CEventRecord{ScmEvent::Error, 0xE2E6u, 2u, 1u | 2u}},
        CRefusalCase{"AdditionalParameterHeaderDiffers", 4u, NoChange,
                     DownloadingAdditionalParameter([](Support::CAdditionalParameterRecord& download)
                                                    { download.m_timestamp += 1u; }),
                     CEventRecord{ScmEvent::Error, 0xE2EDu, 4u, 1u}},
        CRefusalCase{"AdditionalParameterNotConfigured", 4u, NoChange,
                     DownloadingAdditionalParameter([](Support::CAdditionalParameterRecord& download)
                                                    { download.m_parameterNumber = 2u; }),
                     CEventRecord{ScmEvent::Error, 0xE2ECu, 4u, 2u}},
        CRefusalCase{"KeyMediumNotAcknowledged", 2u,
                     [](Support::CDomainConfiguration& configuration, CPlayedModule&)
                     { configuration.m_tesseraAcknowledged = false; },
                     CommissionByUpload, CEventRecord{ScmEvent::Error, 0xE249u, 0u, 0u}}),
    [](const ::testing::TestParamInfo<CRefusalCase>& testCase) { return testCase.param.m_name; });

// ---------------------------------------------------------------------------------------------------------------
// Damaged files at start-up: the event names the damage, the domain is fail-safe, a pair that disagrees is
// deleted, a plain file is left as it is; a checker started again after the pair was deleted runs on the rest.

struct CDamageCase
{
    const char* m_name;
    // Damages the provision's storages; returns the event that the damage must cause.
    std::function<CEventRecord(const Support::CDomainConfiguration&, Support::CDomainProvision&)> m_damage;
    std::vector<std::string> m_deletedStorages;
    // After a restart: the module that the SCM then commissions and the refusal that its lost acknowledgement
    // causes; no restart when nothing was deleted.
    std::uint16_t m_safetyAddress;
    CEventRecord m_refusalAfterRestart;
};

void PrintTo(const CDamageCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class EndToEndDamagedFile : public EndToEnd, public ::testing::WithParamInterface<CDamageCase>
{
};

TEST_P(EndToEndDamagedFile, IsLoggedAndMakesTheDomainFailSafe)
{
    const CDamageCase& damage = GetParam();
    const Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    Support::CDomainProvision provision = configuration.MakeProvision();
    const CEventRecord event = damage.m_damage(configuration, provision);
    StartChecker(provision);
    EXPECT_EQ(std::vector<CEventRecord>{event}, TakeEvents());
    ExpectFailSafeFlows();
    for (const auto& [name, content] : provision.m_storages)
    {
        const bool deleted = std::find(damage.m_deletedStorages.begin(), damage.m_deletedStorages.end(), name) !=
                             damage.m_deletedStorages.end();
        EXPECT_EQ(Hex(deleted ? Bytes() : content), Hex(ReadStorage(name.c_str()))) << name;
    }
    if (damage.m_deletedStorages.empty() || HasFailure())
    {
        return;
    }

    RestartChecker();
    const CPlayedModule& module = configuration.GetModule(damage.m_safetyAddress);
    CScript script(module);
    std::vector<CStep> steps = CommissionByUpload(script, module);
    const CStep refused = steps.back();
    steps.pop_back();
    Play(steps);
    PlayRefused(refused);
    EXPECT_EQ(std::vector<CEventRecord>{damage.m_refusalAfterRestart}, TakeEvents());
}

INSTANTIATE_TEST_SUITE_P(
    Files, EndToEndDamagedFile,
    ::testing::Values(
        CDamageCase{"UdidPairDisagrees",
                    [](const Support::CDomainConfiguration& configuration, Support::CDomainProvision& provision)
                    {
                        Support::CDomainConfiguration other = configuration;
                        other.GetModule(3u).m_udid[0] ^= 0x01u;
                        provision.m_storages["tessera.dat.chk"] = other.BuildFile("tessera.dat.chk");
                        return CEventRecord{ScmEvent::Error, 0xE21Au, 3u, 3u};
                    },
                    {"tessera.dat", "tessera.dat.chk"},
                    3u,
                    // Required (the parameters were loaded), discovered, consistent and unique, but no longer
                    // acknowledged; the key medium still is (the refusal is the UDID check's).
                    CEventRecord{ScmEvent::Error, 0xE2D8u, 3u, 1u | 2u | 16u | 32u}},
        CDamageCase{"FirmwareRevisionFileCrcDamaged",
                    [](const Support::CDomainConfiguration& configuration, Support::CDomainProvision& provision)
                    {
                        Support::CFwRevCnfBinBuilder builder;
                        for (const CPlayedModule& module : configuration.m_modules)
                        {
                            builder.AddModule(module.m_safetyAddress, *module.m_acknowledgedMinorRevision);
                        }
                        const Bytes intact = builder.Build();
                        builder.m_spoilModuleCrc = true;
                        provision.m_storages["fwrevcnf.bin"] = builder.Build();
                        const std::size_t crcOffset = 8u + 4u * configuration.m_modules.size();
                        return CEventRecord{ScmEvent::Error, 0xE27Au, 0u, Support::ReadUInt32(intact, crcOffset)};
                    },
                    {"fwrevcnf.bin", "fwrevcnf.bin.chk"},
                    2u,
                    // The UDID check passed (its files were loaded); the firmware is compatible but no longer
                    // acknowledged.
                    CEventRecord{ScmEvent::Error, 0xE2DFu, 2u, 1u | 2u | 8u}},
        CDamageCase{"ParameterContainerCrcDamaged",
                    [](const Support::CDomainConfiguration& configuration, Support::CDomainProvision& provision)
                    {
                        Support::CTolParaSafBuilder builder;
                        builder.m_scmSection = configuration.BuildScmSection();
                        builder.m_spoilBlockCrc = 0u;
                        provision.m_storages["tol_para.saf"] = builder.Build();
                        return CEventRecord{ScmEvent::Error, 0xE25Eu, 0u,
                                            Support::Crc32(builder.m_scmSection, 0u, builder.m_scmSection.size())};
                    },
                    {},
                    0u,
                    {}}),
    [](const ::testing::TestParamInfo<CDamageCase>& testCase) { return testCase.param.m_name; });

// ---------------------------------------------------------------------------------------------------------------
// An acknowledgement made while the checker runs is written to its check copies at once; the SCM writes its own
// files likewise, and a checker started again releases the module without a new acknowledgement.

struct CAcknowledgementCase
{
    const char* m_name;
    // Removes the acknowledgement from the configuration that the domain starts with.
    std::function<void(Support::CDomainConfiguration&)> m_unacknowledge;
    // Plays the acknowledgement (operator or SCM) and updates the configuration as the SCM records it.
    std::function<void(CPlayedDomain&, Support::CDomainConfiguration&)> m_acknowledge;
};

void PrintTo(const CAcknowledgementCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class EndToEndAcknowledgement : public EndToEnd, public ::testing::WithParamInterface<CAcknowledgementCase>
{
};

TEST_P(EndToEndAcknowledgement, OutlivesARestart)
{
    Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    GetParam().m_unacknowledge(configuration);
    StartChecker(configuration.MakeProvision());
    const CPlayedModule module = configuration.GetModule(2u);
    {
        CScript script(module);
        std::vector<CStep> steps = CommissionByUpload(script, module);
        const CStep setToOp = steps.back();
        steps.pop_back();
        Play(steps);
        ASSERT_FALSE(HasFailure());
        GetParam().m_acknowledge(Peers(), configuration);
        Play({setToOp});
    }
    EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents());
    for (const auto& [name, content] : configuration.BuildCheckerFiles())
    {
        EXPECT_EQ(Hex(content), Hex(ReadStorage(name.c_str()))) << name << " as the checker wrote it";
    }
    for (const auto& [name, content] : configuration.BuildScmFiles())
    {
        WriteStorage(name, content);
    }

    RestartChecker();
    CScript script(module);
    Play(CommissionByUpload(script, module));
    EXPECT_EQ(std::vector<CEventRecord>{}, TakeEvents());
    EXPECT_EQ(std::optional<std::uint8_t>(StatusOk), RequestStatus());
}

// The operator's command, judged at the SCM's successful status response.
void Command(CPlayedDomain& peers, const Bytes& command)
{
    const CPlayedDomain::CRoundTrip roundTrip = peers.SendCommand(command, Support::CStatusBuilder().Build());
    EXPECT_EQ(Hex(command), Hex(roundTrip.m_commandAtScm));
    EXPECT_TRUE(roundTrip.m_responseAtRuntime.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Acknowledgements, EndToEndAcknowledgement,
    ::testing::Values(
        CAcknowledgementCase{"OperatorAcknowledgesTheModule",
                             [](Support::CDomainConfiguration& configuration)
                             { configuration.GetModule(2u).m_udidAcknowledged = false; },
                             [](CPlayedDomain& peers, Support::CDomainConfiguration& configuration)
                             {
                                 Command(peers,
                                         Support::CCommandBuilder::AcknowledgeModules(OperatorPassword, 1u).Build());
                                 // The command's password becomes the operator's password.
                                 configuration.GetModule(2u).m_udidAcknowledged = true;
                                 configuration.m_password = OperatorPassword;
                             }},
        CAcknowledgementCase{"OperatorAcknowledgesTheFirmware",
                             [](Support::CDomainConfiguration& configuration)
                             { configuration.GetModule(2u).m_acknowledgedMinorRevision = std::nullopt; },
                             [](CPlayedDomain& peers, Support::CDomainConfiguration& configuration)
                             {
                                 Command(peers,
                                         Support::CCommandBuilder::AcknowledgeFirmware(OperatorPassword).Build());
                                 configuration.GetModule(2u).m_acknowledgedMinorRevision =
                                     configuration.GetModule(2u).m_minorRevision;
                                 configuration.m_password = OperatorPassword;
                             }},
        CAcknowledgementCase{"ScmAcknowledgesTheModuleInSetupMode",
                             [](Support::CDomainConfiguration& configuration)
                             {
                                 configuration.GetModule(2u).m_udidAcknowledged = false;
                                 configuration.m_setupModeActive = true;
                             },
                             [](CPlayedDomain& peers, Support::CDomainConfiguration& configuration)
                             {
                                 const Bytes event = Support::CEventBuilder::ModulesAcknowledged(
                                                         Support::CEventBuilder::Acknowledgement::SetupMode, 1u)
                                                         .Build();
                                 peers.Cycle([&] { ASSERT_TRUE(peers.GetScm().SendEvent(event)); });
                                 peers.Cycle();
                                 EXPECT_EQ(Hex(event), Hex(peers.GetRuntime().ReceiveEventMessage()));
                                 configuration.GetModule(2u).m_udidAcknowledged = true;
                             }}),
    [](const ::testing::TestParamInfo<CAcknowledgementCase>& testCase) { return testCase.param.m_name; });
} // namespace
