// A configured domain as an SCM leaves it: its modules in the safety parameters, the acknowledged UDIDs and minor
// revisions, the key-medium signature and the operator's password, each in the SCM's file and the checker's copy.
#include "support/Peers/CDomainConfiguration.h"

#include <stdexcept>

#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Files/CTesseraUidBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"

namespace Support
{
std::uint32_t CPlayedModule::GetRevisionNumber() const
{
    return (static_cast<std::uint32_t>(m_majorRevision) << 16u) | m_minorRevision;
}

const CPlayedModule& CDomainConfiguration::GetModule(std::uint16_t safetyAddress) const
{
    for (const CPlayedModule& module : m_modules)
    {
        if (module.m_safetyAddress == safetyAddress)
        {
            return module;
        }
    }
    throw std::out_of_range("no module at SADR " + std::to_string(safetyAddress));
}

CPlayedModule& CDomainConfiguration::GetModule(std::uint16_t safetyAddress)
{
    return const_cast<CPlayedModule&>(static_cast<const CDomainConfiguration&>(*this).GetModule(safetyAddress));
}

Bytes CDomainConfiguration::BuildScmSection() const
{
    CParameterStreamBuilder stream;
    for (const CPlayedModule& module : m_modules)
    {
        CModuleRecord record;
        record.m_safetyAddress = module.m_safetyAddress;
        record.m_vendorId = module.m_vendorId;
        record.m_productCode = module.m_productCode;
        record.m_majorRevision = module.m_majorRevision;
        record.m_minorRevision = module.m_minorRevision;
        record.m_parameterChecksum = module.m_parameterChecksum;
        stream.AddModule(record);
    }
    for (const CPlayedModule& module : m_modules)
    {
        for (const CAdditionalParameterRecord& parameter : module.m_additionalParameters)
        {
            stream.AddAdditionalParameter(parameter);
        }
    }
    return stream.Build();
}

Bytes CDomainConfiguration::BuildFile(const std::string& storageName) const
{
    const bool inverted = (storageName.size() > 4u) && (storageName.compare(storageName.size() - 4u, 4u, ".chk") == 0);
    const std::string base = inverted ? storageName.substr(0u, storageName.size() - 4u) : storageName;
    if (base == "tessera.uid")
    {
        CTesseraUidBuilder builder;
        builder.m_inverted = inverted;
        builder.m_kelUdid = m_controller.m_kelUdid;
        // Another key medium carries another signature: the controller's timestamp does not match it.
        builder.m_timestamp = m_controller.m_signatureTimestamp + (m_tesseraAcknowledged ? 0u : 1u);
        return builder.Build();
    }
    if (base == "tessera.dat")
    {
        CTesseraDatBuilder builder;
        builder.m_inverted = inverted;
        for (const CPlayedModule& module : m_modules)
        {
            if (module.m_udidAcknowledged)
            {
                builder.AddUdid(module.m_safetyAddress, module.m_udid);
            }
        }
        return builder.Build();
    }
    if (base == "fwrevcnf.bin")
    {
        CFwRevCnfBinBuilder builder;
        builder.m_inverted = inverted;
        for (const CPlayedModule& module : m_modules)
        {
            if (module.m_acknowledgedMinorRevision.has_value())
            {
                builder.AddModule(module.m_safetyAddress, *module.m_acknowledgedMinorRevision);
            }
        }
        if (m_password.has_value())
        {
            builder.m_hasCpuId = true;
            builder.m_cpuId = GetCpuId(m_controller);
            builder.m_hasKelUdid = true;
            builder.m_kelUdid = m_controller.m_kelUdid;
            builder.m_hasPassword = true;
            builder.m_password = *m_password;
        }
        builder.m_setupModeActive = m_setupModeActive;
        return builder.Build();
    }
    if (!inverted && (base == "tol_para.saf"))
    {
        CTolParaSafBuilder builder;
        builder.m_scmSection = BuildScmSection();
        return builder.Build();
    }
    if (!inverted && (base == "autocnf.bin"))
    {
        return Bytes();
    }
    if (!inverted && (base == "pardata1.bin"))
    {
        CParData1BinBuilder builder;
        builder.m_timestamp = m_parData1BinTimestamp;
        for (const CPlayedModule& module : m_modules)
        {
            builder.m_parameters.insert(builder.m_parameters.end(), module.m_loadableAdditionalParameters.begin(),
                                        module.m_loadableAdditionalParameters.end());
        }
        return builder.Build();
    }
    if (!inverted && (base == "emodata1.bin"))
    {
        CEmoData1BinBuilder builder;
        builder.m_timestamp = m_extendedMachineOptionsTimestamp;
        builder.m_body = m_extendedMachineOptions;
        return builder.Build();
    }
    throw std::invalid_argument("not a file of the configured domain: " + storageName);
}

std::map<std::string, Bytes> CDomainConfiguration::BuildScmFiles() const
{
    std::map<std::string, Bytes> files;
    for (const char* name : {"tessera.uid", "tessera.dat", "tol_para.saf", "autocnf.bin", "fwrevcnf.bin"})
    {
        files[name] = BuildFile(name);
    }
    for (const CPlayedModule& module : m_modules)
    {
        if (!module.m_loadableAdditionalParameters.empty())
        {
            files["pardata1.bin"] = BuildFile("pardata1.bin");
            break;
        }
    }
    if (!m_extendedMachineOptions.empty())
    {
        files["emodata1.bin"] = BuildFile("emodata1.bin");
    }
    return files;
}

std::map<std::string, Bytes> CDomainConfiguration::BuildCheckerFiles() const
{
    std::map<std::string, Bytes> files;
    for (const char* name : {"tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk"})
    {
        files[name] = BuildFile(name);
    }
    return files;
}

CDomainProvision CDomainConfiguration::MakeProvision() const
{
    CDomainProvision provision = MakeCleanDomainProvision(m_controller);
    for (const auto& files : {BuildScmFiles(), BuildCheckerFiles()})
    {
        for (const auto& [name, content] : files)
        {
            provision.m_storages[name] = content;
        }
    }
    return provision;
}

CDomainConfiguration MakeExampleConfiguration()
{
    CDomainConfiguration configuration;
    for (std::uint16_t safetyAddress : {2u, 3u, 4u})
    {
        CPlayedModule module;
        module.m_safetyAddress = safetyAddress;
        module.m_udid[5] = static_cast<std::uint8_t>(safetyAddress);
        module.m_productCode += safetyAddress;
        module.m_parameterChecksum = {0x10u, 0x20u, 0x30u, static_cast<std::uint8_t>(0x40u + safetyAddress)};
        if (safetyAddress == 3u)
        {
            // {timestamp, CRC-32}: too long for an expedited upload at a payload of 8.
            module.m_parameterChecksum.insert(module.m_parameterChecksum.end(), {0x50u, 0x60u, 0x70u, 0x83u});
        }
        configuration.m_modules.push_back(module);
    }
    CAdditionalParameterRecord parameter;
    parameter.m_parameterNumber = 1u;
    parameter.m_safetyAddress = 4u;
    parameter.m_data = {0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u, 0xA6u, 0xA7u, 0xA8u};
    parameter.m_timestamp = 0x5F000004u;
    configuration.GetModule(4u).m_additionalParameters.push_back(parameter);
    return configuration;
}
} // namespace Support
