// The SCM's commissioning of one node slot.
#include "tools/scm-sim/CNodeCommissioning.h"

#include <algorithm>

namespace ScmSim
{
namespace
{
using Support::CFrameBuilder;
using Support::CFrameFields;

constexpr std::uint16_t ParameterDownloadIndex = 0x101Au;
// Slim downloads at payload 8: (8 − 1) · 2 = 14 bytes a frame; 4 of them go to the command and the address.
constexpr std::size_t ExpeditedDownloadMax = 10u;
constexpr std::size_t InitiateDownloadData = 6u;
constexpr std::size_t DownloadSegmentData = 13u;
constexpr std::uint8_t AdditionalSadrService = 10u;
constexpr std::uint8_t AdditionalSadrAssigned = 5u;
constexpr std::uint8_t AssignInitialCtService = 16u;
constexpr std::uint8_t PreloadInitiate = 0x2Bu;
constexpr std::uint32_t AbortPreloadNotSupported = 0x05040001u;
constexpr std::uint8_t InitialCtAssigned = 17u;

std::uint16_t ReadUInt16(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1u] << 8u));
}

std::uint32_t ReadUInt32(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1u]) << 8u) |
           (static_cast<std::uint32_t>(bytes[offset + 2u]) << 16u) |
           (static_cast<std::uint32_t>(bytes[offset + 3u]) << 24u);
}

bool IsSsdoResponse(const CFrameFields& frame)
{
    return (frame.m_id == 0x39u) || (frame.m_id == 0x3Bu);
}
} // namespace

const char* GetStepName(CStep step)
{
    switch (step)
    {
    case CStep::AssignSadr:
        return "assign-sadr";
    case CStep::RequestUdid:
        return "request-udid";
    case CStep::AssignScmUdid:
        return "assign-scm-udid";
    case CStep::AssignInitialCt:
        return "assign-initial-ct";
    case CStep::UploadVendorId:
        return "upload-vendor-id";
    case CStep::UploadProductCode:
        return "upload-product-code";
    case CStep::UploadRevision:
        return "upload-revision";
    case CStep::UploadChecksum:
        return "upload-checksum";
    case CStep::PreOperational:
        return "pre-operational";
    case CStep::Download:
        return "download";
    case CStep::AssignAdditionalSadr:
        return "assign-additional-sadr";
    case CStep::WaitAcknowledgement:
        return "wait-acknowledgement";
    case CStep::SetToOperational:
        return "set-to-operational";
    case CStep::DownloadAdditional:
        return "download-additional";
    case CStep::Operational:
        return "operational";
    case CStep::Invalid:
        return "invalid";
    }
    return "?";
}

CNodeCommissioning::CNodeCommissioning(const CScmNodeView& view, const Udid& scmUdid, const CTiming& timing)
    : m_view(view), m_scmUdid(scmUdid), m_timing(timing)
{
}

bool CNodeCommissioning::NeedsFirmwareAcknowledgement() const
{
    return m_discoveredMinorRevision.has_value() && !m_firmwareAcknowledged &&
           (m_view.m_acknowledgedMinorRevision != m_discoveredMinorRevision);
}

void CNodeCommissioning::AcknowledgeUdid(std::uint64_t cycle)
{
    m_view.m_udidAcknowledged = true;
    m_acknowledgedAt = std::max(m_acknowledgedAt, cycle);
}

void CNodeCommissioning::AcknowledgeFirmware(std::uint64_t cycle)
{
    if (m_discoveredMinorRevision.has_value())
    {
        m_view.m_acknowledgedMinorRevision = m_discoveredMinorRevision;
        m_firmwareAcknowledged = true;
        m_acknowledgedAt = std::max(m_acknowledgedAt, cycle);
    }
}

