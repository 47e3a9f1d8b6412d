// The largest valid files of a domain of 1023 modules, consistent with each other and with the checker's copies.
#include "bench/common/CFullSizeDomain.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "support/Domain/SafetyDomainNumber.h"
#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"

namespace
{
using Support::Bytes;

constexpr std::uint32_t TolParaSafLength = 262144u;
constexpr std::uint32_t FileLength = 65536u;
constexpr std::uint32_t HeaderLength = 64u;
constexpr std::uint32_t CrcBlockLength = 16384u;
constexpr std::uint32_t CrcLength = 4u;
constexpr std::uint32_t RecordHeadLength = 7u;
constexpr std::uint32_t UdidRecordLength = RecordHeadLength + 6u;

Support::CDomainConfiguration MakeConfiguration()
{
    Support::CDomainConfiguration configuration;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= Bench::CFullSizeDomain::ms_ModuleCount; ++safetyAddress)
    {
        Support::CPlayedModule module;
        module.m_safetyAddress = safetyAddress;
        module.m_udid = Bench::CFullSizeDomain::GetUdid(safetyAddress);
        module.m_vendorId = 0x00ABCDEFu;
        module.m_productCode = 0x10000u + safetyAddress;
        module.m_majorRevision = 3u;
        module.m_minorRevision = 5u;
        module.m_parameterChecksum = Bench::CFullSizeDomain::GetChecksum(safetyAddress);
        module.m_acknowledgedMinorRevision = 5u;
        configuration.m_modules.push_back(module);
    }
    configuration.m_password = Support::Password{1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u};
    return configuration;
}

// The section of a file with block CRCs that makes it exactly fileLength bytes long: 64 + L + 4 * ceil(L / 16384).
std::uint32_t GetSectionLength(std::uint32_t fileLength)
{
    std::uint32_t sectionLength = fileLength - HeaderLength;
    while (HeaderLength + sectionLength + CrcLength * ((sectionLength + CrcBlockLength - 1u) / CrcBlockLength) >
           fileLength)
    {
        --sectionLength;
    }
    return sectionLength;
}

// Every acknowledged UDID, then one record of another index that fills the section.
Bytes BuildTesseraDat(bool inverted)
{
    Support::CTesseraDatBuilder builder;
    builder.m_inverted = inverted;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= Bench::CFullSizeDomain::ms_ModuleCount; ++safetyAddress)
    {
        builder.AddUdid(safetyAddress, Bench::CFullSizeDomain::GetUdid(safetyAddress));
    }
    const std::uint32_t udidsLength = UdidRecordLength * Bench::CFullSizeDomain::ms_ModuleCount;
    builder.AddRecord(0x1000u, 1u, Bytes(GetSectionLength(FileLength) - udidsLength - RecordHeadLength, 0u));
    return builder.Build();
}

Bytes BuildTolParaSaf(const Support::CDomainConfiguration& configuration)
{
    Support::CTolParaSafBuilder builder;
    builder.m_scmSection = configuration.BuildScmSection();
    builder.PadTo(TolParaSafLength);
    return builder.Build();
}

// The UDID section lists as many modules as it may (the first 101, with their own UDIDs); its padding fills the file.
Bytes BuildAutoCnfBin()
{
    constexpr std::uint16_t UdidCountMax = 101u;
    constexpr std::uint32_t MachineOptionLength = 76u;
    constexpr std::uint32_t ModuleFlagLength = 396u;
    Support::CAutoCnfBinBuilder builder;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= UdidCountMax; ++safetyAddress)
    {
        builder.AddUdid(safetyAddress, Bench::CFullSizeDomain::GetUdid(safetyAddress));
    }
    builder.m_machineOptions = Bytes(MachineOptionLength, 0x11u);
    builder.m_moduleFlags = Bytes(ModuleFlagLength, 0x22u);
    const std::uint32_t udidSectionLength = 8u + 8u * UdidCountMax + CrcLength;
    builder.m_udidSectionPadding =
        Bytes(FileLength - HeaderLength - udidSectionLength - MachineOptionLength - ModuleFlagLength - CrcLength, 0u);
    return builder.Build();
}

// One additional parameter of module 1 fills the data area.
Bytes BuildParData1Bin()
{
    constexpr std::uint32_t ParameterHeaderLength = 16u;
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = 1u;
    parameter.m_parameterNumber = 1u;
    parameter.m_data.assign(GetSectionLength(FileLength) - ParameterHeaderLength, 0xA5u);
    Support::CParData1BinBuilder builder;
    builder.m_parameters = {parameter};
    return builder.Build();
}

Bytes BuildEmoData1Bin()
{
    Support::CEmoData1BinBuilder builder;
    builder.PadTo(FileLength - 1u);
    return builder.Build();
}
// A fresh directory for the emulated kernel, and the environment that points the platform layer at it.
std::string MakeKernelDirectory()
{
    const char* temporary = std::getenv("TMPDIR");
    const std::filesystem::path parent = ((temporary != nullptr) && (*temporary != '\0')) ? temporary : "/tmp";
    std::string pattern = (parent / ("scm-bench." + std::to_string(getpid()) + ".XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error(std::string("cannot create a kernel directory: ") + std::strerror(errno));
    }
    (void)setenv("SCM_KERNEL_ROOT", (pattern + "/kernel").c_str(), 1);
    (void)setenv("SCM_IPC_PREFIX", ("b" + std::to_string(getpid()) + "-").c_str(), 1);
    return pattern;
}
} // namespace

namespace Bench
{
CFullSizeDomain::CFullSizeDomain()
    : m_configuration(MakeConfiguration()), m_provision(m_configuration.MakeProvision()),
      m_directory(MakeKernelDirectory()), m_provisioner(ms_Domain)
{
    m_provision.m_storages["tessera.dat"] = BuildTesseraDat(false);
    m_provision.m_storages["tessera.dat.chk"] = BuildTesseraDat(true);
    m_provision.m_storages["tol_para.saf"] = BuildTolParaSaf(m_configuration);
    m_provision.m_storages["autocnf.bin"] = BuildAutoCnfBin();
    m_provision.m_storages["pardata1.bin"] = BuildParData1Bin();
    m_provision.m_storages["emodata1.bin"] = BuildEmoData1Bin();
    m_provisioner.Create(m_provision);
    Support::SetSafetyDomainNumber(ms_Domain);
}

CFullSizeDomain::~CFullSizeDomain()
{
    m_provisioner.Destroy();
    std::error_code error;
    std::filesystem::remove_all(m_directory, error);
}

Support::Bytes CFullSizeDomain::GetChecksum(std::uint16_t safetyAddress)
{
    Bytes checksum(ms_ChecksumLength);
    for (std::size_t i = 0u; i < checksum.size(); ++i)
    {
        checksum[i] = static_cast<std::uint8_t>(i * 7u + safetyAddress);
    }
    return checksum;
}

Support::Udid CFullSizeDomain::GetUdid(std::uint16_t safetyAddress)
{
    return {0x00u,
            0x60u,
            0x65u,
            0x40u,
            static_cast<std::uint8_t>(safetyAddress >> 8u),
            static_cast<std::uint8_t>(safetyAddress)};
}
} // namespace Bench
