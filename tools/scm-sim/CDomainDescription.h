// The simulated domain: its controller, what the SCM believes (configuration and acknowledgements), and each
// node as it really is; read from and written to JSON.
#ifndef TOOLS_SCM_SIM_CDOMAINDESCRIPTION_H
#define TOOLS_SCM_SIM_CDOMAINDESCRIPTION_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/Peers/CDomainConfiguration.h"
#include "tools/scm-sim/CNodeCommissioning.h"
#include "tools/scm-sim/CSafetyNode.h"

namespace ScmSim
{
/// One node: its configuration and acknowledgement records (m_configured, as the SCM's files hold them), the
/// device as it is on the network, and what the SCM downloads if it does not follow its own configuration.
struct CNodeDescription
{
    Support::CPlayedModule m_configured;
    /// The device: another UDID (a replaced module), another minor revision, the checksum it holds now.
    std::optional<Udid> m_deviceUdid;
    std::optional<std::uint16_t> m_deviceMinorRevision;
    std::optional<Bytes> m_deviceChecksum;
    unsigned m_busyAnswers = 2u;
    std::uint16_t m_deviceTxSpdoCount = 4u;
    std::uint8_t m_devicePreloadQueue = 0u;
    /// Assigned by the SCM after each parameter download.
    std::vector<CAdditionalSadr> m_additionalSadrs;
    /// 1.5.2: the SCM assigns the node its initial CT (service 16).
    bool m_assignInitialCt = false;
    /// The checksum in the parameter set the SCM downloads (nothing: the configured one).
    std::optional<Bytes> m_downloadChecksum;
    /// Added to the timestamp of each additional parameter the SCM downloads (0: as configured).
    std::uint32_t m_additionalParameterTimestampShift = 0u;

    CNodeIdentity GetDevice() const;
    CScmNodeView GetScmView() const;
};

struct CDomainDescription
{
    std::uint16_t m_domain = 7u;
    Support::CControllerIdentity m_controller;
    Udid m_scmUdid{0x00u, 0x60u, 0x65u, 0x5Cu, 0x3Du, 0x01u};
    /// The SCM publishes the checker's revision number plus this.
    std::uint32_t m_scmRevisionOffset = 0u;
    /// Stack release 1.5.2: segmented downloads start preloaded.
    bool m_scmPreload = false;
    bool m_setupMode = false;
    /// The key medium is the one the controller's signature names.
    bool m_keyMediumAcknowledged = true;
    std::optional<Support::Password> m_password;
    /// The sections of "emodata1.bin" the SCM writes (empty: none) and the timestamp of its header.
    Bytes m_extendedMachineOptions;
    std::uint32_t m_extendedMachineOptionsTimestamp = 0u;
    std::vector<CNodeDescription> m_nodes;

    /// What the SCM believes of each node and how it downloads.
    std::vector<CScmNodeView> GetScmViews() const;
    /// The domain's files as the SCM and the checker left them before this run.
    Support::CDomainConfiguration GetConfiguration() const;

    /// Throws std::invalid_argument naming the field that is missing or wrong. Comments (// and /* */) are allowed.
    static CDomainDescription FromJson(const std::string& text);
    /// The description as JSON; with comments, the commented example `scm-sim init` writes.
    std::string ToJson(bool withComments) const;
};

/// A generated domain of `nodes` nodes at SADR 2 to nodes + 1 (the SCM holds SADR 1), varied by the seed:
/// checksums of 4 or 8 bytes, some devices fresh (parameters to download), additional parameters on every
/// seventh node, an additional SADR (SADR + 512) on every fifth node of a domain of up to 500 nodes (a fresh one,
/// so that the SCM assigns it), one to three BUSY answers. Every module is configured; acknowledged as `acknowledged` says.
CDomainDescription MakeGeneratedDomain(unsigned nodes, std::uint32_t seed, bool acknowledged);

/// The parameter set the SCM downloads to a node: one application object and the checksum entry.
Bytes BuildParameterSet(std::uint16_t sadr, const Bytes& checksum);
} // namespace ScmSim

#endif