std::optional<Bytes> CNodeCommissioning::Poll(std::uint64_t cycle, bool keyMediumAcknowledged)
{
    if (m_step == CStep::Invalid)
    {
        return std::nullopt;
    }
    if (m_unanswered.has_value())
    {
        std::optional<Bytes> request;
        request.swap(m_unanswered);
        return request;
    }
    if (m_streaming)
    {
        return PollStream(cycle);
    }
    if (m_pending.has_value())
    {
        const unsigned timeout = ((*m_pending)[1] >> 2u & 0x38u) == 0x28u ? m_timing.m_snmtTimeout
                                                                           : m_timing.m_ssdoTimeout;
        const unsigned repeats = ((*m_pending)[1] >> 2u & 0x38u) == 0x28u ? m_timing.m_snmtRepeats
                                                                           : m_timing.m_ssdoRepeats;
        if (cycle - m_sentAt < timeout)
        {
            return std::nullopt;
        }
        if (m_repeats < repeats)
        {
            ++m_repeats;
            m_sentAt = cycle;
            return m_pending;
        }
        TimedOut(cycle);
    }
    if (cycle < m_readyAt)
    {
        return std::nullopt;
    }
    if (m_step == CStep::WaitAcknowledgement)
    {
        const bool udidGate = m_view.m_udidAcknowledged && (cycle >= m_acknowledgedAt);
        if (m_discoveredMinorRevision.has_value())
        {
            if (!udidGate || NeedsFirmwareAcknowledgement() || !keyMediumAcknowledged)
            {
                return std::nullopt;
            }
            Enter(CStep::SetToOperational, cycle);
        }
        else
        {
            // A module replaced by another: SADR assignment with the new UDID once the operator accepted it.
            if (!udidGate)
            {
                return std::nullopt;
            }
            Enter(CStep::AssignSadr, cycle);
        }
    }
    m_pending = BuildRequest();
    m_sentAt = cycle;
    m_repeats = 0u;
    return m_pending;
}

std::optional<Bytes> CNodeCommissioning::PollStream(std::uint64_t cycle)
{
    if ((m_streamOffset < m_transfer.size()) && (m_inFlight.size() < m_preloadDepth))
    {
        const std::size_t length = std::min(DownloadSegmentData, m_transfer.size() - m_streamOffset);
        const bool isEnd = (m_streamOffset + length) == m_transfer.size();
        Bytes segment = Ssdo(CFrameBuilder::SsdoDownloadSegment(
            m_view.m_sadr, isEnd, m_toggle,
            Bytes(m_transfer.begin() + static_cast<std::ptrdiff_t>(m_streamOffset),
                  m_transfer.begin() + static_cast<std::ptrdiff_t>(m_streamOffset + length)),
            true, true));
        m_inFlight.push_back(m_ct);
        m_toggle = !m_toggle;
        m_streamOffset += length;
        m_sentAt = cycle;
        return segment;
    }
    if (cycle - m_sentAt >= m_timing.m_ssdoTimeout)
    {
        // A lost segment or response: the transfer is given up and the node commissioned again.
        m_streaming = false;
        TimedOut(cycle);
    }
    return std::nullopt;
}

std::uint16_t CNodeCommissioning::NextCt()
{
    // One access number per request, skipping 0.
    m_ct = static_cast<std::uint16_t>((m_ct == 0xFFFFu) ? 1u : m_ct + 1u);
    m_pendingCt = m_ct;
    return m_ct;
}

Bytes CNodeCommissioning::Ssdo(CFrameBuilder builder)
{
    const std::uint16_t ct = m_reuseCt ? m_ct : NextCt();
    m_reuseCt = false;
    return builder.Ct(ct).ScmUdid(m_scmUdid).Build();
}

