// The SCM's commissioning of one node slot: SADR, the SCM's UDID, the device vendor information, the parameter
// checksum, the parameter download, set to operational and the additional parameters, one request at a time.
#ifndef TOOLS_SCM_SIM_CNODECOMMISSIONING_H
#define TOOLS_SCM_SIM_CNODECOMMISSIONING_H

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

/// What the SCM believes of one node slot (its configuration and its own acknowledgement records).
struct CScmNodeView
{
    std::uint16_t m_sadr = 2u;
    Udid m_expectedUdid{};
    bool m_udidAcknowledged = true;
    std::uint32_t m_vendorId = 0u;
    std::uint32_t m_productCode = 0u;
    std::uint16_t m_majorRevision = 1u;
    std::uint16_t m_minimumMinorRevision = 0u;
    std::optional<std::uint16_t> m_acknowledgedMinorRevision;
    Bytes m_configuredChecksum;
    /// The stream the SCM downloads to 0x101A/0 when the node's checksum differs.
    Bytes m_parameterSet;
    /// Blocks the SCM downloads when the node asks for them (SN FAIL group 5).
    std::vector<Support::CAdditionalParameterRecord> m_additionalParameters;
    /// 1.5.2: segmented downloads start preloaded (0x2B) and stream their segments as deep as the node queues.
    bool m_preload = false;
    /// 1.5.2: the node's configuration asks for its initial CT (service 16) after the SCM's UDID.
    bool m_assignInitialCt = false;
    /// Assigned with service 10 after every parameter download.
    std::vector<CAdditionalSadr> m_additionalSadrs;
    std::uint32_t m_timestamp = 0u;
};

/// Time-outs and poll intervals in SCM cycles (one hand-over each).
struct CTiming
{
    unsigned m_snmtTimeout = 12u;
    unsigned m_snmtRepeats = 1u;
    unsigned m_ssdoTimeout = 12u;
    unsigned m_ssdoRepeats = 2u;
    unsigned m_busyPoll = 2u;
    unsigned m_idleTime = 20u;
    /// Node guarding of an operational node (the SCM's 0x100C/1).
    unsigned m_guardTime = 100u;
};

/// Where a slot stands. The order is the order of commissioning.
enum class CStep
{
    AssignSadr,
    RequestUdid,
    AssignScmUdid,
    AssignInitialCt,
    UploadVendorId,
    UploadProductCode,
    UploadRevision,
    UploadChecksum,
    PreOperational,
    Download,
    AssignAdditionalSadr,
    WaitAcknowledgement,
    SetToOperational,
    DownloadAdditional,
    Operational,
    Invalid
};

const char* GetStepName(CStep step);

class CNodeCommissioning
{
public:
    CNodeCommissioning(const CScmNodeView& view, const Udid& scmUdid, const CTiming& timing);

    /// The request to send in this cycle, if the slot has one; a request not answered in time is sent again
    /// byte for byte. keyMediumAcknowledged opens the last gate before set to operational.
    std::optional<Bytes> Poll(std::uint64_t cycle, bool keyMediumAcknowledged);
    /// A response addressed to this slot (TADR = its SADR); one that does not answer the pending request is
    /// ignored.
    void Take(const Support::CFrameFields& response, std::uint64_t cycle);

    /// Acknowledgements by the operator or in setup mode, effective from the given cycle.
    void AcknowledgeUdid(std::uint64_t cycle);
    void AcknowledgeFirmware(std::uint64_t cycle);

    CStep GetStep() const
    {
        return m_step;
    }
    bool IsWaitingForAcknowledgement() const
    {
        return m_step == CStep::WaitAcknowledgement;
    }
    bool NeedsUdidAcknowledgement() const
    {
        return !m_view.m_udidAcknowledged;
    }
    bool NeedsFirmwareAcknowledgement() const;
    bool IsDone() const
    {
        return (m_step == CStep::Operational) || (m_step == CStep::Invalid);
    }
    const CScmNodeView& GetView() const
    {
        return m_view;
    }
    std::optional<std::uint16_t> GetDiscoveredMinorRevision() const
    {
        return m_discoveredMinorRevision;
    }
    /// Guard requests answered OPERATIONAL so far.
    unsigned GetGuardCount() const
    {
        return m_guards;
    }
    /// Why the slot is INVALID, or what the SCM last gave up on.
    const std::string& GetFailure() const
    {
        return m_failure;
    }
    std::uint64_t GetFinishCycle() const
    {
        return m_finishCycle;
    }
    /// The view the SCM holds for the tampering scenarios (what it downloads).
    CScmNodeView& EditView()
    {
        return m_view;
    }

private:
    Bytes BuildRequest();
    std::optional<Bytes> PollStream(std::uint64_t cycle);
    bool TakeStreamed(const Support::CFrameFields& response, std::uint64_t cycle);
    void FinishDownload(std::uint64_t cycle);
    Bytes Ssdo(Support::CFrameBuilder builder);
    std::uint16_t NextCt();
    void Enter(CStep step, std::uint64_t cycle);
    void TimedOut(std::uint64_t cycle);
    void Fail(const std::string& why, std::uint64_t cycle);
    bool TakeSnmt(const Support::CFrameFields& response, std::uint64_t cycle);
    bool TakeSsdo(const Support::CFrameFields& response, std::uint64_t cycle);
    void AfterUpload(std::uint8_t subIndex, const Bytes& value, std::uint64_t cycle);
    void StartTransfer(const Bytes& data);

    CScmNodeView m_view;
    Udid m_scmUdid;
    CTiming m_timing;
    CStep m_step = CStep::AssignSadr;
    std::uint64_t m_readyAt = 0u;
    std::uint64_t m_acknowledgedAt = 0u;
    std::optional<Bytes> m_pending;
    // A request that gets no answer (SN ACK), sent before the next one.
    std::optional<Bytes> m_unanswered;
    std::uint64_t m_sentAt = 0u;
    unsigned m_repeats = 0u;
    std::uint16_t m_ct = 0u;
    std::uint16_t m_pendingCt = 0u;
    // Segmented transfers: the data, how far it went, the toggle of the next segment.
    Bytes m_transfer;
    std::size_t m_transferOffset = 0u;
    bool m_transferStarted = false;
    bool m_toggle = true;
    std::uint32_t m_uploadTotal = 0u;
    std::size_t m_additionalSadr = 0u;
    // 1.5.2 preload: the node refused it for this transfer (the initiate goes again as 0x29 with the same CT);
    // streaming segments, as deep as the node's queue, the next byte to send and the CTs without a response.
    bool m_preloadRefused = false;
    bool m_reuseCt = false;
    bool m_streaming = false;
    std::size_t m_preloadDepth = 1u;
    std::size_t m_streamOffset = 0u;
    std::vector<std::uint16_t> m_inFlight;
    // The initial CT of the last service 16, little-endian, 5 bytes.
    Bytes m_initialCt;
    std::optional<std::uint16_t> m_discoveredMinorRevision;
    bool m_firmwareAcknowledged = false;
    std::uint8_t m_failureCode = 0u;
    std::string m_failure;
    std::uint64_t m_finishCycle = 0u;
    unsigned m_guards = 0u;
};
} // namespace ScmSim

#endif
