// Commissioning traffic with the attacker's mutations.
#include "CEpisode.h"

#include <algorithm>
#include <functional>

#include "COracle.h"
#include "support/Files/CParameterStreamBuilder.h"

namespace Campaign
{
namespace
{
using Support::Bytes;
using Support::CFrameBuilder;
using Support::CPlayedModule;

enum Kind : std::size_t
{
    Clean,
    BitFlip,
    SlimTwoBitFlip,
    Address,
    Sdn,
    Udid,
    DuplicateUdid,
    Firmware,
    Checksum,
    AdditionalHeader,
    Replay,
    Reorder,
    CtWrap,
    Truncate,
    Concatenate,
    OrphanResponse,
    WrongState,
    Encoder,
    KindCount
};

constexpr std::size_t QueueMessageMax = 521u;
constexpr unsigned FlipAttempts = 5000u;

// One exchange: the SCM's request and the module's answer; either may be missing (an answer without a request).
struct CStep
{
    std::optional<CFrameBuilder> m_request;
    std::optional<CFrameBuilder> m_response;
    // Byte-level mutations replace the built frame.
    std::optional<Bytes> m_requestBytes;
    std::optional<Bytes> m_responseBytes;
    std::size_t m_kind = Clean;
    bool m_slimTwoBitFlip = false;
    // Set to operational and to pre-operational: alone in their cycle, so that the answers before them have been
    // judged and their own answer is judged before the next request.
    bool m_alone = false;
    bool m_slim = false;
    bool m_ssdo = false;
};

using CSteps = std::vector<CStep>;

std::uint32_t Bits(std::mt19937_64& random, std::uint32_t bound)
{
    return static_cast<std::uint32_t>(random() % bound);
}

Bytes UInt32Bytes(std::uint32_t value)
{
    Bytes bytes;
    Support::AppendLittleEndian(bytes, value, 4u);
    return bytes;
}

// The SCM's side of commissioning one module, as an openSAFETY stack does it: SNMT plain, SSDO keyed with the
// SCM's UDID, one access number (CT) per SSDO request, echoed by the answer.
class CScript
{
public:
    CScript(const CPlayedModule& module, std::uint16_t& ct, bool wrapThroughZero)
        : m_module(module), m_ct(ct), m_wrapThroughZero(wrapThroughZero)
    {
    }

    void Identify(CSteps& steps, const CPlayedModule& reported)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        steps.push_back(Snmt(CFrameBuilder::SnmtAssignSadr(sadr, reported.m_udid),
                             CFrameBuilder::SnmtSadrAssigned(sadr, reported.m_udid)));
        steps.push_back(
            Snmt(CFrameBuilder::SnmtAssignUdidScm(sadr, GetScmUdid()),
                 CFrameBuilder::SnmtExtendedServiceResponse(sadr, 15u, Bytes(GetScmUdid().begin(), GetScmUdid().end()))));
        steps.push_back(Upload(1u, UInt32Bytes(reported.m_vendorId)));
        steps.push_back(Upload(2u, UInt32Bytes(reported.m_productCode)));
        steps.push_back(Upload(3u, UInt32Bytes(reported.GetRevisionNumber())));
    }

    void UploadChecksum(CSteps& steps, const Bytes& checksum)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        if (checksum.size() <= 4u)
        {
            steps.push_back(Upload(6u, checksum));
            return;
        }
        std::uint16_t ct = NextCt();
        steps.push_back(Ssdo(CFrameBuilder::SsdoRequest(sadr, 0x20u, {0x18u, 0x10u, 6u}),
                             CFrameBuilder::SsdoUploadInitiateSegmentedResponse(
                                 sadr, 0x1018u, 6u, static_cast<std::uint32_t>(checksum.size()), {}),
                             ct, false));
        bool odd = true;
        for (std::size_t offset = 0u; offset < checksum.size(); offset += 7u)
        {
            const std::size_t length = std::min<std::size_t>(7u, checksum.size() - offset);
            const bool isEnd = (offset + length) == checksum.size();
            ct = NextCt();
            steps.push_back(Ssdo(CFrameBuilder::SsdoRequest(sadr, odd ? 0x18u : 0x08u, {0x18u, 0x10u, 6u}),
                                 CFrameBuilder::SsdoUploadSegmentResponse(
                                     sadr, isEnd, odd,
                                     Bytes(checksum.begin() + static_cast<std::ptrdiff_t>(offset),
                                           checksum.begin() + static_cast<std::ptrdiff_t>(offset + length))),
                                 ct, false));
            odd = !odd;
        }
    }