Bytes CNodeCommissioning::BuildRequest()
{
    const std::uint16_t sadr = m_view.m_sadr;
    const auto upload = [&](std::uint8_t command, std::uint8_t subIndex)
    { return Ssdo(CFrameBuilder::SsdoRequest(sadr, command, {0x18u, 0x10u, subIndex})); };
    switch (m_step)
    {
    case CStep::AssignSadr:
        return CFrameBuilder::SnmtAssignSadr(sadr, m_view.m_expectedUdid).Build();
    case CStep::RequestUdid:
        return CFrameBuilder::SnmtRequestUdid(sadr).Build();
    case CStep::AssignScmUdid:
        return CFrameBuilder::SnmtAssignUdidScm(sadr, m_scmUdid).Build();
    case CStep::AssignInitialCt:
        // The SCM's 40-bit consecutive time: its cycle.
        m_initialCt.clear();
        Support::AppendLittleEndian(m_initialCt, m_readyAt, 5u);
        return CFrameBuilder::SnmtExtendedServiceRequest(sadr, AssignInitialCtService, m_initialCt).Build();
    case CStep::UploadVendorId:
        return upload(0x20u, 1u);
    case CStep::UploadProductCode:
        return upload(0x20u, 2u);
    case CStep::UploadRevision:
        return upload(0x20u, 3u);
    case CStep::UploadChecksum:
        return m_transferStarted ? upload(m_toggle ? 0x18u : 0x08u, 6u) : upload(0x20u, 6u);
    case CStep::PreOperational:
        return CFrameBuilder::SnmtExtendedServiceRequest(sadr, 0u).Build();
    case CStep::AssignAdditionalSadr:
    {
        const CAdditionalSadr& additional = m_view.m_additionalSadrs[m_additionalSadr];
        Bytes parameters;
        Support::AppendLittleEndian(parameters, additional.m_sadr, 2u);
        Support::AppendLittleEndian(parameters, additional.m_txSpdo, 2u);
        return CFrameBuilder::SnmtExtendedServiceRequest(sadr, AdditionalSadrService, parameters).Build();
    }
    case CStep::SetToOperational:
        return CFrameBuilder::SnmtSnSetToOp(sadr, m_view.m_timestamp).Build();
    case CStep::Download:
    case CStep::DownloadAdditional:
    {
        if (m_transfer.size() <= ExpeditedDownloadMax)
        {
            return Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(sadr, ParameterDownloadIndex, 0u, m_transfer,
                                                                     true));
        }
        if (!m_transferStarted)
        {
            return Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(
                sadr, ParameterDownloadIndex, 0u, static_cast<std::uint32_t>(m_transfer.size()),
                Bytes(m_transfer.begin(), m_transfer.begin() + InitiateDownloadData),
                m_view.m_preload && !m_preloadRefused, true));
        }
        const std::size_t length = std::min(DownloadSegmentData, m_transfer.size() - m_transferOffset);
        const bool isEnd = (m_transferOffset + length) == m_transfer.size();
        return Ssdo(CFrameBuilder::SsdoDownloadSegment(
            sadr, isEnd, m_toggle,
            Bytes(m_transfer.begin() + static_cast<std::ptrdiff_t>(m_transferOffset),
                  m_transfer.begin() + static_cast<std::ptrdiff_t>(m_transferOffset + length)),
            false, true));
    }
    case CStep::Operational:
        return CFrameBuilder::SnmtExtendedServiceRequest(sadr, 8u).Build();
    case CStep::WaitAcknowledgement:
    case CStep::Invalid:
        break;
    }
    return {};
}

void CNodeCommissioning::Enter(CStep step, std::uint64_t cycle)
{
    m_step = step;
    m_pending.reset();
    m_readyAt = cycle;
    m_transferStarted = false;
    m_transferOffset = 0u;
    m_toggle = true;
    m_preloadRefused = false;
    m_streaming = false;
    m_inFlight.clear();
    if (step == CStep::UploadChecksum)
    {
        m_transfer.clear();
    }
    if (step == CStep::Download)
    {
        m_transfer = m_view.m_parameterSet;
    }
    if (step == CStep::AssignAdditionalSadr)
    {
        m_additionalSadr = 0u;
    }
    if ((step == CStep::Operational) || (step == CStep::Invalid))
    {
        m_finishCycle = cycle;
    }
    if (step == CStep::Operational)
    {
        m_readyAt = cycle + m_timing.m_guardTime;
    }
}

void CNodeCommissioning::Fail(const std::string& why, std::uint64_t cycle)
{
    m_failure = why;
    Enter(CStep::Invalid, cycle);
}

