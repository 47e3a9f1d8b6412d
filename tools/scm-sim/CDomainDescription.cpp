// The simulated domain, read from and written to JSON.
#include "tools/scm-sim/CDomainDescription.h"

#include <random>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "support/Files/FileBytes.h"

namespace ScmSim
{
namespace
{
using nlohmann::json;

constexpr const char* ExampleComments = R"(// A domain for scm-sim: the safety controller, what the SCM believes and each safety node.
// Numbers may be given in decimal; UDIDs and byte strings as hex ("0060654b454c").
//
// domain                 safety domain number (1 to 1023)
// controller             the controller's Kel UDID, CPU product code and serial number, and the timestamp of
//                        the key-medium signature in its flash file 16
// scm.udid               the SCM's UDID (service 14; keys sub-frame 2 of every SSDO frame)
// scm.revision_offset    0: the SCM publishes the checker's revision number; anything else: another revision
// scm.setup_mode         the SCM acknowledges modules and firmware itself (events) once all nodes wait for it
// scm.key_medium_acknowledged  false: the key medium was exchanged and waits for the operator
// scm.preload            stack release 1.5.2: segmented downloads start preloaded (0x2B) and stream their segments
// scm.password           the operator's password (16 characters at most); absent: none set yet
// extended_machine_options  {data, timestamp}: the SCM writes them as "emodata1.bin" (absent: no file)
// nodes[]                each node slot:
//   sadr, udid, vendor_id, product_code, major_revision, minor_revision (the lowest accepted),
//   parameter_checksum   as the safety parameters ("tol_para.saf") configure the module
//   additional_parameters[]  {number 1-16, data, timestamp, loadable}: blocks the node asks for with SN FAIL
//                        group 5; in the safety parameters, or with loadable: true in "pardata1.bin"
//   additional_sadrs[]   {sadr, tx_spdo}: further addresses of the node's transmit SPDOs, assigned by the SCM
//                        (service 10) after each parameter download
//   assign_initial_ct    stack release 1.5.2: the SCM sends the node its initial CT (service 16) after its UDID
//   acknowledged         {udid: bool, minor_revision: number or null}: the SCM's and the checker's records
//   device               the module on the network where it differs: {udid, minor_revision, parameter_checksum,
//                        busy_answers, tx_spdos, preload_queue}; a fresh module holds another checksum and gets
//                        the parameter set; a node refuses an additional SADR for a transmit SPDO above tx_spdos;
//                        preload_queue 1-15 segments it queues of a preloaded download (0: it refuses preloading)
//   scm_downloads        tampering: {parameter_checksum, additional_parameter_timestamp_shift}
)";

Udid ParseUdid(const json& value, const char* field)
{
    try
    {
        return Support::UdidFromHex(value.get<std::string>());
    }
    catch (const std::exception&)
    {
        throw std::invalid_argument(std::string(field) + ": not a UDID of 12 hex digits");
    }
}

Bytes ParseBytes(const json& value, const char* field)
{
    try
    {
        return Support::FromHex(value.get<std::string>());
    }
    catch (const std::exception&)
    {
        throw std::invalid_argument(std::string(field) + ": not a hex byte string");
    }
}

template <typename T>
T Number(const json& object, const char* field, T fallback)
{
    if (!object.contains(field))
    {
        return fallback;
    }
    if (!object[field].is_number_unsigned())
    {
        throw std::invalid_argument(std::string(field) + ": not an unsigned number");
    }
    return object[field].get<T>();
}

std::string Hex(const Bytes& bytes)
{
    return Support::ToHex(bytes);
}

std::string Hex(const Udid& udid)
{
    return Support::ToHex(udid.data(), udid.size());
}

std::uint32_t Crc32(const Bytes& bytes)
{
    return Support::Crc32(bytes, 0u, bytes.size());
}
} // namespace

Bytes BuildParameterSet(std::uint16_t sadr, const Bytes& checksum)
{
    Support::CParameterStreamBuilder stream;
    Bytes application;
    Support::AppendLittleEndian(application, sadr, 2u);
    stream.AddRecord(0x6000u, 1u, application);
    stream.AddRecord(0x1018u, 6u, checksum);
    return stream.Build();
}

