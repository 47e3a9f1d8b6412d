// A domain as it is before its first configuration: every mandatory storage present and empty, the safety
// controller's identities and its key-medium signature provisioned.
#ifndef SUPPORT_PEERS_CLEANDOMAIN_H
#define SUPPORT_PEERS_CLEANDOMAIN_H

#include <cstdint>
#include <string>
#include <vector>

#include "support/Files/FileBytes.h"
#include "support/Provision/CDomainProvisioner.h"

namespace Support
{
/// The identities of the played safety controller: the Kel UDID (service 131), the CPU product code and serial
/// number (services 129, 130) and the key-medium signature it keeps in flash file 16 (Kel UDID and timestamp).
struct CControllerIdentity
{
    Udid m_kelUdid{0x00u, 0x60u, 0x65u, 0x4Bu, 0x45u, 0x4Cu};
    std::uint32_t m_cpuProductCode = 0x00C0FFEEu;
    std::uint32_t m_cpuSerialNumber = 0x12345678u;
    std::uint64_t m_signatureTimestamp = 0x0000018A2B3C4D5Eu;
};

/// The storages that every domain has (the checker refuses to run without them) and the two it may lack.
const std::vector<std::string>& GetMandatoryStorageNames();
const std::vector<std::string>& GetOptionalStorageNames();

/// Flash file 16: the 18-byte key-medium signature record of the controller (version 0x100, Kel UDID, timestamp).
Bytes BuildKelSignature(const CControllerIdentity& controller);
/// The 8-byte CPU ID that the checker forms: product code then serial number, each little-endian.
CpuId GetCpuId(const CControllerIdentity& controller);

/// A clean, empty domain: the controller's identities and flash file 16, and every mandatory storage present
/// and empty (no optional one). A checker starts on it without any event and not fail-safe; its key medium is
/// not acknowledged and no module is configured.
CDomainProvision MakeCleanDomainProvision(const CControllerIdentity& controller = CControllerIdentity());
} // namespace Support

#endif