    void SetToPreOp(CSteps& steps)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        // Alone like set to operational: the checksum the module reported is judged before the download.
        CStep step = Snmt(CFrameBuilder::SnmtExtendedServiceRequest(sadr, 0u),
                          CFrameBuilder::SnmtExtendedServiceResponse(sadr, 1u));
        step.m_alone = true;
        steps.push_back(step);
    }

    // A slim download to 0x101A/0: expedited up to 10 bytes, else an initiate with the total length and 6 bytes,
    // then `segment` bytes a segment (13 is what a stack with slim frames of 14 payload bytes sends).
    void Download(CSteps& steps, const Bytes& data, std::size_t segment = 13u)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        const Bytes target = {0x1Au, 0x10u, 0u};
        std::uint16_t ct = NextCt();
        if (data.size() <= 10u)
        {
            steps.push_back(Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(sadr, 0x101Au, 0u, data, true),
                                 CFrameBuilder::SsdoResponse(sadr, 0x21u, target, true), ct, true));
            return;
        }
        steps.push_back(Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(sadr, 0x101Au, 0u,
                                                                          static_cast<std::uint32_t>(data.size()),
                                                                          Bytes(data.begin(), data.begin() + 6),
                                                                          false, true),
                             CFrameBuilder::SsdoResponse(sadr, 0x29u, target, true), ct, true));
        bool odd = true;
        for (std::size_t offset = 6u; offset < data.size(); offset += segment)
        {
            const std::size_t length = std::min<std::size_t>(segment, data.size() - offset);
            const bool isEnd = (offset + length) == data.size();
            const auto command = static_cast<std::uint8_t>((isEnd ? 0x49u : 0x09u) | (odd ? 0x10u : 0x00u));
            ct = NextCt();
            steps.push_back(Ssdo(CFrameBuilder::SsdoDownloadSegment(
                                     sadr, isEnd, odd,
                                     Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                                           data.begin() + static_cast<std::ptrdiff_t>(offset + length)),
                                     false, true),
                                 CFrameBuilder::SsdoResponse(sadr, command, {}, true), ct, true));
            odd = !odd;
        }
    }

    void SetToOp(CSteps& steps, const CFrameBuilder& answer)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        CStep step = Snmt(CFrameBuilder::SnmtSnSetToOp(sadr, 0x5F000000u + sadr), answer);
        step.m_alone = true;
        steps.push_back(step);
    }

    void AcknowledgeFailure(CSteps& steps, std::uint8_t errorGroup, std::uint8_t errorCode)
    {
        CStep step;
        step.m_request = CFrameBuilder::SnmtSnAck(m_module.m_safetyAddress, errorGroup, errorCode);
        steps.push_back(step);
    }

private:
    static CStep Snmt(const CFrameBuilder& request, const CFrameBuilder& response)
    {
        CStep step;
        step.m_request = request;
        step.m_response = response;
        return step;
    }

    CStep Ssdo(CFrameBuilder request, CFrameBuilder response, std::uint16_t ct, bool slim) const
    {
        CStep step = Snmt(request.Ct(ct).ScmUdid(GetScmUdid()), response.Ct(ct).ScmUdid(GetScmUdid()));
        step.m_slim = slim;
        step.m_ssdo = true;
        return step;
    }

    CStep Upload(std::uint8_t subIndex, const Bytes& value)
    {
        const std::uint16_t sadr = m_module.m_safetyAddress;
        const std::uint16_t ct = NextCt();
        return Ssdo(CFrameBuilder::SsdoRequest(sadr, 0x20u, {0x18u, 0x10u, subIndex}),
                    CFrameBuilder::SsdoUploadInitiateExpeditedResponse(sadr, 0x1018u, subIndex, value), ct, false);
    }

    // Access numbers skip 0, which means "no segmented transfer"; a stack whose counter wraps through 0 is one of
    // the mutations.
    std::uint16_t NextCt()
    {
        m_ct = static_cast<std::uint16_t>(m_ct + 1u);
        if ((m_ct == 0u) && !m_wrapThroughZero)
        {
            m_ct = 1u;
        }
        return m_ct;
    }

    const CPlayedModule& m_module;
    std::uint16_t& m_ct;
    bool m_wrapThroughZero;
};