CNodeIdentity CNodeDescription::GetDevice() const
{
    CNodeIdentity device;
    device.m_slot = m_configured.m_safetyAddress;
    device.m_udid = m_deviceUdid.value_or(m_configured.m_udid);
    device.m_vendorId = m_configured.m_vendorId;
    device.m_productCode = m_configured.m_productCode;
    device.m_revisionNumber = (static_cast<std::uint32_t>(m_configured.m_majorRevision) << 16u) |
                              m_deviceMinorRevision.value_or(m_configured.m_minorRevision);
    device.m_parameterChecksum = m_deviceChecksum.value_or(m_configured.m_parameterChecksum);
    for (const auto* parameters : {&m_configured.m_additionalParameters, &m_configured.m_loadableAdditionalParameters})
    {
        for (const Support::CAdditionalParameterRecord& parameter : *parameters)
        {
            device.m_neededAdditionalParameters.push_back(parameter.m_parameterNumber);
        }
    }
    device.m_busyAnswers = m_busyAnswers;
    device.m_txSpdoCount = m_deviceTxSpdoCount;
    device.m_preloadQueue = m_devicePreloadQueue;
    return device;
}

CScmNodeView CNodeDescription::GetScmView() const
{
    CScmNodeView view;
    view.m_sadr = m_configured.m_safetyAddress;
    view.m_expectedUdid = m_configured.m_udid;
    view.m_udidAcknowledged = m_configured.m_udidAcknowledged;
    view.m_vendorId = m_configured.m_vendorId;
    view.m_productCode = m_configured.m_productCode;
    view.m_majorRevision = m_configured.m_majorRevision;
    view.m_minimumMinorRevision = m_configured.m_minorRevision;
    view.m_acknowledgedMinorRevision = m_configured.m_acknowledgedMinorRevision;
    view.m_configuredChecksum = m_configured.m_parameterChecksum;
    view.m_parameterSet =
        BuildParameterSet(view.m_sadr, m_downloadChecksum.value_or(m_configured.m_parameterChecksum));
    view.m_additionalParameters = m_configured.m_additionalParameters;
    view.m_additionalParameters.insert(view.m_additionalParameters.end(),
                                       m_configured.m_loadableAdditionalParameters.begin(),
                                       m_configured.m_loadableAdditionalParameters.end());
    for (Support::CAdditionalParameterRecord& parameter : view.m_additionalParameters)
    {
        parameter.m_timestamp += m_additionalParameterTimestampShift;
    }
    view.m_additionalSadrs = m_additionalSadrs;
    view.m_assignInitialCt = m_assignInitialCt;
    view.m_timestamp = 0x5F000000u + view.m_sadr;
    return view;
}

std::vector<CScmNodeView> CDomainDescription::GetScmViews() const
{
    std::vector<CScmNodeView> views;
    for (const CNodeDescription& node : m_nodes)
    {
        views.push_back(node.GetScmView());
        views.back().m_preload = m_scmPreload;
    }
    return views;
}

Support::CDomainConfiguration CDomainDescription::GetConfiguration() const
{
    Support::CDomainConfiguration configuration;
    configuration.m_controller = m_controller;
    configuration.m_tesseraAcknowledged = m_keyMediumAcknowledged;
    configuration.m_password = m_password;
    configuration.m_setupModeActive = m_setupMode;
    configuration.m_extendedMachineOptions = m_extendedMachineOptions;
    configuration.m_extendedMachineOptionsTimestamp = m_extendedMachineOptionsTimestamp;
    for (const CNodeDescription& node : m_nodes)
    {
        configuration.m_modules.push_back(node.m_configured);
    }
    return configuration;
}

