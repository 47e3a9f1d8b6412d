// A played openSAFETY safety node.
#include "tools/scm-sim/CSafetyNode.h"

#include <algorithm>

#include "support/Messages/CFrameBuilder.h"
#include "tools/scm-sim/Spdo.h"

namespace ScmSim
{
namespace
{
using Support::CFrameBuilder;
using Support::CFrameFields;

constexpr std::uint8_t AssignSadrId = 0x2Au;
constexpr std::uint8_t RequestUdidId = 0x28u;
constexpr std::uint8_t ServiceRequestId = 0x2Cu;

constexpr std::uint8_t PreOperationalService = 0u;
constexpr std::uint8_t SetToOperationalService = 2u;
constexpr std::uint8_t GuardingService = 8u;
constexpr std::uint8_t AdditionalSadrService = 10u;
constexpr std::uint8_t SnAckService = 12u;
constexpr std::uint8_t AssignScmUdidService = 14u;
constexpr std::uint8_t AssignInitialCtService = 16u;

constexpr std::uint8_t AnswerPreOperational = 1u;
constexpr std::uint8_t AnswerOperational = 3u;
constexpr std::uint8_t AnswerAdditionalSadr = 5u;
constexpr std::uint8_t AnswerBusy = 9u;
constexpr std::uint8_t AnswerScmUdid = 15u;
constexpr std::uint8_t AnswerInitialCt = 17u;
constexpr std::uint8_t AdditionalParameterGroup = 5u;

// A server at payload 8 answers an upload expedited up to payload − 4 bytes and sends 7 bytes a segment.
constexpr std::size_t ExpeditedUploadMax = 4u;
constexpr std::size_t UploadSegmentMax = 7u;
constexpr std::uint32_t AbortNoObject = 0x06020000u;
constexpr std::uint16_t ParameterDownloadIndex = 0x101Au;
constexpr std::uint8_t PreloadInitiate = 0x2Bu;
constexpr std::uint32_t AbortPreloadNotSupported = 0x05040001u;

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

Bytes UInt32Bytes(std::uint32_t value)
{
    Bytes bytes;
    Support::AppendLittleEndian(bytes, value, 4u);
    return bytes;
}
} // namespace

std::optional<Bytes> FindChecksumInParameterSet(const Bytes& parameterSet)
{
    std::size_t offset = 0u;
    while (offset + 7u <= parameterSet.size())
    {
        const std::uint16_t index = ReadUInt16(parameterSet, offset);
        const std::uint8_t subIndex = parameterSet[offset + 2u];
        const std::uint32_t length = ReadUInt32(parameterSet, offset + 3u);
        offset += 7u;
        if (length > parameterSet.size() - offset)
        {
            return std::nullopt;
        }
        if ((index == 0x1018u) && (subIndex == 6u))
        {
            return Bytes(parameterSet.begin() + static_cast<std::ptrdiff_t>(offset),
                         parameterSet.begin() + static_cast<std::ptrdiff_t>(offset + length));
        }
        offset += length;
    }
    return std::nullopt;
}

CSafetyNode::CSafetyNode(const CNodeIdentity& identity) : m_identity(identity), m_busyLeft(identity.m_busyAnswers) {}

std::optional<Bytes> CSafetyNode::Answer(const Bytes& frame)
{
    const bool isSsdo = (frame.size() > 1u) && (((frame[1] >> 2u) & 0x38u) == 0x38u);
    if (isSsdo && !m_scmUdid.has_value())
    {
        Violation("SSDO before service 14");
        return std::nullopt;
    }
    const std::optional<CFrameFields> request = Support::ParseFrame(frame, m_scmUdid.value_or(Udid{}));
    if (!request.has_value())
    {
        return std::nullopt;
    }
    if (request->IsSnmt())
    {
        if ((request->m_ct != 0u) || (request->m_tr != 0u))
        {
            Violation("SNMT frame with CT or TR set");
        }
        return AnswerSnmt(*request);
    }
    if (request->IsSsdo() && (request->m_adr == m_sadr) && (m_sadr != 0u))
    {
        if (request->m_ct == 0u)
        {
            Violation("SSDO request with CT 0");
        }
        return AnswerSsdo(*request);
    }
    return std::nullopt;
}

std::optional<Bytes> CSafetyNode::AnswerSnmt(const CFrameFields& request)
{
    if (request.m_id == AssignSadrId)
    {
        if ((request.m_payload.size() != 6u) || !std::equal(request.m_payload.begin(), request.m_payload.end(),
                                                           m_identity.m_udid.begin()))
        {
            return std::nullopt;
        }
        m_sadr = request.m_adr;
        m_sdn = request.m_sdn;
        return CFrameBuilder::SnmtSadrAssigned(m_sadr, m_identity.m_udid).Sdn(m_sdn).Build();
    }
    if (request.m_id == RequestUdidId)
    {
        // Any node answers, whatever its own address: the network delivered the request to it.
        return CFrameBuilder::SnmtResponseUdid(request.m_adr, m_identity.m_udid).Sdn(request.m_sdn).Build();
    }
    if ((request.m_id == ServiceRequestId) && (request.m_adr == m_sadr) && (m_sadr != 0u) &&
        !request.m_payload.empty())
    {
        return AnswerService(request);
    }
    return std::nullopt;
}

std::optional<Bytes> CSafetyNode::AnswerService(const CFrameFields& request)
{
    const Bytes& payload = request.m_payload;
    const auto answer = [&](std::uint8_t service, const Bytes& parameters = {})
    { return CFrameBuilder::SnmtExtendedServiceResponse(m_sadr, service, parameters).Sdn(m_sdn).Build(); };
    switch (payload[0])
    {
    case AssignScmUdidService:
        if (payload.size() != 7u)
        {
            return std::nullopt;
        }
        m_scmUdid = Udid{};
        std::copy(payload.begin() + 1, payload.end(), m_scmUdid->begin());
        return answer(AnswerScmUdid, Bytes(payload.begin() + 1, payload.end()));
    case AssignInitialCtService:
    {
        if (payload.size() != 6u)
        {
            return std::nullopt;
        }
        if (!m_scmUdid.has_value())
        {
            Violation("service 16 before service 14");
        }
        std::uint64_t ct = 0u;
        for (std::size_t i = 5u; i > 0u; --i)
        {
            ct = (ct << 8u) | payload[i];
        }
        m_initialCt = ct;
        return answer(AnswerInitialCt, Bytes(payload.begin() + 1, payload.end()));
    }
    case PreOperationalService:
        m_preOperational = true;
        m_operational = false;
        return answer(AnswerPreOperational);
    case SetToOperationalService:
        if (m_busyLeft > 0u)
        {
            --m_busyLeft;
            return answer(AnswerBusy);
        }
        for (std::uint8_t number : m_identity.m_neededAdditionalParameters)
        {
            if (std::find(m_receivedAdditionalParameters.begin(), m_receivedAdditionalParameters.end(), number) ==
                m_receivedAdditionalParameters.end())
            {
                m_requestedAdditionalParameter = number;
                const auto code = static_cast<std::uint8_t>(0xF0u | ((number - 1u) & 0x0Fu));
                return CFrameBuilder::SnmtSnFail(m_sadr, AdditionalParameterGroup, code).Sdn(m_sdn).Build();
            }
        }
        m_operational = true;
        return answer(AnswerOperational);
    case GuardingService:
        return answer(m_operational ? AnswerOperational : AnswerPreOperational);
    case AdditionalSadrService:
        return TakeAdditionalSadr(payload);
    case SnAckService:
    default:
        return std::nullopt;
    }
}

std::optional<Bytes> CSafetyNode::TakeAdditionalSadr(const Bytes& payload)
{
    if (payload.size() != 5u)
    {
        return std::nullopt;
    }
    if (!m_preOperational || m_operational)
    {
        Violation("additional SADR outside PRE-OPERATIONAL");
    }
    CAdditionalSadr assigned{ReadUInt16(payload, 1u), ReadUInt16(payload, 3u)};
    const bool takes = (assigned.m_sadr >= 1u) && (assigned.m_sadr <= 1023u) && (assigned.m_sadr != m_sadr) &&
                       (assigned.m_txSpdo >= 1u) && (assigned.m_txSpdo <= m_identity.m_txSpdoCount);
    if (takes)
    {
        m_additionalSadrs.push_back(assigned);
    }
    else
    {
        // A node without that transmit SPDO keeps none: its echo names none, which the SCM takes as a mismatch.
        assigned.m_txSpdo = 0u;
    }
    Bytes echo;
    Support::AppendLittleEndian(echo, assigned.m_sadr, 2u);
    Support::AppendLittleEndian(echo, assigned.m_txSpdo, 2u);
    return CFrameBuilder::SnmtExtendedServiceResponse(m_sadr, AnswerAdditionalSadr, echo).Sdn(m_sdn).Build();
}

std::vector<Bytes> CSafetyNode::ProduceSpdos(std::uint16_t ct) const
{
    std::vector<Bytes> frames;
    if (!m_operational || !m_scmUdid.has_value())
    {
        return frames;
    }
    const auto produce = [&](std::uint16_t adr, std::uint16_t txSpdo)
    {
        // Process data: the transmit SPDO and the time stamp, so that every frame differs.
        const Bytes data = {static_cast<std::uint8_t>(txSpdo), static_cast<std::uint8_t>(ct),
                            static_cast<std::uint8_t>(ct >> 8u), 0xA5u};
        frames.push_back(BuildSpdo(adr, m_sdn, ct, data, *m_scmUdid));
    };
    produce(m_sadr, 1u);
    for (const CAdditionalSadr& additional : m_additionalSadrs)
    {
        produce(additional.m_sadr, additional.m_txSpdo);
    }
    return frames;
}

Bytes CSafetyNode::Ssdo(CFrameBuilder builder, std::uint16_t ct) const
{
    return builder.Ct(ct).Sdn(m_sdn).ScmUdid(*m_scmUdid).Build();
}

std::optional<Bytes> CSafetyNode::AnswerSsdo(const CFrameFields& request)
{
    if (request.m_payload.empty())
    {
        return std::nullopt;
    }
    const std::uint8_t command = request.m_payload[0];
    if ((command & 0x01u) == 0u)
    {
        return AnswerUpload(request);
    }
    return AnswerDownload(request);
}

std::optional<Bytes> CSafetyNode::ReadObject(std::uint16_t index, std::uint8_t subIndex) const
{
    if (index != 0x1018u)
    {
        return std::nullopt;
    }
    switch (subIndex)
    {
    case 1u:
        return UInt32Bytes(m_identity.m_vendorId);
    case 2u:
        return UInt32Bytes(m_identity.m_productCode);
    case 3u:
        return UInt32Bytes(m_identity.m_revisionNumber);
    case 6u:
        return m_identity.m_parameterChecksum;
    default:
        return std::nullopt;
    }
}

std::optional<Bytes> CSafetyNode::AnswerUpload(const CFrameFields& request)
{
    const Bytes& payload = request.m_payload;
    const std::uint8_t command = payload[0];
    const bool slim = request.IsSlim();
    if (command == 0x20u && payload.size() >= 4u)
    {
        const std::uint16_t index = ReadUInt16(payload, 1u);
        const std::uint8_t subIndex = payload[3];
        const std::optional<Bytes> value = ReadObject(index, subIndex);
        if (!value.has_value())
        {
            Bytes abort = {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8u), subIndex};
            Support::AppendLittleEndian(abort, AbortNoObject, 4u);
            return Ssdo(CFrameBuilder::SsdoResponse(m_sadr, 0x04u, abort, slim), request.m_ct);
        }
        if (value->size() <= ExpeditedUploadMax)
        {
            return Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(m_sadr, index, subIndex, *value, slim),
                        request.m_ct);
        }
        m_upload = *value;
        m_uploadOffset = 0u;
        m_segmentToggle = true;
        m_transferActive = true;
        return Ssdo(CFrameBuilder::SsdoUploadInitiateSegmentedResponse(
                        m_sadr, index, subIndex, static_cast<std::uint32_t>(value->size()), {}, false, slim),
                    request.m_ct);
    }
    if ((command & ~0x10u) == 0x08u)
    {
        const bool toggle = (command & 0x10u) != 0u;
        if (!m_transferActive || (toggle != m_segmentToggle))
        {
            // The stack drops a segment with the wrong toggle without a word.
            Violation(m_transferActive ? "upload segment with the wrong toggle" : "upload segment without transfer");
            return std::nullopt;
        }
        const std::size_t length = std::min(UploadSegmentMax, m_upload.size() - m_uploadOffset);
        const Bytes data(m_upload.begin() + static_cast<std::ptrdiff_t>(m_uploadOffset),
                         m_upload.begin() + static_cast<std::ptrdiff_t>(m_uploadOffset + length));
        m_uploadOffset += length;
        const bool isEnd = m_uploadOffset == m_upload.size();
        m_transferActive = !isEnd;
        m_segmentToggle = !m_segmentToggle;
        return Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(m_sadr, isEnd, toggle, data, false, slim),
                    request.m_ct);
    }
    return std::nullopt;
}

