// The named scenarios of scm-sim.
#include "tools/scm-sim/CScenario.h"

#include <cstdio>

namespace ScmSim
{
namespace
{
// The first node is the one the scenarios change; it is always there.
constexpr std::uint16_t FirstSadr = 2u;

CDomainDescription Acknowledged(unsigned nodes, std::uint32_t seed)
{
    return MakeGeneratedDomain(nodes, seed, true);
}

CDomainDescription FreshInSetupMode(unsigned nodes, std::uint32_t seed)
{
    CDomainDescription description = MakeGeneratedDomain(nodes, seed, false);
    description.m_setupMode = true;
    return description;
}

CNodeDescription& First(CDomainDescription& description)
{
    return description.m_nodes.front();
}

// The first node needs additional parameter 2 from "pardata1.bin"; the domain has extended machine options in
// "emodata1.bin". The SCM downloads the block with its timestamp shifted by `shift`.
CDomainDescription WithLoadableParameter(unsigned nodes, std::uint32_t seed, std::uint32_t shift)
{
    CDomainDescription description = Acknowledged(nodes, seed);
    Support::CAdditionalParameterRecord parameter;
    parameter.m_parameterNumber = 2u;
    parameter.m_safetyAddress = FirstSadr;
    for (std::uint8_t i = 0u; i < 24u; ++i)
    {
        parameter.m_data.push_back(static_cast<std::uint8_t>(0x30u + i));
    }
    parameter.m_timestamp = 0x5F300000u;
    First(description).m_configured.m_loadableAdditionalParameters = {parameter};
    First(description).m_additionalParameterTimestampShift = shift;
    description.m_extendedMachineOptions = Bytes(32u, 0x5Au);
    description.m_extendedMachineOptionsTimestamp = 0x5F400000u;
    return description;
}

std::vector<CScenario> MakeScenarios()
{
    std::vector<CScenario> scenarios;
    scenarios.push_back({"commission-auto",
                         "a fresh domain in setup mode: the SCM identifies every node, acknowledges all of them, "
                         "downloads the parameters and sets every node operational",
                         10u, FreshInSetupMode, 0u, false, {}, 0u, false});
    scenarios.push_back({"replaced-module",
                         "the first node was replaced: the SCM finds the new UDID and holds the node back until "
                         "the operator acknowledges it",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             Udid replacement = First(description).m_configured.m_udid;
                             replacement[3] ^= 0x80u;
                             First(description).m_deviceUdid = replacement;
                             return description;
                         },
                         0u, false, {}, 0u, false});
    scenarios.push_back({"firmware-minor-change",
                         "the first node runs a newer minor revision; the operator acknowledges the firmware",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             First(description).m_deviceMinorRevision =
                                 static_cast<std::uint16_t>(First(description).m_configured.m_minorRevision + 1u);
                             return description;
                         },
                         0u, false, {}, 0u, false});
    scenarios.push_back({"parameters-changed",
                         "the SCM downloads a parameter set whose checksum nobody configured or acknowledged",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             First(description).m_deviceChecksum = Bytes{0u, 0u, 0u, 0u};
                             First(description).m_downloadChecksum = Bytes{0xBAu, 0xDCu, 0x0Fu, 0xFEu};
                             return description;
                         },
                         0u, false, {0xE2E6u}, 0u, false});
    scenarios.push_back({"additional-parameter-differs",
                         "the SCM downloads an additional parameter whose header differs from the configured one",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             Support::CAdditionalParameterRecord parameter;
                             parameter.m_parameterNumber = 1u;
                             parameter.m_safetyAddress = FirstSadr;
                             parameter.m_data = {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u};
                             parameter.m_timestamp = 0x5F200000u;
                             First(description).m_configured.m_additionalParameters = {parameter};
                             First(description).m_additionalParameterTimestampShift = 1u;
                             return description;
                         },
                         0u, false, {0xE2EDu}, 0u, false});
    scenarios.push_back({"loadable-additional-parameter",
                         "the first node asks for an additional parameter that the SCM keeps in \"pardata1.bin\" "
                         "(next to extended machine options in \"emodata1.bin\"): downloaded as the file holds it "
                         "and released",
                         3u, [](unsigned nodes, std::uint32_t seed) { return WithLoadableParameter(nodes, seed, 0u); },
                         0u, false, {}, 0u, false});
    scenarios.push_back({"loadable-additional-parameter-differs",
                         "the SCM downloads an additional parameter whose header differs from the one in "
                         "\"pardata1.bin\"",
                         3u, [](unsigned nodes, std::uint32_t seed) { return WithLoadableParameter(nodes, seed, 1u); },
                         0u, false, {0xE2EDu}, 0u, false});
    scenarios.push_back({"spdo-from-nodes",
                         "every node operational, the nodes send SPDOs (under their SADRs and additional SADRs): "
                         "the checker carries SNMT and SSDO frames only, drops them with warnings 0xE2C2 and stays "
                         "valid",
                         10u, FreshInSetupMode, 0u, false, {}, 5u, false});
    scenarios.push_back({"spdo-from-scm",
                         "every node operational, the SCM sends an SPDO: never released, fail-safe with 0xE2C2; the "
                         "nodes' SPDOs that follow do not pass either",
                         3u, Acknowledged, 0u, false, {0xE2C2u}, 5u, true});
    scenarios.push_back({"scm-release-1.5.2",
                         "a fresh domain in setup mode commissioned by an SCM of stack release 1.5.2: every other "
                         "node's configuration asks for its initial CT, which the SCM assigns with service 16 after "
                         "its UDID; segmented downloads start preloaded and stream as deep as each node queues (a "
                         "node without a queue refuses, and the SCM downloads plainly)",
                         6u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = FreshInSetupMode(nodes, seed);
                             description.m_scmPreload = true;
                             for (CNodeDescription& node : description.m_nodes)
                             {
                                 const std::uint16_t sadr = node.m_configured.m_safetyAddress;
                                 node.m_assignInitialCt = (sadr % 2u) == 0u;
                                 node.m_devicePreloadQueue = static_cast<std::uint8_t>(sadr % 3u);
                                 node.m_deviceChecksum = Bytes{0u, 0u, 0u, 0u};
                             }
                             return description;
                         },
                         0u, false, {}, 0u, false});
    scenarios.push_back({"scm-bit-flip",
                         "the SCM flips one bit of a complemented frame: its CRC no longer holds, the frame is never "
                         "released and the domain goes fail-safe",
                         3u, Acknowledged, FirstSadr, false, {0xE2C0u}, 0u, false});
    scenarios.push_back({"scm-revision",
                         "the SCM publishes another revision number: the domain starts fail-safe and no frame passes",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             description.m_scmRevisionOffset = 1u;
                             return description;
                         },
                         0u, false, {0xE203u}, 0u, false});
    scenarios.push_back({"checker-restart",
                         "a fresh domain commissioned in setup mode; the checker is restarted on the files it left "
                         "and releases every node again without a new acknowledgement",
                         3u, FreshInSetupMode, 0u, true, {}, 0u, false});
    scenarios.push_back({"key-medium-exchange",
                         "the key medium was exchanged: no node goes operational until the operator acknowledges "
                         "the key medium",
                         3u,
                         [](unsigned nodes, std::uint32_t seed)
                         {
                             CDomainDescription description = Acknowledged(nodes, seed);
                             description.m_keyMediumAcknowledged = false;
                             return description;
                         },
                         0u, false, {}, 0u, false});
    return scenarios;
}
} // namespace

std::string CExpectation::ToString() const
{
    if (!m_failSafeEvent.has_value())
    {
        return "commissioned";
    }
    char text[32];
    (void)std::snprintf(text, sizeof(text), "fail-safe:0x%04X", static_cast<unsigned>(*m_failSafeEvent));
    return text;
}

const std::vector<CScenario>& GetScenarios()
{
    static const std::vector<CScenario> scenarios = MakeScenarios();
    return scenarios;
}

const CScenario* FindScenario(const std::string& name)
{
    for (const CScenario& scenario : GetScenarios())
    {
        if (scenario.m_name == name)
        {
            return &scenario;
        }
    }
    return nullptr;
}

CScenario MakeDescriptionScenario(const CDomainDescription& description)
{
    CScenario scenario;
    scenario.m_name = "description";
    scenario.m_story = "the domain of the description file, every node commissioned";
    scenario.m_defaultNodes = static_cast<unsigned>(description.m_nodes.size());
    scenario.m_makeDomain = [description](unsigned, std::uint32_t) { return description; };
    return scenario;
}
} // namespace ScmSim