CDomainDescription CDomainDescription::FromJson(const std::string& text)
{
    json root;
    try
    {
        root = json::parse(text, nullptr, true, true);
    }
    catch (const json::parse_error& error)
    {
        throw std::invalid_argument(std::string("not JSON: ") + error.what());
    }
    try
    {
        CDomainDescription description;
        description.m_domain = Number<std::uint16_t>(root, "domain", description.m_domain);
        if ((description.m_domain == 0u) || (description.m_domain > 1023u))
        {
            throw std::invalid_argument("domain: 1 to 1023");
        }
        const json controller = root.value("controller", json::object());
        if (controller.contains("kel_udid"))
        {
            description.m_controller.m_kelUdid = ParseUdid(controller["kel_udid"], "controller.kel_udid");
        }
        auto& identity = description.m_controller;
        identity.m_cpuProductCode = Number(controller, "cpu_product_code", identity.m_cpuProductCode);
        identity.m_cpuSerialNumber = Number(controller, "cpu_serial_number", identity.m_cpuSerialNumber);
        identity.m_signatureTimestamp = Number(controller, "signature_timestamp", identity.m_signatureTimestamp);
        const json scm = root.value("scm", json::object());
        if (scm.contains("udid"))
        {
            description.m_scmUdid = ParseUdid(scm["udid"], "scm.udid");
        }
        description.m_scmRevisionOffset = Number(scm, "revision_offset", description.m_scmRevisionOffset);
        description.m_setupMode = scm.value("setup_mode", description.m_setupMode);
        description.m_scmPreload = scm.value("preload", false);
        description.m_keyMediumAcknowledged = scm.value("key_medium_acknowledged", true);
        if (scm.contains("password") && !scm["password"].is_null())
        {
            const std::string word = scm["password"].get<std::string>();
            if (word.size() > 16u)
            {
                throw std::invalid_argument("scm.password: 16 characters at most");
            }
            Support::Password password{};
            std::copy(word.begin(), word.end(), password.begin());
            description.m_password = password;
        }
        if (root.contains("extended_machine_options"))
        {
            const json& options = root["extended_machine_options"];
            description.m_extendedMachineOptions =
                ParseBytes(options.at("data"), "extended_machine_options.data");
            description.m_extendedMachineOptionsTimestamp = Number(options, "timestamp", 0u);
        }
        if (!root.contains("nodes") || !root["nodes"].is_array() || root["nodes"].empty())
        {
            throw std::invalid_argument("nodes: a list of at least one node");
        }
        for (const json& entry : root["nodes"])
        {
            CNodeDescription node;
            Support::CPlayedModule& module = node.m_configured;
            module.m_safetyAddress = Number<std::uint16_t>(entry, "sadr", 0u);
            if ((module.m_safetyAddress < 2u) || (module.m_safetyAddress > 1023u))
            {
                throw std::invalid_argument("nodes[].sadr: 2 to 1023 (the SCM holds 1)");
            }
            module.m_udid = ParseUdid(entry.at("udid"), "nodes[].udid");
            module.m_vendorId = Number(entry, "vendor_id", module.m_vendorId);
            module.m_productCode = Number(entry, "product_code", module.m_productCode);
            module.m_majorRevision = Number(entry, "major_revision", module.m_majorRevision);
            module.m_minorRevision = Number(entry, "minor_revision", module.m_minorRevision);
            module.m_parameterChecksum = ParseBytes(entry.at("parameter_checksum"), "nodes[].parameter_checksum");
            for (const json& parameter : entry.value("additional_parameters", json::array()))
            {
                Support::CAdditionalParameterRecord record;
                record.m_parameterNumber = Number<std::uint8_t>(parameter, "number", 1u);
                record.m_safetyAddress = module.m_safetyAddress;
                record.m_data = ParseBytes(parameter.at("data"), "additional_parameters[].data");
                record.m_timestamp = Number(parameter, "timestamp", 0u);
                (parameter.value("loadable", false) ? module.m_loadableAdditionalParameters
                                                    : module.m_additionalParameters)
                    .push_back(record);
            }
            for (const json& additional : entry.value("additional_sadrs", json::array()))
            {
                const CAdditionalSadr assigned{Number<std::uint16_t>(additional, "sadr", 0u),
                                               Number<std::uint16_t>(additional, "tx_spdo", 1u)};
                if ((assigned.m_sadr == 0u) || (assigned.m_sadr > 1023u) || (assigned.m_txSpdo == 0u))
                {
                    throw std::invalid_argument("additional_sadrs[]: sadr 1 to 1023, tx_spdo from 1");
                }
                node.m_additionalSadrs.push_back(assigned);
            }
            node.m_assignInitialCt = entry.value("assign_initial_ct", false);
            const json acknowledged = entry.value("acknowledged", json::object());
            module.m_udidAcknowledged = acknowledged.value("udid", true);
            module.m_acknowledgedMinorRevision = module.m_minorRevision;
            if (acknowledged.contains("minor_revision"))
            {
                module.m_acknowledgedMinorRevision =
                    acknowledged["minor_revision"].is_null()
                        ? std::nullopt
                        : std::optional<std::uint16_t>(acknowledged["minor_revision"].get<std::uint16_t>());
            }
            const json device = entry.value("device", json::object());
            if (device.contains("udid"))
            {
                node.m_deviceUdid = ParseUdid(device["udid"], "device.udid");
            }
            if (device.contains("minor_revision"))
            {
                node.m_deviceMinorRevision = device["minor_revision"].get<std::uint16_t>();
            }
            if (device.contains("parameter_checksum"))
            {
                node.m_deviceChecksum = ParseBytes(device["parameter_checksum"], "device.parameter_checksum");
            }
            node.m_busyAnswers = Number(device, "busy_answers", node.m_busyAnswers);
            node.m_deviceTxSpdoCount = Number(device, "tx_spdos", node.m_deviceTxSpdoCount);
            node.m_devicePreloadQueue = Number<std::uint8_t>(device, "preload_queue", 0u);
            if (node.m_devicePreloadQueue > 15u)
            {
                throw std::invalid_argument("device.preload_queue: 0 to 15");
            }
            const json downloads = entry.value("scm_downloads", json::object());
            if (downloads.contains("parameter_checksum"))
            {
                node.m_downloadChecksum =
                    ParseBytes(downloads["parameter_checksum"], "scm_downloads.parameter_checksum");
            }
            node.m_additionalParameterTimestampShift =
                Number(downloads, "additional_parameter_timestamp_shift", 0u);
            description.m_nodes.push_back(node);
        }
        return description;
    }
    catch (const json::exception& error)
    {
        throw std::invalid_argument(std::string("description: ") + error.what());
    }
}

