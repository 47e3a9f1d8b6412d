// scm-fuzz-seeds: writes the seed corpus of every fuzz target, made by the builders of tests and peers, into one
// folder per target. Usage: scm-fuzz-seeds DIRECTORY. Exit status: 0 written; 1 a file could not be written;
// 2 bad arguments.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/common/FuzzDomain.h"
#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CDiagnosisBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Messages/CStatusNewBuilder.h"

namespace
{
using Support::Bytes;
using Support::CCommandBuilder;
using Support::CEventBuilder;
using Support::CFrameBuilder;

const Support::Udid ScmUdid = {0x00u, 0x60u, 0x65u, 0x53u, 0x43u, 0x4Du};

class CSeeds
{
public:
    explicit CSeeds(std::filesystem::path root) : m_root(std::move(root)), m_failed(false) {}

    void Write(const std::string& target, const std::string& name, const Bytes& content)
    {
        const std::filesystem::path folder = m_root / target;
        std::filesystem::create_directories(folder);
        std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        if (!file)
        {
            (void)std::fprintf(stderr, "scm-fuzz-seeds: cannot write %s/%s\n", target.c_str(), name.c_str());
            m_failed = true;
        }
    }
    bool Failed() const
    {
        return m_failed;
    }

private:
    std::filesystem::path m_root;
    bool m_failed;
};

// The session target's input: records of flow, length and message, and cycles.
class CSessionScript
{
public:
    enum Flow : std::uint8_t
    {
        UnlockRequest,
        UnlockResponse,
        FrameFromRuntime,
        FrameFromScm,
        Command,
        Response,
        Event,
        Cycle
    };
    CSessionScript& Send(Flow flow, const Bytes& message)
    {
        m_bytes.push_back(flow);
        m_bytes.push_back(static_cast<std::uint8_t>(message.size()));
        m_bytes.push_back(static_cast<std::uint8_t>(message.size() >> 8));
        m_bytes.insert(m_bytes.end(), message.begin(), message.end());
        return *this;
    }
    CSessionScript& RunCycle()
    {
        m_bytes.push_back(Cycle);
        return *this;
    }
    const Bytes& GetBytes() const
    {
        return m_bytes;
    }

private:
    Bytes m_bytes;
};

std::vector<Bytes> Frames(const Support::Udid& scmUdid)
{
    const Support::Udid udid = {0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x02u};
    const Bytes data = {1u, 2u, 3u, 4u};
    return {
        CFrameBuilder::SnmtRequestUdid(2u).Build(),
        CFrameBuilder::SnmtResponseUdid(2u, udid).Build(),
        CFrameBuilder::SnmtAssignSadr(2u, udid).Build(),
        CFrameBuilder::SnmtSadrAssigned(2u, udid).Build(),
        CFrameBuilder::SnmtAssignUdidScm(2u, scmUdid).Build(),
        CFrameBuilder::SnmtSnSetToOp(2u, 0x12345678u).Build(),
        CFrameBuilder::SnmtSnFail(2u, 1u, 2u).Build(),
        CFrameBuilder::SnmtSnAck(2u, 1u, 2u).Build(),
        CFrameBuilder::SsdoDownloadInitiateExpedited(2u, 0x1018u, 1u, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoDownloadInitiateSegmented(2u, 0x101Au, 0u, 12u, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoDownloadSegment(2u, false, true, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoDownloadSegment(2u, true, false, data, false, true).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoUploadInitiateExpeditedResponse(2u, 0x1018u, 3u, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoUploadInitiateSegmentedResponse(2u, 0x1018u, 3u, 8u, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoUploadSegmentResponse(2u, false, false, data).ScmUdid(scmUdid).Build(),
        CFrameBuilder::SsdoUploadSegmentResponse(2u, true, true, Bytes(200u, 0x5Au)).ScmUdid(scmUdid).Build(),
    };
}

void WriteMessages(CSeeds& seeds)
{
    const Support::Udid zero = {};
    int n = 0;
    for (const Bytes& frame : Frames(zero))
    {
        seeds.Write("frame-decoder", "frame" + std::to_string(n++), frame);
    }
    n = 0;
    for (const Bytes& frame : Frames(ScmUdid))
    {
        Bytes input(ScmUdid.begin(), ScmUdid.end());
        input.insert(input.end(), frame.begin(), frame.end());
        seeds.Write("frame-decoder-udid", "frame" + std::to_string(n++), input);
    }

    const Support::Password& password = Fuzz::GetDomainPassword();
    Support::Password newPassword = password;
    newPassword[0] = 0x4Eu;
    const std::vector<Bytes> commands = {
        CCommandBuilder::ChangePassword(password, newPassword).Build(),
        CCommandBuilder::AcknowledgeTessera(password).Build(),
        CCommandBuilder::AcknowledgeModules(password, 3u).Build(),
        CCommandBuilder::AcknowledgeFirmware(password).Build(),
        CCommandBuilder::RequestStatus().Build(),
        CCommandBuilder::ActivateSetupMode(password).Build(),
        CCommandBuilder::DeactivateSetupMode(password).Build(),
    };
    n = 0;
    for (const Bytes& command : commands)
    {
        seeds.Write("command-decoder", "command" + std::to_string(n++), command);
    }

    seeds.Write("response-decoder", "status", Support::CStatusBuilder().Build());
    seeds.Write("response-decoder", "status-new", Support::CStatusNewBuilder().Build());
    seeds.Write("response-decoder", "diagnosis",
                Support::CDiagnosisBuilder().Object(0x2432u, 1u).Object(0x1018u, 2u).Build());

    using Ack = CEventBuilder::Acknowledgement;
    n = 0;
    for (const Ack kind : {Ack::SetupMode, Ack::Automatic})
    {
        seeds.Write("event-decoder", "event" + std::to_string(n++), CEventBuilder::TesseraAcknowledged(kind).Build());
        seeds.Write("event-decoder", "event" + std::to_string(n++),
                    CEventBuilder::ModulesAcknowledged(kind, 3u).Build());
        seeds.Write("event-decoder", "event" + std::to_string(n++), CEventBuilder::FirmwareAcknowledged(kind).Build());
    }
    seeds.Write("event-decoder", "other", CEventBuilder().Level(2u).Code(0xC123u).Information0(9u).Build());
}

// Target names use '-' for the '.' of the storage names.
std::string TargetOf(std::string storage)
{
    for (char& c : storage)
    {
        c = (c == '.') ? '-' : c;
    }
    return "file-" + storage;
}

void WriteFiles(CSeeds& seeds)
{
    const Support::CDomainConfiguration configuration = Fuzz::MakeDomainConfiguration();
    Support::CDomainProvision provision = configuration.MakeProvision();
    provision.m_storages["pardata1.bin"] = Support::CParData1BinBuilder().Build();
    provision.m_storages["emodata1.bin"] = Support::CEmoData1BinBuilder().Build();
    for (const auto& [name, content] : provision.m_storages)
    {
        seeds.Write(TargetOf(name), "configured", content);
        seeds.Write(TargetOf(name), "empty", Bytes());
    }
    // Files the example domain leaves empty or minimal, with content: automatic setup, additional parameters,
    // machine options.
    Support::CAutoCnfBinBuilder automatic;
    automatic.m_timestamp = 0x5F000000u;
    automatic.m_hasUdidSection = true;
    Support::CParData1BinBuilder parameters;
    for (const Support::CPlayedModule& module : configuration.m_modules)
    {
        automatic.m_udids.push_back({module.m_safetyAddress, module.m_udid});
        parameters.m_parameters.insert(parameters.m_parameters.end(), module.m_additionalParameters.begin(),
                                       module.m_additionalParameters.end());
    }
    automatic.m_machineOptions = Bytes(76u, 0x01u);
    automatic.m_moduleFlags = Bytes(396u, 0x00u);
    seeds.Write("file-autocnf-bin", "automatic", automatic.Build());
    seeds.Write("file-pardata1-bin", "parameters", parameters.Build());
    Support::CEmoData1BinBuilder options;
    options.m_timestamp = 0x5F000000u;
    options.m_body = Bytes{0x01u, 0x02u, 0x03u, 0x04u, 0x05u, 0x06u, 0x07u, 0x08u};
    seeds.Write("file-emodata1-bin", "options", options.Build());

    // Its CRC table ends one byte past the file, which the header's total length admits: refused at the edge.
    Support::CTolParaSafBuilder edge;
    edge.m_scmSection = configuration.BuildScmSection();
    const Bytes whole = edge.Build();
    edge.m_totalLength = static_cast<std::uint32_t>(whole.size() - 1u);
    Bytes cut = edge.Build();
    cut.pop_back();
    seeds.Write("file-tol_para-saf", "crc-table-past-end", cut);
    seeds.Write("parameter-stream", "scm-section", configuration.BuildScmSection());
}

void WriteSessions(CSeeds& seeds)
{
    using Flow = CSessionScript::Flow;
    const Support::CDomainConfiguration configuration = Fuzz::MakeDomainConfiguration();
    const Support::CPlayedModule& module = configuration.m_modules.front();
    const Support::Password& password = Fuzz::GetDomainPassword();
    const std::uint16_t sadr = module.m_safetyAddress;

    seeds.Write(
        "session", "commissioning",
        CSessionScript()
            .Send(Flow::FrameFromScm, CFrameBuilder::SnmtAssignUdidScm(1u, ScmUdid).Build())
            .Send(Flow::FrameFromRuntime, CFrameBuilder::SnmtResponseUdid(sadr, module.m_udid).Build())
            .RunCycle()
            .Send(Flow::FrameFromScm, CFrameBuilder::SnmtAssignSadr(sadr, module.m_udid).Build())
            .Send(Flow::FrameFromScm, CFrameBuilder::SsdoDownloadInitiateExpedited(sadr, 0x1018u, 3u, {3u, 0u, 1u, 0u})
                                          .ScmUdid(ScmUdid)
                                          .Build())
            .RunCycle()
            .Send(Flow::FrameFromRuntime,
                  CFrameBuilder::SsdoUploadInitiateExpeditedResponse(sadr, 0x1018u, 3u, {3u, 0u, 1u, 0u})
                      .ScmUdid(ScmUdid)
                      .Build())
            .Send(Flow::FrameFromScm, CFrameBuilder::SnmtSnSetToOp(sadr).Build())
            .RunCycle()
            .GetBytes());
    seeds.Write("session", "status",
                CSessionScript()
                    .Send(Flow::Command, CCommandBuilder::RequestStatus().Password(password).Build())
                    .RunCycle()
                    .Send(Flow::Response, Support::CStatusBuilder().Build())
                    .RunCycle()
                    .Send(Flow::Response, Support::CDiagnosisBuilder().Object(0x2432u, 1u).Build())
                    .RunCycle()
                    .GetBytes());
    seeds.Write(
        "session", "acknowledge",
        CSessionScript()
            .Send(Flow::Command, CCommandBuilder::AcknowledgeTessera(password).Build())
            .RunCycle()
            .Send(Flow::Response, Support::CStatusNewBuilder().Build())
            .Send(Flow::Event, CEventBuilder::TesseraAcknowledged(CEventBuilder::Acknowledgement::SetupMode).Build())
            .RunCycle()
            .Send(Flow::Command, CCommandBuilder::AcknowledgeModules(password, 3u).Build())
            .RunCycle()
            .Send(Flow::Event,
                  CEventBuilder::ModulesAcknowledged(CEventBuilder::Acknowledgement::SetupMode, 3u).Build())
            .RunCycle()
            .GetBytes());
    seeds.Write("session", "unlock",
                CSessionScript()
                    .Send(Flow::UnlockRequest, Bytes(21u, 0x11u))
                    .RunCycle()
                    .Send(Flow::UnlockResponse, Bytes(21u, 0x22u))
                    .RunCycle()
                    .GetBytes());
    // A refused frame of the SCM makes the domain fail-safe while the network goes on sending.
    Bytes refused = CFrameBuilder::SnmtSnAck(sadr, 1u, 2u).Build();
    refused.back() = static_cast<std::uint8_t>(refused.back() ^ 0x01u);
    seeds.Write("session", "fail-safe",
                CSessionScript()
                    .Send(Flow::FrameFromScm, refused)
                    .RunCycle()
                    .Send(Flow::FrameFromRuntime, CFrameBuilder::SnmtResponseUdid(sadr, module.m_udid).Build())
                    .Send(Flow::FrameFromScm, CFrameBuilder::SnmtSnFail(sadr, 0u, 0u).Build())
                    .RunCycle()
                    .GetBytes());
}
} // namespace

int main(int argc, char** argv)
{
    if ((argc != 2) || (std::strcmp(argv[1], "--help") == 0) || (std::strcmp(argv[1], "-h") == 0))
    {
        (void)std::printf("Usage: scm-fuzz-seeds DIRECTORY\nWrites the seed corpus of every fuzz target into "
                          "DIRECTORY/<target>/.\nExit status: 0 written; 1 a file could not be written; 2 bad "
                          "arguments.\n");
        return (argc == 2) ? 0 : 2;
    }
    CSeeds seeds(argv[1]);
    WriteMessages(seeds);
    WriteFiles(seeds);
    WriteSessions(seeds);
    return seeds.Failed() ? 1 : 0;
}