// The parameter set that the SCM downloads: application objects (`padding` bytes of them) and the checksum entry.
Bytes BuildParameterSet(const Bytes& checksum, std::size_t padding = 0u)
{
    Support::CParameterStreamBuilder stream;
    stream.AddRecord(0x6000u, 1u, {0x01u, 0x00u});
    if (padding > 0u)
    {
        stream.AddRecord(0x6001u, 0u, Bytes(padding, 0xA5u));
    }
    stream.AddRecord(0x1018u, 6u, checksum);
    return stream.Build();
}

CFrameBuilder Operational(std::uint16_t sadr)
{
    return CFrameBuilder::SnmtExtendedServiceResponse(sadr, 3u);
}

// Mutations that change what a module is, before its script is written (the SCM then goes on as if all was well).
struct CModulePlan
{
    CPlayedModule m_reported;
    std::optional<Bytes> m_uploadedChecksum;
    std::optional<Bytes> m_downloadedChecksum;
    std::optional<Support::CAdditionalParameterRecord> m_additionalDownload;
    std::size_t m_kind = Clean;
};

CModulePlan PlanModule(const CPlayedModule& module, std::mt19937_64& random, std::size_t kind)
{
    CModulePlan plan{module, std::nullopt, std::nullopt, std::nullopt, Clean};
    switch (kind)
    {
    case Udid:
        plan.m_reported.m_udid[Bits(random, 6u)] ^= static_cast<std::uint8_t>(1u + Bits(random, 255u));
        break;
    case Firmware:
        switch (Bits(random, 5u))
        {
        case 0u:
            plan.m_reported.m_vendorId ^= 1u + Bits(random, 0xFFFFu);
            break;
        case 1u:
            plan.m_reported.m_productCode ^= 1u + Bits(random, 0xFFFFu);
            break;
        case 2u:
            plan.m_reported.m_majorRevision = static_cast<std::uint16_t>(module.m_majorRevision + 1u);
            break;
        case 3u:
            // A newer minor revision than the acknowledged one, or an older one than the parameters accept.
            plan.m_reported.m_minorRevision = static_cast<std::uint16_t>(module.m_minorRevision + 1u);
            break;
        default:
            plan.m_reported.m_minorRevision = static_cast<std::uint16_t>(module.m_minorRevision - 1u);
            break;
        }
        break;
    case Checksum:
    {
        Bytes wrong = module.m_parameterChecksum;
        const std::uint32_t choice = Bits(random, 3u);
        if (choice == 0u)
        {
            wrong[Bits(random, static_cast<std::uint32_t>(wrong.size()))] ^= static_cast<std::uint8_t>(1u + Bits(random, 255u));
        }
        else if (choice == 1u)
        {
            wrong.insert(wrong.end(), {0u, 0u, 0u, 0u});
        }
        else
        {
            wrong.resize(wrong.size() - 4u);
        }
        (Bits(random, 2u) == 0u ? plan.m_uploadedChecksum : plan.m_downloadedChecksum) = wrong;
        break;
    }
    case AdditionalHeader:
        if (!module.m_additionalParameters.empty())
        {
            Support::CAdditionalParameterRecord download = module.m_additionalParameters.front();
            switch (Bits(random, 4u))
            {
            case 0u:
                download.m_parameterNumber = static_cast<std::uint8_t>(2u + Bits(random, 15u));
                break;
            case 1u:
                download.m_timestamp += 1u + Bits(random, 1000u);
                break;
            case 2u:
                download.m_version = static_cast<std::uint8_t>(download.m_version + 1u);
                break;
            default:
                download.m_data.push_back(0x5Au);
                break;
            }
            plan.m_additionalDownload = download;
        }
        break;
    default:
        return plan;
    }
    plan.m_kind = kind;
    return plan;
}