std::string CDomainDescription::ToJson(bool withComments) const
{
    json root;
    root["domain"] = m_domain;
    root["controller"] = {{"kel_udid", Hex(m_controller.m_kelUdid)},
                          {"cpu_product_code", m_controller.m_cpuProductCode},
                          {"cpu_serial_number", m_controller.m_cpuSerialNumber},
                          {"signature_timestamp", m_controller.m_signatureTimestamp}};
    root["scm"] = {{"udid", Hex(m_scmUdid)},
                   {"revision_offset", m_scmRevisionOffset},
                   {"setup_mode", m_setupMode},
                   {"preload", m_scmPreload},
                   {"key_medium_acknowledged", m_keyMediumAcknowledged}};
    if (m_password.has_value())
    {
        root["scm"]["password"] = std::string(m_password->begin(),
                                              std::find(m_password->begin(), m_password->end(), 0u));
    }
    if (!m_extendedMachineOptions.empty())
    {
        root["extended_machine_options"] = {{"data", Hex(m_extendedMachineOptions)},
                                            {"timestamp", m_extendedMachineOptionsTimestamp}};
    }
    json nodes = json::array();
    for (const CNodeDescription& node : m_nodes)
    {
        const Support::CPlayedModule& module = node.m_configured;
        json entry = {{"sadr", module.m_safetyAddress},
                      {"udid", Hex(module.m_udid)},
                      {"vendor_id", module.m_vendorId},
                      {"product_code", module.m_productCode},
                      {"major_revision", module.m_majorRevision},
                      {"minor_revision", module.m_minorRevision},
                      {"parameter_checksum", Hex(module.m_parameterChecksum)}};
        for (const bool loadable : {false, true})
        {
            for (const Support::CAdditionalParameterRecord& parameter :
                 loadable ? module.m_loadableAdditionalParameters : module.m_additionalParameters)
            {
                entry["additional_parameters"].push_back({{"number", parameter.m_parameterNumber},
                                                          {"data", Hex(parameter.m_data)},
                                                          {"timestamp", parameter.m_timestamp},
                                                          {"loadable", loadable}});
            }
        }
        for (const CAdditionalSadr& additional : node.m_additionalSadrs)
        {
            entry["additional_sadrs"].push_back({{"sadr", additional.m_sadr}, {"tx_spdo", additional.m_txSpdo}});
        }
        if (node.m_assignInitialCt)
        {
            entry["assign_initial_ct"] = true;
        }
        entry["acknowledged"] = {{"udid", module.m_udidAcknowledged}, {"minor_revision", nullptr}};
        if (module.m_acknowledgedMinorRevision.has_value())
        {
            entry["acknowledged"]["minor_revision"] = *module.m_acknowledgedMinorRevision;
        }
        json device = {{"busy_answers", node.m_busyAnswers},
                       {"tx_spdos", node.m_deviceTxSpdoCount},
                       {"preload_queue", node.m_devicePreloadQueue}};
        if (node.m_deviceUdid.has_value())
        {
            device["udid"] = Hex(*node.m_deviceUdid);
        }
        if (node.m_deviceMinorRevision.has_value())
        {
            device["minor_revision"] = *node.m_deviceMinorRevision;
        }
        if (node.m_deviceChecksum.has_value())
        {
            device["parameter_checksum"] = Hex(*node.m_deviceChecksum);
        }
        entry["device"] = device;
        if (node.m_downloadChecksum.has_value() || (node.m_additionalParameterTimestampShift != 0u))
        {
            entry["scm_downloads"] = {{"additional_parameter_timestamp_shift",
                                       node.m_additionalParameterTimestampShift}};
            if (node.m_downloadChecksum.has_value())
            {
                entry["scm_downloads"]["parameter_checksum"] = Hex(*node.m_downloadChecksum);
            }
        }
        nodes.push_back(entry);
    }
    root["nodes"] = nodes;
    return (withComments ? std::string(ExampleComments) : std::string()) + root.dump(2) + "\n";
}

