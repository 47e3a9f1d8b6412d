// A domain of 1023 configured modules whose every file has its largest valid size, provisioned on the emulated kernel.
#ifndef BENCH_COMMON_CFULLSIZEDOMAIN_H
#define BENCH_COMMON_CFULLSIZEDOMAIN_H

#include <cstdint>
#include <map>
#include <string>

#include "support/Messages/Bytes.h"
#include "support/Peers/CDomainConfiguration.h"
#include "support/Provision/CDomainProvisioner.h"

namespace Bench
{
/// For its lifetime: an emulated kernel of its own (a fresh directory under TMPDIR, default /tmp, as SCM_KERNEL_ROOT,
/// and SCM_IPC_PREFIX "b<pid>-") with the domain provisioned, and the program's domain number set to it. It uses no
/// test control, so that a benchmark measures the shipped platform. Every module at 1..1023 is configured with a
/// 204-byte parameter checksum and an acknowledged UDID and minor revision; "tol_para.saf" is 262144 bytes (the SCM
/// section of the 1023 modules fills 16 CRC blocks, the other section the rest), "tessera.dat" and its copy,
/// "autocnf.bin" (101 UDIDs, its most) and "pardata1.bin" 65536 bytes, "emodata1.bin" 65535, "fwrevcnf.bin" and its
/// copy the longest valid (every module, CPU ID, Kel UDID and password). Files and copies agree, so the persistence
/// manager discards nothing.
class CFullSizeDomain
{
public:
    static constexpr std::uint16_t ms_Domain = 17u;
    static constexpr std::uint16_t ms_ModuleCount = 1023u;
    static constexpr std::size_t ms_ChecksumLength = 204u;

    /// Throws std::runtime_error when the domain cannot be provisioned.
    CFullSizeDomain();
    ~CFullSizeDomain();
    CFullSizeDomain(const CFullSizeDomain&) = delete;
    CFullSizeDomain& operator=(const CFullSizeDomain&) = delete;

    const Support::CDomainConfiguration& GetConfiguration() const
    {
        return m_configuration;
    }

    /// Every storage as provisioned, by name.
    const std::map<std::string, Support::Bytes>& GetStorages() const
    {
        return m_provision.m_storages;
    }

    /// The configured parameter checksum of a module.
    static Support::Bytes GetChecksum(std::uint16_t safetyAddress);
    /// The UDID of a module.
    static Support::Udid GetUdid(std::uint16_t safetyAddress);

private:
    Support::CDomainConfiguration m_configuration;
    Support::CDomainProvision m_provision;
    std::string m_directory;
    Support::CDomainProvisioner m_provisioner;
};
} // namespace Bench

#endif