// The whole commissioning of one module on the path its configuration and the plan choose.
void Commission(CSteps& steps, const CPlayedModule& module, const CModulePlan& plan, std::uint16_t& ct,
                bool wrapThroughZero, std::mt19937_64& random)
{
    const std::size_t first = steps.size();
    CScript script(module, ct, wrapThroughZero);
    const std::uint16_t sadr = module.m_safetyAddress;
    script.Identify(steps, plan.m_reported);
    if (!module.m_additionalParameters.empty())
    {
        script.UploadChecksum(steps, plan.m_uploadedChecksum.value_or(module.m_parameterChecksum));
        script.SetToOp(steps, CFrameBuilder::SnmtSnFail(sadr, 5u, 0xF0u));
        script.AcknowledgeFailure(steps, 5u, 0xF0u);
        script.Download(steps, Support::BuildAdditionalParameter(
                                   plan.m_additionalDownload.value_or(module.m_additionalParameters.front())));
    }
    else if (plan.m_uploadedChecksum.has_value() || (!plan.m_downloadedChecksum.has_value() && Bits(random, 2u) == 0u))
    {
        script.UploadChecksum(steps, plan.m_uploadedChecksum.value_or(module.m_parameterChecksum));
    }
    else
    {
        script.UploadChecksum(steps, {0xDEu, 0xADu, 0xBEu, 0xEFu});
        script.SetToPreOp(steps);
        // Long slim segments too: beyond 26 payload bytes their CRC-16 no longer detects every two-bit error.
        const bool longSegments = Bits(random, 2u) == 0u;
        script.Download(steps,
                        BuildParameterSet(plan.m_downloadedChecksum.value_or(module.m_parameterChecksum),
                                          longSegments ? Bits(random, 600u) : 0u),
                        longSegments ? 27u + Bits(random, 227u) : 13u);
    }
    script.SetToOp(steps, Operational(sadr));
    for (std::size_t i = first; i < steps.size(); ++i)
    {
        steps[i].m_kind = plan.m_kind;
    }
}

// Steps chosen by a predicate, uniformly; nothing when none qualifies.
std::optional<std::size_t> Pick(const CSteps& steps, std::mt19937_64& random,
                                const std::function<bool(const CStep&)>& qualifies)
{
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0u; i < steps.size(); ++i)
    {
        if (qualifies(steps[i]))
        {
            candidates.push_back(i);
        }
    }
    if (candidates.empty())
    {
        return std::nullopt;
    }
    return candidates[Bits(random, static_cast<std::uint32_t>(candidates.size()))];
}

Bytes BuildRequest(const CStep& step)
{
    return step.m_requestBytes.value_or(step.m_request->Build());
}

std::uint16_t RandomAddress(const Support::CDomainConfiguration& configuration, std::mt19937_64& random)
{
    // Mostly the domain's own modules and their neighbours, sometimes anywhere, sometimes 0.
    switch (Bits(random, 4u))
    {
    case 0u:
        return static_cast<std::uint16_t>(Bits(random, 1024u));
    case 1u:
        return static_cast<std::uint16_t>(Bits(random, 8u));
    default:
        return configuration.m_modules[Bits(random, static_cast<std::uint32_t>(configuration.m_modules.size()))]
            .m_safetyAddress;
    }
}

// A module's answer that no request asked for.
CStep MakeOrphanResponse(const Support::CDomainConfiguration& configuration, std::mt19937_64& random)
{
    const std::uint16_t sadr = RandomAddress(configuration, random);
    const CPlayedModule& module =
        configuration.m_modules[Bits(random, static_cast<std::uint32_t>(configuration.m_modules.size()))];
    CStep step;
    switch (Bits(random, 6u))
    {
    case 0u:
        step.m_response = CFrameBuilder::SnmtSadrAssigned(sadr, module.m_udid);
        break;
    case 1u:
        step.m_response = CFrameBuilder::SnmtResponseUdid(sadr, module.m_udid);
        break;
    case 2u:
        step.m_response = CFrameBuilder::SsdoUploadInitiateExpeditedResponse(
                              sadr, 0x1018u, static_cast<std::uint8_t>(1u + Bits(random, 3u)),
                              UInt32Bytes(static_cast<std::uint32_t>(random())))
                              .Ct(static_cast<std::uint16_t>(random()))
                              .ScmUdid(GetScmUdid());
        break;
    case 3u:
        step.m_response = CFrameBuilder::SsdoUploadInitiateExpeditedResponse(sadr, 0x1018u, 6u, module.m_parameterChecksum)
                              .Ct(static_cast<std::uint16_t>(random()))
                              .ScmUdid(GetScmUdid());
        break;
    case 4u:
        step.m_response = CFrameBuilder::SnmtSnFail(sadr, 5u, 0u);
        break;
    default:
        step.m_response = CFrameBuilder::SnmtSnAck(sadr, 3u, 2u);
        break;
    }
    step.m_kind = OrphanResponse;
    return step;
}