CDomainDescription MakeGeneratedDomain(unsigned nodes, std::uint32_t seed, bool acknowledged)
{
    if ((nodes == 0u) || (nodes > 1022u))
    {
        throw std::invalid_argument("nodes: 1 to 1022 (SADR 2 to 1023; the SCM holds SADR 1)");
    }
    std::mt19937 random(seed);
    CDomainDescription description;
    for (unsigned i = 0u; i < nodes; ++i)
    {
        const auto sadr = static_cast<std::uint16_t>(2u + i);
        CNodeDescription node;
        Support::CPlayedModule& module = node.m_configured;
        module.m_safetyAddress = sadr;
        module.m_udid = {0x00u, 0x60u, 0x65u, static_cast<std::uint8_t>(seed), static_cast<std::uint8_t>(sadr >> 8u),
                         static_cast<std::uint8_t>(sadr)};
        module.m_vendorId = 0x00000100u;
        module.m_productCode = 0x00002000u + (sadr % 4u);
        module.m_majorRevision = 1u;
        module.m_minorRevision = 3u;
        // The demo node's checksum {timestamp, CRC-32}, or the timestamp alone.
        Bytes checksum;
        Support::AppendLittleEndian(checksum, 0x5F000000u + sadr, 4u);
        if ((random() % 2u) == 0u)
        {
            Support::AppendLittleEndian(checksum, Crc32(checksum) ^ seed, 4u);
        }
        module.m_parameterChecksum = checksum;
        if ((sadr % 7u) == 0u)
        {
            Support::CAdditionalParameterRecord parameter;
            parameter.m_parameterNumber = 1u;
            parameter.m_safetyAddress = sadr;
            parameter.m_data = {0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u, 0xA6u, 0xA7u, static_cast<std::uint8_t>(sadr)};
            parameter.m_timestamp = 0x5F100000u + sadr;
            module.m_additionalParameters.push_back(parameter);
        }
        module.m_udidAcknowledged = acknowledged;
        module.m_acknowledgedMinorRevision =
            acknowledged ? std::optional<std::uint16_t>(module.m_minorRevision) : std::nullopt;
        if ((random() % 3u) != 0u)
        {
            node.m_deviceChecksum = Bytes{0x00u, 0x00u, 0x00u, 0x00u};
        }
        node.m_busyAnswers = 1u + static_cast<unsigned>(random() % 3u);
        if ((nodes <= 500u) && ((sadr % 5u) == 0u))
        {
            node.m_additionalSadrs.push_back({static_cast<std::uint16_t>(sadr + 512u), 1u});
            node.m_deviceChecksum = Bytes{0x00u, 0x00u, 0x00u, 0x00u};
        }
        description.m_nodes.push_back(node);
    }
    return description;
}
} // namespace ScmSim