void CNodeCommissioning::TimedOut(std::uint64_t cycle)
{
    if (m_step == CStep::AssignSadr)
    {
        Enter(CStep::RequestUdid, cycle);
        return;
    }
    // MISSING: start again at the SADR assignment after the idle time.
    m_failure = std::string("missing in ") + GetStepName(m_step);
    Enter(CStep::AssignSadr, cycle + m_timing.m_idleTime);
}

void CNodeCommissioning::Take(const CFrameFields& response, std::uint64_t cycle)
{
    if (!m_pending.has_value() && !m_streaming)
    {
        return;
    }
    const bool taken = response.IsSnmt() ? TakeSnmt(response, cycle)
                       : m_streaming     ? TakeStreamed(response, cycle)
                                         : TakeSsdo(response, cycle);
    (void)taken;
}

bool CNodeCommissioning::TakeSnmt(const CFrameFields& response, std::uint64_t cycle)
{
    const Bytes& payload = response.m_payload;
    switch (m_step)
    {
    case CStep::AssignSadr:
        if ((response.m_id != 0x2Bu) ||
            !std::equal(payload.begin(), payload.end(), m_view.m_expectedUdid.begin(), m_view.m_expectedUdid.end()))
        {
            return false;
        }
        Enter(CStep::AssignScmUdid, cycle);
        return true;
    case CStep::RequestUdid:
    {
        if ((response.m_id != 0x29u) || (payload.size() != 6u))
        {
            return false;
        }
        Udid reported{};
        std::copy(payload.begin(), payload.end(), reported.begin());
        if (reported != m_view.m_expectedUdid)
        {
            // UDID_MISMATCH: the application decides (the operator, or the setup mode).
            m_view.m_expectedUdid = reported;
            m_view.m_udidAcknowledged = false;
            m_discoveredMinorRevision.reset();
            Enter(CStep::WaitAcknowledgement, cycle);
            return true;
        }
        Enter(CStep::AssignSadr, cycle);
        return true;
    }
    default:
        break;
    }
    if ((response.m_id != 0x2Du) || payload.empty())
    {
        return false;
    }
    const std::uint8_t answer = payload[0];
    if ((m_step == CStep::AssignScmUdid) && (answer == 15u))
    {
        if (!std::equal(payload.begin() + 1, payload.end(), m_scmUdid.begin(), m_scmUdid.end()))
        {
            m_failure = "SCM UDID not taken";
            Enter(CStep::AssignSadr, cycle + m_timing.m_idleTime);
            return true;
        }
        Enter(m_view.m_assignInitialCt ? CStep::AssignInitialCt : CStep::UploadVendorId, cycle);
        return true;
    }
    if ((m_step == CStep::AssignInitialCt) && (answer == InitialCtAssigned))
    {
        if (!std::equal(payload.begin() + 1, payload.end(), m_initialCt.begin(), m_initialCt.end()))
        {
            m_failure = "initial CT not taken";
            Enter(CStep::AssignSadr, cycle + m_timing.m_idleTime);
            return true;
        }
        Enter(CStep::UploadVendorId, cycle);
        return true;
    }
    if (m_step == CStep::Operational)
    {
        // Guarding: OPERATIONAL keeps the node; anything else makes it MISSING.
        if (answer == 3u)
        {
            ++m_guards;
            m_pending.reset();
            m_readyAt = cycle + m_timing.m_guardTime;
        }
        else
        {
            m_failure = "missing in guarding";
            Enter(CStep::AssignSadr, cycle + m_timing.m_idleTime);
        }
        return true;
    }
    if ((m_step == CStep::PreOperational) && (answer == 1u))
    {
        Enter(CStep::Download, cycle);
        return true;
    }
    if ((m_step == CStep::AssignAdditionalSadr) && (answer == AdditionalSadrAssigned))
    {
        const CAdditionalSadr& additional = m_view.m_additionalSadrs[m_additionalSadr];
        const bool echoed = (payload.size() == 5u) && (ReadUInt16(payload, 1u) == additional.m_sadr) &&
                            (ReadUInt16(payload, 3u) == additional.m_txSpdo);
        if (!echoed)
        {
            Fail("WRONG_PARAM additional SADR " + std::to_string(additional.m_sadr), cycle);
            return true;
        }
        if (++m_additionalSadr < m_view.m_additionalSadrs.size())
        {
            m_pending.reset();
            return true;
        }
        Enter(CStep::WaitAcknowledgement, cycle);
        return true;
    }
    if (m_step != CStep::SetToOperational)
    {
        return false;
    }
    if (answer == 3u)
    {
        Enter(CStep::Operational, cycle);
        return true;
    }
    if (answer == 9u)
    {
        m_pending.reset();
        m_readyAt = cycle + m_timing.m_busyPoll;
        return true;
    }
    if ((answer == 7u) && (payload.size() >= 3u))
    {
        const std::uint8_t group = payload[1];
        const std::uint8_t code = payload[2];
        if (group != 5u)
        {
            Fail("SN FAIL group " + std::to_string(group) + " code " + std::to_string(code), cycle);
            return true;
        }
        const auto number = static_cast<std::uint8_t>((code & 0x0Fu) + 1u);
        const auto block = std::find_if(m_view.m_additionalParameters.begin(), m_view.m_additionalParameters.end(),
                                        [&](const Support::CAdditionalParameterRecord& parameter)
                                        { return parameter.m_parameterNumber == number; });
        if (block == m_view.m_additionalParameters.end())
        {
            Fail("WRONG_ADD_PARAM " + std::to_string(number), cycle);
            return true;
        }
        Enter(CStep::DownloadAdditional, cycle);
        m_transfer = ((code & 0xF0u) == 0xF0u) ? Support::BuildAdditionalParameter(*block)
                                                : Support::BuildAdditionalParameterHeader(*block);
        // The acknowledgement goes first and is never answered.
        m_unanswered = CFrameBuilder::SnmtSnAck(m_view.m_sadr, group, code).Build();
        return true;
    }
    return false;
}