// A request of the SCM that the state does not call for.
CStep MakeWrongState(const Support::CDomainConfiguration& configuration, std::mt19937_64& random)
{
    const std::uint16_t sadr = RandomAddress(configuration, random);
    CStep step;
    switch (Bits(random, 4u))
    {
    case 0u:
        step.m_request = CFrameBuilder::SnmtSnSetToOp(sadr);
        step.m_response = Operational(sadr);
        step.m_alone = true;
        break;
    case 1u:
        step.m_request = CFrameBuilder::SnmtAssignSadr(
            sadr, configuration.m_modules[Bits(random, static_cast<std::uint32_t>(configuration.m_modules.size()))]
                      .m_udid);
        break;
    case 2u:
        step.m_request = CFrameBuilder::SsdoDownloadInitiateExpedited(sadr, 0x101Au, 0u,
                                                                      BuildParameterSet({0x11u, 0x22u, 0x33u, 0x44u}),
                                                                      true)
                             .Ct(static_cast<std::uint16_t>(random()))
                             .ScmUdid(GetScmUdid());
        break;
    default:
        step.m_request = CFrameBuilder::SnmtSnAck(sadr, 3u, 2u);
        break;
    }
    step.m_kind = WrongState;
    return step;
}

void FlipBits(Bytes& bytes, unsigned count, std::mt19937_64& random)
{
    std::vector<std::uint32_t> positions;
    while (positions.size() < count)
    {
        const std::uint32_t position = Bits(random, static_cast<std::uint32_t>(bytes.size() * 8u));
        if (std::find(positions.begin(), positions.end(), position) == positions.end())
        {
            positions.push_back(position);
            bytes[position / 8u] ^= static_cast<std::uint8_t>(1u << (position % 8u));
        }
    }
}

