// A played openSAFETY safety node: answers the SCM's SNMT and SSDO requests as a node of the public stack does.
#ifndef TOOLS_SCM_SIM_CSAFETYNODE_H
#define TOOLS_SCM_SIM_CSAFETYNODE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/Files/CParameterStreamBuilder.h"
#include "support/Messages/Bytes.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CFrameParser.h"
#include "tools/scm-sim/CAdditionalSadr.h"

namespace ScmSim
{
using Support::Bytes;
using Support::Udid;

/// What a node is: its place on the network (the SADR it is wired to take), its identity and what it holds.
struct CNodeIdentity
{
    std::uint16_t m_slot = 2u;
    Udid m_udid{};
    std::uint32_t m_vendorId = 0u;
    std::uint32_t m_productCode = 0u;
    std::uint32_t m_revisionNumber = 0u;
    /// Object 0x1018/6 as the node holds it now (replaced by the one a downloaded parameter set carries).
    Bytes m_parameterChecksum;
    /// Additional parameters (numbers 1 to 16) the node asks for when set to operational, whole block.
    std::vector<std::uint8_t> m_neededAdditionalParameters;
    /// BUSY answers to set-to-operational before the node is ready.
    unsigned m_busyAnswers = 2u;
    /// 1.5.2 preload: segments the node's server queues (1 to 15); 0: it aborts a preloaded download.
    std::uint8_t m_preloadQueue = 0u;
    /// Transmit SPDOs the node has; an additional SADR for another one is refused.
    std::uint16_t m_txSpdoCount = 4u;
};

/// One node. Answer() takes a frame the runtime delivered to it and gives its answer, if any. Frames it cannot
/// read (wrong CRC, SSDO keyed with another SCM's UDID) go unanswered; protocol slips of the SCM are recorded.
class CSafetyNode
{
public:
    explicit CSafetyNode(const CNodeIdentity& identity);

    std::optional<Bytes> Answer(const Bytes& frame);

    const CNodeIdentity& GetIdentity() const
    {
        return m_identity;
    }
    /// 0 until the SCM assigned one.
    std::uint16_t GetSafetyAddress() const
    {
        return m_sadr;
    }
    bool IsOperational() const
    {
        return m_operational;
    }
    /// The last parameter set downloaded to 0x101A (empty: none).
    const Bytes& GetParameterSet() const
    {
        return m_parameterSet;
    }
    /// The additional SADRs the SCM assigned (service 10) and the node took.
    const std::vector<CAdditionalSadr>& GetAdditionalSadrs() const
    {
        return m_additionalSadrs;
    }
    /// Once operational, one SPDO per transmit SPDO that has an address: TxSPDO 1 under the node's SADR, and one
    /// under each additional SADR; `ct` is the time stamp of this cycle.
    std::vector<Bytes> ProduceSpdos(std::uint16_t ct) const;
    /// The 40-bit initial CT service 16 gave the node (1.5.2), if any.
    const std::optional<std::uint64_t>& GetInitialCt() const
    {
        return m_initialCt;
    }
    /// What the SCM did against the protocol, in the node's words ("SSDO before service 14", ...).
    const std::vector<std::string>& GetViolations() const
    {
        return m_violations;
    }

private:
    std::optional<Bytes> AnswerSnmt(const Support::CFrameFields& request);
    std::optional<Bytes> AnswerService(const Support::CFrameFields& request);
    std::optional<Bytes> TakeAdditionalSadr(const Bytes& payload);
    std::optional<Bytes> AnswerSsdo(const Support::CFrameFields& request);
    std::optional<Bytes> AnswerUpload(const Support::CFrameFields& request);
    std::optional<Bytes> AnswerDownload(const Support::CFrameFields& request);
    void FinishDownload();
    Bytes Ssdo(Support::CFrameBuilder builder, std::uint16_t ct) const;
    void Violation(const std::string& what);
    std::optional<Bytes> ReadObject(std::uint16_t index, std::uint8_t subIndex) const;

    CNodeIdentity m_identity;
    std::uint16_t m_sadr = 0u;
    std::uint16_t m_sdn = 0u;
    std::optional<Udid> m_scmUdid;
    bool m_preOperational = false;
    bool m_operational = false;
    unsigned m_busyLeft;
    // The additional parameter asked for by the last SN FAIL (0: none); its block is the next download.
    std::uint8_t m_requestedAdditionalParameter = 0u;
    std::vector<std::uint8_t> m_receivedAdditionalParameters;
    // Segmented transfers: the bytes still to upload, the bytes downloaded so far, the toggle expected next.
    Bytes m_upload;
    std::size_t m_uploadOffset = 0u;
    Bytes m_download;
    std::uint32_t m_downloadTotal = 0u;
    bool m_segmentToggle = true;
    bool m_transferActive = false;
    Bytes m_parameterSet;
    std::vector<CAdditionalSadr> m_additionalSadrs;
    std::optional<std::uint64_t> m_initialCt;
    std::vector<std::string> m_violations;
};

/// The value of object 0x1018/6 inside a parameter set of records [index u16][sub u8][length u32][data].
std::optional<Bytes> FindChecksumInParameterSet(const Bytes& parameterSet);
} // namespace ScmSim

#endif