bool CNodeCommissioning::TakeSsdo(const CFrameFields& response, std::uint64_t cycle)
{
    const Bytes& payload = response.m_payload;
    if (!IsSsdoResponse(response) || (response.m_ct != m_pendingCt) || payload.empty())
    {
        return false;
    }
    const std::uint8_t command = payload[0];
    const bool downloading = (m_step == CStep::Download) || (m_step == CStep::DownloadAdditional);
    if ((command == 0x04u) && downloading && m_view.m_preload && !m_preloadRefused && !m_transferStarted &&
        (payload.size() >= 8u) && (ReadUInt32(payload, 4u) == AbortPreloadNotSupported))
    {
        // The node cannot queue segments: the same initiate again, plain, with the same CT.
        m_preloadRefused = true;
        m_reuseCt = true;
        m_pending.reset();
        return true;
    }
    if (command == 0x04u)
    {
        Fail("SSDO abort in " + std::string(GetStepName(m_step)), cycle);
        return true;
    }
    if (downloading && !m_transferStarted && (command == PreloadInitiate))
    {
        m_transferStarted = true;
        m_streaming = true;
        m_streamOffset = InitiateDownloadData;
        m_preloadDepth = std::clamp<std::size_t>(response.m_tr, 1u, 15u);
        m_toggle = true;
        m_inFlight.clear();
        m_pending.reset();
        m_sentAt = cycle;
        return true;
    }
    switch (m_step)
    {
    case CStep::UploadVendorId:
    case CStep::UploadProductCode:
    case CStep::UploadRevision:
    case CStep::UploadChecksum:
        if (!m_transferStarted && (command == 0x20u) && (payload.size() >= 4u))
        {
            AfterUpload(payload[3], Bytes(payload.begin() + 4, payload.end()), cycle);
            return true;
        }
        if (!m_transferStarted && (command == 0x28u) && (payload.size() >= 8u))
        {
            m_uploadTotal = ReadUInt32(payload, 4u);
            m_transfer.assign(payload.begin() + 8, payload.end());
            m_transferStarted = true;
            m_toggle = true;
            m_pending.reset();
            return true;
        }
        if (m_transferStarted && ((command & ~0x50u) == 0x08u) && (((command & 0x10u) != 0u) == m_toggle))
        {
            m_transfer.insert(m_transfer.end(), payload.begin() + 1, payload.end());
            m_toggle = !m_toggle;
            m_pending.reset();
            if ((command & 0x40u) != 0u)
            {
                m_transfer.resize(std::min<std::size_t>(m_transfer.size(), m_uploadTotal));
                AfterUpload(6u, m_transfer, cycle);
            }
            return true;
        }
        return false;
    case CStep::Download:
    case CStep::DownloadAdditional:
    {
        const bool finished =
            (command == 0x21u) || (m_transferStarted && ((command & 0x40u) != 0u) && ((command & ~0x50u) == 0x09u));
        if (finished)
        {
            FinishDownload(cycle);
            return true;
        }
        if (!m_transferStarted && (command == 0x29u))
        {
            m_transferStarted = true;
            m_transferOffset = InitiateDownloadData;
            m_toggle = true;
            m_pending.reset();
            return true;
        }
        if (m_transferStarted && ((command & ~0x50u) == 0x09u))
        {
            m_transferOffset += DownloadSegmentData;
            m_toggle = !m_toggle;
            m_pending.reset();
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool CNodeCommissioning::TakeStreamed(const CFrameFields& response, std::uint64_t cycle)
{
    const Bytes& payload = response.m_payload;
    const auto answered = std::find(m_inFlight.begin(), m_inFlight.end(), response.m_ct);
    if (!IsSsdoResponse(response) || payload.empty() || (answered == m_inFlight.end()))
    {
        return false;
    }
    if (payload[0] == 0x04u)
    {
        m_streaming = false;
        Fail("SSDO abort in " + std::string(GetStepName(m_step)), cycle);
        return true;
    }
    m_inFlight.erase(answered);
    m_sentAt = cycle;
    if (((payload[0] & 0x40u) != 0u) && (m_streamOffset == m_transfer.size()) && m_inFlight.empty())
    {
        m_streaming = false;
        FinishDownload(cycle);
    }
    return true;
}

void CNodeCommissioning::FinishDownload(std::uint64_t cycle)
{
    if (m_step == CStep::DownloadAdditional)
    {
        Enter(CStep::SetToOperational, cycle);
        return;
    }
    // The additional SADRs follow every download of the parameter set.
    Enter(m_view.m_additionalSadrs.empty() ? CStep::WaitAcknowledgement : CStep::AssignAdditionalSadr, cycle);
}

void CNodeCommissioning::AfterUpload(std::uint8_t subIndex, const Bytes& value, std::uint64_t cycle)
{
    const std::uint32_t number = (value.size() == 4u) ? ReadUInt32(value, 0u) : 0u;
    if ((subIndex < 6u) && (value.size() != 4u))
    {
        Fail("device vendor information not 4 bytes", cycle);
        return;
    }
    switch (subIndex)
    {
    case 1u:
        number == m_view.m_vendorId ? Enter(CStep::UploadProductCode, cycle) : Fail("vendor id differs", cycle);
        return;
    case 2u:
        number == m_view.m_productCode ? Enter(CStep::UploadRevision, cycle) : Fail("product code differs", cycle);
        return;
    case 3u:
    {
        const auto major = static_cast<std::uint16_t>(number >> 16u);
        const auto minor = static_cast<std::uint16_t>(number & 0xFFFFu);
        if ((major != m_view.m_majorRevision) || (minor < m_view.m_minimumMinorRevision))
        {
            Fail("revision refused", cycle);
            return;
        }
        m_discoveredMinorRevision = minor;
        Enter(CStep::UploadChecksum, cycle);
        return;
    }
    case 6u:
        Enter((value == m_view.m_configuredChecksum) ? CStep::WaitAcknowledgement : CStep::PreOperational, cycle);
        return;
    default:
        Fail("unexpected upload", cycle);
        return;
    }
}
} // namespace ScmSim