// Mutations of the traffic once it is written.
void Mutate(CSteps& steps, std::size_t kind, const Support::CDomainConfiguration& configuration,
            std::mt19937_64& random, CFlipStatistics& flips)
{
    const auto hasRequest = [](const CStep& step) { return step.m_request.has_value(); };
    std::optional<std::size_t> at;
    switch (kind)
    {
    case BitFlip:
    case Truncate:
        at = Pick(steps, random, hasRequest);
        if (at.has_value())
        {
            Bytes bytes = BuildRequest(steps[*at]);
            if (kind == BitFlip)
            {
                FlipBits(bytes, 1u, random);
            }
            else
            {
                bytes.resize(1u + Bits(random, static_cast<std::uint32_t>(bytes.size() - 1u)));
            }
            steps[*at].m_requestBytes = bytes;
        }
        break;
    case SlimTwoBitFlip:
        // Long slim frames first: up to 26 payload bytes the CRC-16 detects every two-bit error.
        at = Pick(steps, random,
                  [](const CStep& step)
                  { return step.m_request.has_value() && step.m_slim && (step.m_request->Build()[2] > 26u); });
        if (!at.has_value())
        {
            at = Pick(steps, random, [](const CStep& step) { return step.m_request.has_value() && step.m_slim; });
        }
        if (at.has_value())
        {
            // Most two-bit errors fail a CRC and only show that the frame is refused; the ones that get past both
            // CRCs are what the checks must then judge. Try many, count them all, send one that passes if any.
            const Bytes intact = BuildRequest(steps[*at]);
            Bytes bytes;
            for (unsigned attempt = 0u; attempt < FlipAttempts; ++attempt)
            {
                bytes = intact;
                FlipBits(bytes, 2u, random);
                ++flips.m_tried;
                if (PassesCrcs(bytes, GetScmUdid()))
                {
                    ++flips.m_passingCrcs;
                    break;
                }
            }
            steps[*at].m_requestBytes = bytes;
            steps[*at].m_slimTwoBitFlip = true;
        }
        break;
    case Address:
    case Sdn:
        at = Pick(steps, random, hasRequest);
        if (at.has_value())
        {
            CFrameBuilder& request = *steps[*at].m_request;
            if (kind == Address)
            {
                request.Adr(RandomAddress(configuration, random));
            }
            else
            {
                request.Sdn(static_cast<std::uint16_t>(2u + Bits(random, 1022u)));
            }
        }
        break;
    case DuplicateUdid:
    {
        // Another address reports a module's UDID: neither holder is unique any more.
        const CPlayedModule& module =
            configuration.m_modules[Bits(random, static_cast<std::uint32_t>(configuration.m_modules.size()))];
        CStep step;
        step.m_response = CFrameBuilder::SnmtSadrAssigned(static_cast<std::uint16_t>(5u + Bits(random, 50u)),
                                                          module.m_udid);
        at = static_cast<std::size_t>(Bits(random, static_cast<std::uint32_t>(steps.size() + 1u)));
        steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(*at), step);
        break;
    }
    case Encoder:
    {
        const std::uint16_t sadr = configuration.m_modules[Bits(random, 3u) % configuration.m_modules.size()]
                                       .m_safetyAddress;
        CStep step;
        step.m_response = CFrameBuilder::SnmtSnFail(sadr, 3u, 2u);
        at = static_cast<std::size_t>(Bits(random, static_cast<std::uint32_t>(steps.size() + 1u)));
        steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(*at), step);
        break;
    }
    case Replay:
        at = Pick(steps, random, [](const CStep& step) { return step.m_ssdo && step.m_request.has_value(); });
        if (at.has_value())
        {
            CStep copy = steps[*at];
            if (Bits(random, 2u) == 0u)
            {
                copy.m_response.reset();
            }
            steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(*at) + 1, copy);
        }
        break;
    case Reorder:
        at = Pick(steps, random, [](const CStep& step) { return step.m_ssdo; });
        if (at.has_value() && (*at + 1u < steps.size()) && steps[*at + 1u].m_ssdo)
        {
            std::swap(steps[*at], steps[*at + 1u]);
            steps[*at + 1u].m_kind = Reorder;
        }
        break;
    case Concatenate:
        at = Pick(steps, random, hasRequest);
        if (at.has_value())
        {
            Bytes bytes = BuildRequest(steps[*at]);
            const std::optional<std::size_t> other = Pick(steps, random, hasRequest);
            const Bytes tail = BuildRequest(steps[*other]);
            if (bytes.size() + tail.size() <= QueueMessageMax)
            {
                bytes.insert(bytes.end(), tail.begin(), tail.end());
            }
            steps[*at].m_requestBytes = bytes;
        }
        break;
    case OrphanResponse:
    case WrongState:
    {
        at = static_cast<std::size_t>(Bits(random, static_cast<std::uint32_t>(steps.size() + 1u)));
        steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(*at),
                     (kind == OrphanResponse) ? MakeOrphanResponse(configuration, random)
                                              : MakeWrongState(configuration, random));
        break;
    }
    default:
        break;
    }
    if (at.has_value() && (*at < steps.size()))
    {
        steps[*at].m_kind = kind;
    }
}

// Frame-level mutations applied after the traffic is written.
constexpr std::size_t TrafficKinds[] = {BitFlip,     SlimTwoBitFlip, Address,        Sdn,        DuplicateUdid,
                                        Replay,      Reorder,        Truncate,       Concatenate, OrphanResponse,
                                        WrongState,  Encoder};
// Mutations of what a module is or what the SCM sends it.
constexpr std::size_t ModuleKinds[] = {Udid, Firmware, Checksum, AdditionalHeader, CtWrap};

