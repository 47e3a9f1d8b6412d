// A configured domain as an SCM leaves it: its modules in the safety parameters, the acknowledged UDIDs and minor
// revisions, the key-medium signature and the operator's password, each in the SCM's file and the checker's copy.
#ifndef SUPPORT_PEERS_CDOMAINCONFIGURATION_H
#define SUPPORT_PEERS_CDOMAINCONFIGURATION_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/FileBytes.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"

namespace Support
{
/// One safety module of the domain: what the safety parameters require of it and what was acknowledged.
struct CPlayedModule
{
    std::uint16_t m_safetyAddress = 2u;
    /// The module's own UDID (the one it reports, and the one acknowledged when m_udidAcknowledged).
    Udid m_udid{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x02u};
    std::uint32_t m_vendorId = 0x00000100u;
    std::uint32_t m_productCode = 0x00002000u;
    std::uint16_t m_majorRevision = 1u;
    /// The lowest minor revision the parameters accept; the module runs this one unless told otherwise.
    std::uint16_t m_minorRevision = 3u;
    /// The configured parameter checksum (a multiple of 4 bytes; empty: none configured).
    Bytes m_parameterChecksum{0x11u, 0x22u, 0x33u, 0x44u};
    /// The additional parameters configured for the module (their headers are in the safety parameters).
    std::vector<CAdditionalParameterRecord> m_additionalParameters;
    /// The module's loadable additional parameters (whole, in "pardata1.bin").
    std::vector<CAdditionalParameterRecord> m_loadableAdditionalParameters;
    /// The UDID is in "tessera.dat" and its copy.
    bool m_udidAcknowledged = true;
    /// The minor revision in "fwrevcnf.bin" and its copy; nothing: not acknowledged.
    std::optional<std::uint16_t> m_acknowledgedMinorRevision = 3u;

    /// The revision number of object 0x1018 sub-index 3: major revision high, minor revision low.
    std::uint32_t GetRevisionNumber() const;
};

/// The domain's configuration; the Build operations give each file as the SCM writes it or as the checker keeps
/// its copy, consistent with each other.
struct CDomainConfiguration
{
    CControllerIdentity m_controller;
    std::vector<CPlayedModule> m_modules;
    /// "tessera.uid" and its copy carry the controller's signature (acknowledged key medium); otherwise the
    /// signature of another key medium.
    bool m_tesseraAcknowledged = true;
    /// The operator's password, stored with the CPU ID and the Kel UDID; nothing: no password yet.
    std::optional<Password> m_password;
    bool m_setupModeActive = false;
    std::uint32_t m_parData1BinTimestamp = 0u;
    /// The sections of "emodata1.bin" after its header (empty: no file), and the header's timestamp.
    Bytes m_extendedMachineOptions;
    std::uint32_t m_extendedMachineOptionsTimestamp = 0u;

    /// The module at the address; throws std::out_of_range when there is none.
    const CPlayedModule& GetModule(std::uint16_t safetyAddress) const;
    CPlayedModule& GetModule(std::uint16_t safetyAddress);

    /// The SCM section of "tol_para.saf": each module's SADR, vendor id, product code, revision and checksum, and
    /// the additional parameters.
    Bytes BuildScmSection() const;
    /// Each plain file by storage name: "tessera.uid", "tessera.dat", "tol_para.saf", "autocnf.bin",
    /// "fwrevcnf.bin"; "pardata1.bin" when a module has loadable additional parameters and "emodata1.bin" when
    /// there are extended machine options.
    std::map<std::string, Bytes> BuildScmFiles() const;
    /// Each check copy by storage name: "tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk".
    std::map<std::string, Bytes> BuildCheckerFiles() const;
    /// One file of either kind by its storage name; throws std::invalid_argument for another name.
    Bytes BuildFile(const std::string& storageName) const;
    /// The controller's identities and every mandatory storage with its content.
    CDomainProvision MakeProvision() const;
};

/// Three modules at SADR 2, 3 and 4, all acknowledged, with 4-byte parameter checksums except module 3 (8 bytes);
/// module 4 needs its additional parameter 1 (8 data bytes).
CDomainConfiguration MakeExampleConfiguration();
} // namespace Support

#endif