std::optional<Bytes> CSafetyNode::AnswerDownload(const CFrameFields& request)
{
    const Bytes& payload = request.m_payload;
    const std::uint8_t command = payload[0];
    const bool slim = request.IsSlim();
    if (!slim)
    {
        Violation("parameter download not in slim SSDO");
    }
    if (((command == 0x21u) || (command == 0x29u) || (command == PreloadInitiate)) && (payload.size() >= 4u))
    {
        const std::uint16_t index = ReadUInt16(payload, 1u);
        if (index != ParameterDownloadIndex)
        {
            return std::nullopt;
        }
        if (!m_preOperational && (m_requestedAdditionalParameter == 0u))
        {
            Violation("parameter download before PRE-OPERATIONAL");
        }
        const Bytes target(payload.begin() + 1, payload.begin() + 4);
        if (command == 0x21u)
        {
            m_download.assign(payload.begin() + 4, payload.end());
            FinishDownload();
            return Ssdo(CFrameBuilder::SsdoResponse(m_sadr, command, target, slim), request.m_ct);
        }
        if (payload.size() < 8u)
        {
            return std::nullopt;
        }
        if ((command == PreloadInitiate) && (m_identity.m_preloadQueue == 0u))
        {
            // A server without a queue refuses the preload; the client starts again without it.
            Bytes abort(target);
            Support::AppendLittleEndian(abort, AbortPreloadNotSupported, 4u);
            return Ssdo(CFrameBuilder::SsdoResponse(m_sadr, 0x04u, abort, slim), request.m_ct);
        }
        m_downloadTotal = ReadUInt32(payload, 4u);
        m_download.assign(payload.begin() + 8, payload.end());
        m_segmentToggle = true;
        m_transferActive = true;
        CFrameBuilder response = CFrameBuilder::SsdoResponse(m_sadr, command, target, slim);
        if (command == PreloadInitiate)
        {
            response.Tr(m_identity.m_preloadQueue);
        }
        return Ssdo(response, request.m_ct);
    }
    // Middle and end segments, plain or preloaded, either toggle.
    if ((command & ~0x52u) == 0x09u)
    {
        const bool toggle = (command & 0x10u) != 0u;
        if (!m_transferActive || (toggle != m_segmentToggle))
        {
            Violation(m_transferActive ? "download segment with the wrong toggle"
                                       : "download segment without transfer");
            return std::nullopt;
        }
        m_download.insert(m_download.end(), payload.begin() + 1, payload.end());
        m_segmentToggle = !m_segmentToggle;
        if ((command & 0x40u) != 0u)
        {
            m_transferActive = false;
            if (m_download.size() != m_downloadTotal)
            {
                Violation("download shorter or longer than announced");
            }
            FinishDownload();
        }
        return Ssdo(CFrameBuilder::SsdoResponse(m_sadr, command, {}, slim), request.m_ct);
    }
    return std::nullopt;
}

void CSafetyNode::FinishDownload()
{
    if (m_requestedAdditionalParameter != 0u)
    {
        // The block's header names the parameter and the node; a block for another is not taken.
        if ((m_download.size() >= 16u) && (m_download[0] == m_requestedAdditionalParameter) &&
            (ReadUInt16(m_download, 2u) == m_sadr))
        {
            m_receivedAdditionalParameters.push_back(m_requestedAdditionalParameter);
        }
        m_requestedAdditionalParameter = 0u;
        return;
    }
    m_parameterSet = m_download;
    const std::optional<Bytes> checksum = FindChecksumInParameterSet(m_parameterSet);
    if (checksum.has_value())
    {
        m_identity.m_parameterChecksum = *checksum;
    }
}

void CSafetyNode::Violation(const std::string& what)
{
    m_violations.push_back(what);
}
} // namespace ScmSim