// Cuts the steps into hand-overs: requests first, then the answers of the same steps.
std::vector<CCycle> Cut(const CSteps& steps, std::size_t framesPerCycle)
{
    std::vector<CCycle> cycles;
    std::size_t consequenceKind = Clean;
    std::size_t i = 0u;
    while (i < steps.size())
    {
        CCycle cycle;
        std::vector<const CStep*> taken;
        while ((i < steps.size()) && (taken.size() < framesPerCycle))
        {
            if (steps[i].m_alone && !taken.empty())
            {
                break;
            }
            taken.push_back(&steps[i]);
            ++i;
            if (taken.back()->m_alone)
            {
                break;
            }
        }
        for (const CStep* step : taken)
        {
            if (step->m_kind != Clean)
            {
                consequenceKind = step->m_kind;
            }
            if (step->m_request.has_value())
            {
                cycle.m_fromScm.push_back({true, BuildRequest(*step), consequenceKind,
                                           step->m_requestBytes.has_value() || (step->m_kind != Clean),
                                           step->m_slimTwoBitFlip});
            }
        }
        for (const CStep* step : taken)
        {
            if (step->m_response.has_value())
            {
                cycle.m_fromRuntime.push_back({false, step->m_responseBytes.value_or(step->m_response->Build()),
                                               consequenceKind, step->m_kind != Clean, false});
            }
        }
        cycles.push_back(cycle);
    }
    return cycles;
}
} // namespace

const std::vector<std::string>& GetMutationKinds()
{
    static const std::vector<std::string> kinds = {
        "clean",          "bit-flip",       "slim-two-bit-flip", "address",   "sdn",       "udid",
        "duplicate-udid", "firmware",       "checksum",          "additional-header", "replay", "reorder",
        "ct-wrap",        "truncate",       "concatenate",       "orphan-response",   "wrong-state", "encoder"};
    return kinds;
}

const Support::Udid& GetScmUdid()
{
    static const Support::Udid udid{0x00u, 0x60u, 0x65u, 0x5Cu, 0x3Du, 0x01u};
    return udid;
}

std::vector<CCycle> GenerateEpisode(const Support::CDomainConfiguration& configuration, std::uint64_t seed,
                                    std::size_t framesPerCycle, unsigned mutationsMax, CFlipStatistics& flips)
{
    std::mt19937_64 random(seed);
    const unsigned mutations = (mutationsMax == 0u) ? 0u : Bits(random, mutationsMax + 1u);
    std::vector<std::size_t> kinds;
    for (unsigned m = 0u; m < mutations; ++m)
    {
        kinds.push_back(1u + Bits(random, KindCount - 1u));
    }
    const unsigned rounds = 2u + Bits(random, 3u);
    CSteps steps;
    std::uint16_t ct = static_cast<std::uint16_t>(random());
    const bool wrap = std::find(kinds.begin(), kinds.end(), std::size_t{CtWrap}) != kinds.end();
    if (wrap)
    {
        ct = static_cast<std::uint16_t>(0xFFFFu - Bits(random, 12u));
    }
    for (unsigned round = 0u; round < rounds; ++round)
    {
        std::vector<CPlayedModule> order = configuration.m_modules;
        std::shuffle(order.begin(), order.end(), random);
        for (const CPlayedModule& module : order)
        {
            std::size_t moduleKind = Clean;
            for (std::size_t& kind : kinds)
            {
                if ((std::find(std::begin(ModuleKinds), std::end(ModuleKinds), kind) != std::end(ModuleKinds)) &&
                    (kind != CtWrap) && (Bits(random, 3u) == 0u))
                {
                    moduleKind = kind;
                    kind = Clean;
                    break;
                }
            }
            CModulePlan plan = PlanModule(module, random, moduleKind);
            if (wrap && (round == 0u))
            {
                plan.m_kind = CtWrap;
            }
            Commission(steps, module, plan, ct, wrap, random);
        }
    }
    for (const std::size_t kind : kinds)
    {
        if (std::find(std::begin(TrafficKinds), std::end(TrafficKinds), kind) != std::end(TrafficKinds))
        {
            Mutate(steps, kind, configuration, random, flips);
        }
    }
    return Cut(steps, framesPerCycle);
}
} // namespace Campaign
